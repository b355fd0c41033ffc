#include "common/numbers.h"
#include "common/scale_label.h"
#include "common/settings_file.h"
#include "support/settings_folder.h"

#include <QtTest>

Q_DECLARE_METATYPE(ScaleLabelScan::Result)
Q_DECLARE_METATYPE(ScaleLabel::Kind)
Q_DECLARE_METATYPE(ScaleLabel)

namespace {

ProductoLeido product(const QString& unitPrice)
{
    ProductoLeido read;
    read.codigo = "123";
    read.nombre = "Queijo Minas";
    read.precioCosto = "20";
    read.precioVenta = unitPrice;
    return read;
}

ScaleLabel priceLabel(qint64 cents)
{
    return {ScaleLabel::Kind::Price, "0123", cents};
}

}   // namespace

class ScaleLabelTest : public QObject {
    Q_OBJECT

private slots:
    void onlyAFormatOfCodeAndPriceOrWeightTurnsLabelsOn_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("used");
        QTest::newRow("empty: off") << "" << "";
        QTest::newRow("code and price") << "CCCC0TTTTTT" << "CCCC0TTTTTT";
        QTest::newRow("code and weight, lower case") << "ccccCppppp0" << "CCCCCPPPPP0";
        QTest::newRow("10 letters") << "CCCC0TTTTT" << "";
        QTest::newRow("12 letters") << "CCCC0TTTTTTT" << "";
        QTest::newRow("another letter") << "CCCCXTTTTTT" << "";
        QTest::newRow("no code") << "00000TTTTTT" << "";
        QTest::newRow("neither price nor weight") << "CCCCCCCCCCC" << "";
        QTest::newRow("price and weight") << "CCCCTTTPPPP" << "";
    }

    void onlyAFormatOfCodeAndPriceOrWeightTurnsLabelsOn()
    {
        QFETCH(QString, format);
        QFETCH(QString, used);
        const SettingsFolder folder("[balanca]\nformato=" + format.toUtf8() + "\n");
        const ScaleSettingsRead read = Ler_Configuracao_Balanca(folder.path());
        QCOMPARE(read.settings.format, used);
        const bool refused = used.isEmpty() && !format.isEmpty();
        QCOMPARE(read.problems.isEmpty(), !refused);
        QVERIFY(!refused ||
                read.problems.contains("O valor \"" + format + "\" de \"formato\" em [balanca] não é válido"));
    }

    void aScannedCodeIsReadByTheFormat_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("format");
        QTest::addColumn<ScaleLabelScan::Result>("result");
        QTest::addColumn<ScaleLabel::Kind>("kind");
        QTest::addColumn<QString>("productCode");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QStringList>("lookedUpAs");
        using R = ScaleLabelScan::Result;
        using K = ScaleLabel::Kind;
        QTest::newRow("price") << "2012340054900" << "CCCC0TTTTTT" << R::Label << K::Price << "0123" << qint64(5490)
                               << QStringList{"0123", "123"};
        QTest::newRow("weight") << "2000420012506" << "CCCCCPPPPPP" << R::Label << K::Weight << "00042"
                                << qint64(1250) << QStringList{"00042", "42"};
        QTest::newRow("no leading zero") << "2123450001996" << "CCCCCTTTTTT" << R::Label << K::Price << "12345"
                                         << qint64(199) << QStringList{"12345"};
        QTest::newRow("code of zeros") << "2000000123455" << "CCCC0PPPPPP" << R::Label << K::Weight << "0000"
                                       << qint64(12345) << QStringList{"0000", "0"};
        QTest::newRow("wrong check digit") << "2012340054901" << "CCCC0TTTTTT" << R::WrongCheckDigit << K::Price
                                           << "" << qint64(0) << QStringList{""};
        QTest::newRow("not starting with 2") << "7891234567895" << "CCCC0TTTTTT" << R::NotALabel << K::Price << ""
                                             << qint64(0) << QStringList{""};
        QTest::newRow("12 digits") << "201234005490" << "CCCC0TTTTTT" << R::NotALabel << K::Price << ""
                                   << qint64(0) << QStringList{""};
        QTest::newRow("labels off") << "2012340054900" << "" << R::NotALabel << K::Price << "" << qint64(0)
                                    << QStringList{""};
    }

    void aScannedCodeIsReadByTheFormat()
    {
        QFETCH(QString, code);
        QFETCH(QString, format);
        const ScaleLabelScan scan = readScaleLabel(code, format);
        QTEST(scan.result, "result");
        QTEST(scan.label.kind, "kind");
        QTEST(scan.label.productCode, "productCode");
        QTEST(scan.label.value, "value");
        QTEST(scaleProductCodes(scan.label.productCode), "lookedUpAs");
    }

    // A price label's line totals the label's price to the cent, whatever the
    // unit price, and its quantity is the nearest thousandth to price / unit
    // price (at least 0,001): every price from R$ 0,01 to R$ 999,99.
    void aPriceLabelsLineTotalsTheLabel_data()
    {
        QTest::addColumn<QString>("unitPrice");
        for (const char* price : {"89,9", "0,99", "1", "12,34", "7,999", "999,99"})
            QTest::newRow(price) << QString(price);
    }

    void aPriceLabelsLineTotalsTheLabel()
    {
        QFETCH(QString, unitPrice);
        const qint64 unitMilli = std::llround(A_Numero(unitPrice) * 1000);
        for (qint64 cents = 1; cents <= 99999; ++cents) {
            const std::optional<LineaVenta> line = scaleLabelLine(product(unitPrice), priceLabel(cents), 1);
            QVERIFY(line);
            if (std::llround(A_Numero(line->ventaTotal) * 100) != cents)
                QFAIL(qPrintable(QString("R$ %1 on the label, %2 on the line").arg(cents).arg(line->ventaTotal)));
            const qint64 thousandths = std::llround(A_Numero(line->cantidad) * 1000);
            const qint64 error = thousandths * unitMilli - cents * 10000;
            if (thousandths < 1 || (thousandths > 1 && 2 * std::abs(error) > unitMilli))
                QFAIL(qPrintable(QString("%1 centavos: quantity %2").arg(cents).arg(line->cantidad)));
        }
    }

    void aLabelsLineHasTheLabelsQuantity_data()
    {
        QTest::addColumn<ScaleLabel>("label");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<bool>("sold");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("costTotal");
        QTest::newRow("1,25 kg") << ScaleLabel{ScaleLabel::Kind::Weight, "42", 1250} << "89,9" << true << "1,25"
                                 << "112,375" << "25";
        QTest::newRow("5 g") << ScaleLabel{ScaleLabel::Kind::Weight, "42", 5} << "0,99" << true << "0,005"
                             << "0,00495" << "0,1";
        QTest::newRow("R$ 54,90 at R$ 89,90") << priceLabel(5490) << "89,9" << true << "0,611" << "54,9" << "12,22";
        QTest::newRow("a cent at R$ 89,90") << priceLabel(1) << "89,9" << true << "0,001" << "0,01" << "0,02";
        QTest::newRow("price label, product without price") << priceLabel(500) << "0" << false << "" << "" << "";
    }

    void aLabelsLineHasTheLabelsQuantity()
    {
        QFETCH(ScaleLabel, label);
        QFETCH(QString, unitPrice);
        const std::optional<LineaVenta> line = scaleLabelLine(product(unitPrice), label, 4);
        QTEST(line.has_value(), "sold");
        if (!line)
            return;
        QCOMPARE(line->codigo, QString("123"));
        QCOMPARE(line->numero, QString("4"));
        QTEST(line->cantidad, "quantity");
        QTEST(line->ventaTotal, "total");
        QTEST(line->costoTotal, "costTotal");
    }
};

QTEST_GUILESS_MAIN(ScaleLabelTest)
#include "tst_scale_label.moc"
