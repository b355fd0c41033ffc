#pragma once

#include "common/qr_matrix.h"

#include <QImage>
#include <QPainter>
#include <QPointF>

// The side of the code with its quiet zone, for modules of the given size.
qreal qrSideWithQuietZone(const QrMatrix& matrix, qreal moduleSize);

// Paints the code with its quiet zone (white) from the top left corner, each
// module a square of the given size in the painter's units; black on white
// whatever the painter's pen and brush, which it leaves as they were.
void paintQrCode(QPainter& painter, const QrMatrix& matrix, QPointF topLeft, qreal moduleSize);

// The code with its quiet zone as an image, each module a square of the
// given number of pixels.
QImage qrImage(const QrMatrix& matrix, int modulePixels);
