#include "common/qr_painting.h"

qreal qrSideWithQuietZone(const QrMatrix& matrix, qreal moduleSize)
{
    return (matrix.size() + 2 * QR_QUIET_ZONE) * moduleSize;
}

void paintQrCode(QPainter& painter, const QrMatrix& matrix, QPointF topLeft, qreal moduleSize)
{
    painter.save();
    const qreal side = qrSideWithQuietZone(matrix, moduleSize);
    painter.fillRect(QRectF(topLeft, QSizeF(side, side)), Qt::white);
    const QPointF origin = topLeft + QPointF(QR_QUIET_ZONE * moduleSize, QR_QUIET_ZONE * moduleSize);
    // A run of dark modules in a row is one rectangle: no seam between them on a page.
    for (int y = 0; y < matrix.size(); ++y) {
        for (int x = 0; x < matrix.size(); ++x) {
            if (!matrix.dark(x, y))
                continue;
            const int start = x;
            while (x + 1 < matrix.size() && matrix.dark(x + 1, y))
                ++x;
            painter.fillRect(QRectF(origin + QPointF(start * moduleSize, y * moduleSize),
                                    QSizeF((x + 1 - start) * moduleSize, moduleSize)),
                             Qt::black);
        }
    }
    painter.restore();
}

QImage qrImage(const QrMatrix& matrix, int modulePixels)
{
    const int side = int(qrSideWithQuietZone(matrix, modulePixels));
    QImage image(side, side, QImage::Format_RGB32);
    QPainter painter(&image);
    paintQrCode(painter, matrix, QPointF(0, 0), modulePixels);
    return image;
}
