#include "common/numbers.h"
#include "common/scale_label.h"
#include "support/settings_folder.h"

#include <QtTest>

Q_DECLARE_METATYPE(ScaleLabel)

namespace {

ProductoLeido product(const QString& unitPrice)
{
    return {"123", "Queijo Minas", "20", unitPrice, {}, 10, 0};
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
        QCOMPARE(read.problems.contains("O valor \"" + format + "\" de \"formato\" em [balanca] não é válido"),
                 used.isEmpty() && !format.isEmpty());
    }

    // A label's result, its product (as printed, then as looked up) and its price or weight.
    void aScannedCodeIsReadByTheFormat_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("lookedUpAs");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<bool>("weight");
        const int label = int(ScaleLabelScan::Result::Label);
        const int notALabel = int(ScaleLabelScan::Result::NotALabel);
        QTest::newRow("price") << "2012340054900" << "CCCC0TTTTTT" << label << QStringList{"0123", "123"}
                               << qint64(5490) << false;
        QTest::newRow("weight") << "2000420012506" << "CCCCCPPPPPP" << label << QStringList{"00042", "42"}
                                << qint64(1250) << true;
        QTest::newRow("no leading zero") << "2123450001996" << "CCCCCTTTTTT" << label << QStringList{"12345"}
                                         << qint64(199) << false;
        QTest::newRow("code of zeros") << "2000000123455" << "CCCC0PPPPPP" << label << QStringList{"0000", "0"}
                                       << qint64(12345) << true;
        QTest::newRow("not starting with 2") << "7891234567895" << "CCCC0TTTTTT" << notALabel << QStringList{""}
                                             << qint64(0) << false;
        QTest::newRow("12 digits") << "201234005490" << "CCCC0TTTTTT" << notALabel << QStringList{""} << qint64(0)
                                   << false;
    }

    void aScannedCodeIsReadByTheFormat()
    {
        QFETCH(QString, code);
        QFETCH(QString, format);
        const ScaleLabelScan scan = readScaleLabel(code, format);
        QTEST(int(scan.result), "result");
        QTEST(scaleProductCodes(scan.label.productCode), "lookedUpAs");
        QTEST(scan.label.value, "value");
        QTEST(scan.label.kind == ScaleLabel::Kind::Weight, "weight");
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
            const qint64 thousandths = std::llround(A_Numero(line->cantidad) * 1000);
            const qint64 error = std::abs(thousandths * unitMilli - cents * 10000);
            if (std::llround(A_Numero(line->ventaTotal) * 100) != cents || thousandths < 1 ||
                (thousandths > 1 && 2 * error > unitMilli))
                QFAIL(qPrintable(QString("%1 centavos: %2 × %3 = %4").arg(cents).arg(line->cantidad, unitPrice,
                                                                                   line->ventaTotal)));
        }
    }

    void aLabelsLineHasTheLabelsQuantity_data()
    {
        QTest::addColumn<ScaleLabel>("label");
        QTest::addColumn<QString>("unitPrice");
        QTest::addColumn<QStringList>("line");   // quantity, sale total, cost total; empty: no line
        QTest::newRow("1,25 kg") << ScaleLabel{ScaleLabel::Kind::Weight, "42", 1250} << "89,9"
                                 << QStringList{"1,25", "112,38", "25"};   // a weighed line is rounded to the cent
        QTest::newRow("R$ 54,90 at R$ 89,90") << priceLabel(5490) << "89,9" << QStringList{"0,611", "54,9", "12,22"};
        QTest::newRow("product without a price") << priceLabel(500) << "0" << QStringList();
    }

    void aLabelsLineHasTheLabelsQuantity()
    {
        QFETCH(ScaleLabel, label);
        QFETCH(QString, unitPrice);
        const std::optional<LineaVenta> line = scaleLabelLine(product(unitPrice), label, 4);
        const QStringList written =
            line ? QStringList{line->cantidad, line->ventaTotal, line->costoTotal} : QStringList();
        QTEST(written, "line");
        QVERIFY(!line || (line->codigo == "123" && line->numero == "4"));
    }
};

QTEST_GUILESS_MAIN(ScaleLabelTest)
#include "tst_scale_label.moc"
