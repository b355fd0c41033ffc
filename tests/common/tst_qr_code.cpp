#include "common/br_code.h"
#include "common/qr_matrix.h"
#include "common/qr_painting.h"
#include "devices/escpos_qr.h"
#include "support/qr_reader.h"

#include <QtTest>

namespace {

QByteArray gsK(const QByteArray& afterLength)
{
    return "\x1d(k" + QByteArray(1, char(afterLength.size())) + QByteArray(1, '\0') + afterLength;
}

}   // namespace

class QrCodeTest : public QObject {
    Q_OBJECT

private slots:
    // Drawn as on screen (an image) and as on a page (a painter somewhere in
    // a larger page, with its own pen and brush), the code reads back as the
    // bytes it was made of.
    void aPaintedCodeReadsBackAsItsPayload_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("version");
        QTest::newRow("short") << QByteArray("Tenduca") << 1;
        QTest::newRow("e-mail key of 77 characters")
            << brCodePayload({QString(65, u'a') + "@loja.com.br", "Açougue São João da Praça", "São João da Boa",
                              qint64(999999999), QString(25, u'X')})
            << 0;
    }

    void aPaintedCodeReadsBackAsItsPayload()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, version);
        const std::optional<QrMatrix> matrix = QrMatrix::encode(payload);
        QVERIFY(matrix);
        QCOMPARE(matrix->size(), 17 + 4 * matrix->version());
        if (version > 0)
            QCOMPARE(matrix->version(), version);
        QCOMPARE(readQrCode(qrImage(*matrix, 3)), payload);

        QImage page(600, 800, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        painter.setBrush(Qt::red);
        painter.setPen(Qt::green);
        paintQrCode(painter, *matrix, QPointF(100.5, 230.25), 4.5);
        QCOMPARE(painter.brush().color(), QColor(Qt::red));
        painter.end();
        QCOMPARE(readQrCode(page), payload);
    }

    void thePrintersOwnCommandsCarryThePayload()
    {
        const QByteArray data(300, 'x');
        const QByteArray expected = gsK("1A2" + QByteArray(1, '\0')) + gsK("1C\x06") + gsK("1E1") +
                                    "\x1d(k\x2f\x01" "1P0" + data + gsK("1Q0");
        QCOMPARE(EscPos::qrCode(data, 6), expected);
    }

    // The largest module size at which the code takes no more than four
    // fifths of the roll's printable width, for every version of code.
    void theModuleSizeFitsTheRoll_data()
    {
        QTest::addColumn<int>("paperWidthMm");
        QTest::addColumn<int>("printableDots");
        QTest::newRow("58 mm") << 58 << 384;
        QTest::newRow("80 mm") << 80 << 576;
    }

    void theModuleSizeFitsTheRoll()
    {
        QFETCH(int, paperWidthMm);
        QFETCH(int, printableDots);
        const int most = printableDots * 4 / 5;
        for (int version = 1; version <= 40; ++version) {
            const int modules = 17 + 4 * version;
            const int size = EscPos::qrModuleSize(modules, paperWidthMm);
            QVERIFY(size >= 1 && size <= 16);
            QVERIFY2(size * modules <= most || size == 1, qPrintable(QString::number(version)));
            QVERIFY2(size == 16 || (size + 1) * modules > most, qPrintable(QString::number(version)));
        }
    }
};

QTEST_MAIN(QrCodeTest)
#include "tst_qr_code.moc"
