#include "common/errors.h"
#include "common/money_format.h"

#include <QtTest>
#include <limits>

class TestMoneyFormat : public QObject {
    Q_OBJECT

private slots:
    void init() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void formatsWithBrazilianSettings_data();
    void formatsWithBrazilianSettings();
    void groupsWithoutLeadingSeparator_data();
    void groupsWithoutLeadingSeparator();
    void formatsWithPointDecimalSettings_data();
    void formatsWithPointDecimalSettings();
    void refusesNonFiniteValues();
};

void TestMoneyFormat::formatsWithBrazilianSettings_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("decimal zeros dropped") << 1234.5 << FORMATO_REAIS_3 << "R$ 1.234,5";
    QTest::newRow("whole keeps its comma") << 1500.0 << FORMATO_REAIS_3 << "R$ 1.500,";
    QTest::newRow("zero is the comma alone") << 0.0 << FORMATO_REAIS_3 << "R$ ,";
    QTest::newRow("zero without decimals") << 0.0 << FORMATO_REAIS_INTEIRO << "R$ ";
    QTest::newRow("forced second decimal") << 1234.5 << FORMATO_NUMERO_2_FIXO << "1.234,50";
    QTest::newRow("below one, forced decimals") << 0.5 << FORMATO_NUMERO_2_FIXO << ",50";
    QTest::newRow("whole in reais") << 1234.0 << FORMATO_REAIS_3 << "R$ 1.234,";
    QTest::newRow("tens") << 20.0 << FORMATO_REAIS_2 << "R$ 20,";
    QTest::newRow("millions rounded") << 1234567.891 << FORMATO_REAIS_2 << "R$ 1.234.567,89";
    QTest::newRow("forty") << 40.0 << FORMATO_REAIS_3 << "R$ 40,";
    QTest::newRow("zero plain") << 0.0 << FORMATO_NUMERO_2 << ",";
    QTest::newRow("one forced zero") << 12.5 << FORMATO_NUMERO_2_FIXO << "12,50";
    QTest::newRow("half up on the decimal value") << 2.345 << FORMATO_NUMERO_2 << "2,35";
    QTest::newRow("half away from zero") << -2.345 << FORMATO_NUMERO_2 << "-2,35";
    QTest::newRow("three decimals rounded") << 1234.5678 << FORMATO_REAIS_3 << "R$ 1.234,568";
    QTest::newRow("carry into thousands") << 999.999 << FORMATO_NUMERO_2 << "1.000,";
    QTest::newRow("minus before the prefix") << -1234.5 << FORMATO_REAIS_3 << "-R$ 1.234,5";
    QTest::newRow("rounds to zero, no minus") << -0.001 << FORMATO_REAIS_2 << "R$ ,";
    QTest::newRow("below one") << 0.25 << FORMATO_REAIS_2 << "R$ ,25";
    QTest::newRow("small rounds up") << 0.006 << FORMATO_NUMERO_2 << ",01";
    QTest::newRow("whole pattern rounds") << 1234.5 << FORMATO_REAIS_INTEIRO << "R$ 1.235";
    QTest::newRow("sum with binary noise") << 0.1 + 0.2 << FORMATO_NUMERO_2_FIXO << ",30";
    QTest::newRow("longer than the pattern") << 12345678901.0 << FORMATO_REAIS_2 << "R$ 12.345.678.901,";
    QTest::newRow("forced integer digit") << 0.5 << "#,##0.00" << "0,50";
    QTest::newRow("no grouping asked") << 1234.5 << "R$ #########.##" << "R$ 1234,5";
    QTest::newRow("literal suffix") << 3.5 << "##.# kg" << "3,5 kg";
}

void TestMoneyFormat::formatsWithBrazilianSettings()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    QCOMPARE(Formato(value, pattern), expected);
}

// Whole parts of exactly 3, 6 and 9 digits, and one digit more or less: a
// group separator only ever stands between digits.
void TestMoneyFormat::groupsWithoutLeadingSeparator_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("3 digits") << 150.0 << "R$ 150,";
    QTest::newRow("3 digits with cents") << 999.99 << "R$ 999,99";
    QTest::newRow("4 digits") << 1500.0 << "R$ 1.500,";
    QTest::newRow("6 digits") << 150000.0 << "R$ 150.000,";
    QTest::newRow("6 digits with cents") << 999999.5 << "R$ 999.999,5";
    QTest::newRow("7 digits") << 1500000.0 << "R$ 1.500.000,";
    QTest::newRow("9 digits") << 150000000.0 << "R$ 150.000.000,";
    QTest::newRow("9 digits with cents") << 999999999.25 << "R$ 999.999.999,25";
    QTest::newRow("10 digits") << 1500000000.0 << "R$ 1.500.000.000,";
    QTest::newRow("negative, 3 digits") << -150.0 << "-R$ 150,";
    QTest::newRow("negative, 6 digits") << -150000.0 << "-R$ 150.000,";
}

void TestMoneyFormat::groupsWithoutLeadingSeparator()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(Formato(value, FORMATO_REAIS_2), expected);
    QCOMPARE(Formato(value, FORMATO_NUMERO_2), QString(expected).remove(QStringLiteral("R$ ")));
}

void TestMoneyFormat::formatsWithPointDecimalSettings_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("expected");

    QTest::newRow("reais") << 1234.5 << FORMATO_REAIS_3 << "R$ 1,234.5";
    QTest::newRow("whole") << 1500.0 << FORMATO_REAIS_3 << "R$ 1,500.";
    QTest::newRow("forced decimals") << 1234567.5 << FORMATO_NUMERO_2_FIXO << "1,234,567.50";
}

void TestMoneyFormat::formatsWithPointDecimalSettings()
{
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, expected);
    const NumberSettings pointDecimal{u'.', u','};
    QCOMPARE(Formato(value, pattern, pointDecimal), expected);
}

void TestMoneyFormat::refusesNonFiniteValues()
{
    QVERIFY_THROWS_EXCEPTION(ConversionError, Formato(std::numeric_limits<double>::infinity(), FORMATO_REAIS_2));
}

QTEST_MAIN(TestMoneyFormat)
#include "tst_money_format.moc"
