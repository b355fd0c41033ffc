#include "common/errors.h"
#include "common/numbers.h"

#include <QLocale>
#include <QtTest>
#include <cmath>
#include <random>
#include <limits>

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void init() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void readsValidNumbers_data();
    void readsValidNumbers();
    void rejectsInvalidNumbers_data();
    void rejectsInvalidNumbers();
    void readsWithPointDecimalSettings();

    void writesNumbers_data();
    void writesNumbers();
    void writesTheFifteenDigitsOfAnyValue();
    void writtenNumbersReadBack_data();
    void writtenNumbersReadBack();
    void refusesToWriteNonFiniteValues();

    void readsLeadingNumber_data();
    void readsLeadingNumber();

    void settingsFromLocales_data();
    void settingsFromLocales();
    void currentSettingsAreUsedByDefault();
};

void TestConversions::readsValidNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("whole") << "3" << 3.0;
    QTest::newRow("decimal comma") << "1234,5" << 1234.5;
    QTest::newRow("grouped") << "1.234,5" << 1234.5;
    QTest::newRow("millions") << "1.234.567,89" << 1234567.89;
    QTest::newRow("grouped whole") << "12.345" << 12345.0;
    QTest::newRow("no digits before comma") << ",50" << 0.5;
    QTest::newRow("no digits after comma") << "1," << 1.0;
    QTest::newRow("minus") << "-2,25" << -2.25;
    QTest::newRow("plus") << "+7" << 7.0;
    QTest::newRow("spaces around") << "  12,5 \t" << 12.5;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("leading zeros") << "007,10" << 7.1;
    QTest::newRow("many decimals") << "0,123456789012345" << 0.123456789012345;
}

void TestConversions::readsValidNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(A_Numero(text), expected);
    QCOMPARE(lerNumero(text), std::optional<double>(expected));
}

void TestConversions::rejectsInvalidNumbers_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("lone comma") << ",";
    QTest::newRow("lone point") << ".";
    QTest::newRow("two decimal separators") << "1,2,3";
    QTest::newRow("group after decimal") << "1,234.5";
    QTest::newRow("point typed as a decimal point") << "1.5";
    QTest::newRow("price typed with a point") << "2.50";
    QTest::newRow("half typed with a point") << "0.500";
    QTest::newRow("quarter typed with a point") << "0.250";
    QTest::newRow("first group with a leading zero") << "01.234";
    QTest::newRow("group too long") << "1234.567";
    QTest::newRow("group too short") << "1.23,4";
    QTest::newRow("leading group separator") << ".5";
    QTest::newRow("trailing group separator") << "1.";
    QTest::newRow("two group separators") << "1..234";
    QTest::newRow("sign alone") << "-";
    QTest::newRow("two signs") << "--5";
    QTest::newRow("sign at the end") << "5-";
    QTest::newRow("letters") << "abc";
    QTest::newRow("trailing letter") << "12a";
    QTest::newRow("exponent") << "1e5";
    QTest::newRow("currency") << "R$ 5";
    QTest::newRow("inner space") << "1 234";
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("١٢");
    QTest::newRow("beyond a double") << QString(400, u'9');
}

void TestConversions::rejectsInvalidNumbers()
{
    QFETCH(QString, text);
    QCOMPARE(lerNumero(text), std::nullopt);
    try {
        A_Numero(text);
        QFAIL("no ConversionError");
    } catch (const ConversionError& error) {
        QCOMPARE(error.message(), QString("\"%1\" não é um número válido").arg(text));
    }
}

void TestConversions::readsWithPointDecimalSettings()
{
    const NumberSettings english{u'.', u','};
    QCOMPARE(A_Numero("1,234.5", english), 1234.5);
    QCOMPARE(A_Numero(".5", english), 0.5);
    QCOMPARE(lerNumero("1.234,5", english), std::nullopt);
}

void TestConversions::writesNumbers_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("whole") << 3.0 << "3";
    QTest::newRow("half") << 0.5 << "0,5";
    QTest::newRow("no grouping") << 1234.5 << "1234,5";
    QTest::newRow("negative") << -2.25 << "-2,25";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("binary noise dropped") << 0.1 + 0.2 << "0,3";
    QTest::newRow("product noise dropped") << 3 * 1.1 << "3,3";
    QTest::newRow("large without exponent") << 1e20 << "100000000000000000000";
    QTest::newRow("small without exponent") << 1e-7 << "0,0000001";
    QTest::newRow("15 significant digits") << 1234567.891234567 << "1234567,89123457";
    QTest::newRow("rounds up a carry") << 0.9999999999999999 << "1";
    QTest::newRow("negative fraction") << -0.05 << "-0,05";
}

void TestConversions::writesNumbers()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(A_Texto(value), expected);
}

void TestConversions::writtenNumbersReadBack_data()
{
    QTest::addColumn<double>("value");

    QTest::newRow("money") << 1234.56;
    QTest::newRow("third") << 1.0 / 3.0;
    QTest::newRow("negative") << -987654.321;
    QTest::newRow("large") << 1e20;
    QTest::newRow("small") << 1.5e-9;
    QTest::newRow("pi") << 3.14159265358979;
}

void TestConversions::writtenNumbersReadBack()
{
    QFETCH(double, value);
    const QString text = A_Texto(value);
    const double back = A_Numero(text);
    QCOMPARE(A_Texto(back), text);
    QVERIFY(std::fabs(back - value) <= std::fabs(value) * 1e-14);
    QCOMPARE(A_Numero(A_Texto(value, {u'.', u','}), {u'.', u','}), back);
}

// Prices, quantities and their products, and values of every magnitude, are
// written with the digits decimalDigits() gives, whatever path the writing takes.
void TestConversions::writesTheFifteenDigitsOfAnyValue()
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<int> cents(1, 999999);
    std::uniform_int_distribution<int> grams(1, 99999);
    std::uniform_int_distribution<int> magnitude(-300, 300);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 30000 && timer.elapsed() < 10000; ++i) {
        const double price = cents(random) / 100.0;
        const double quantity = grams(random) / 1000.0;
        for (double value : {price, quantity, price * quantity, -price * 3, mantissa(random) * std::pow(10.0, magnitude(random))}) {
            const DecimalDigits digits = decimalDigits(value);
            QString expected = digits.negative ? QStringLiteral("-") : QString();
            expected += digits.integerPart().isEmpty() ? QStringLiteral("0") : digits.integerPart();
            if (!digits.fractionPart().isEmpty())
                expected += QLatin1Char(',') + digits.fractionPart();
            if (digits.isZero())
                expected = QStringLiteral("0");
            QCOMPARE(A_Texto(value), expected);
        }
    }
}

void TestConversions::refusesToWriteNonFiniteValues()
{
    QVERIFY_THROWS_EXCEPTION(ConversionError, A_Texto(std::numeric_limits<double>::infinity()));
    QVERIFY_THROWS_EXCEPTION(ConversionError, A_Texto(std::numeric_limits<double>::quiet_NaN()));
}

void TestConversions::readsLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("comma stops") << "1234,5" << 1234.0;
    QTest::newRow("below one with comma") << "0,5" << 0.0;
    QTest::newRow("currency first") << "R$ 5" << 0.0;
    QTest::newRow("unit after") << "12.5kg" << 12.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("negative") << "-3.5" << -3.5;
    QTest::newRow("leading spaces") << "   42" << 42.0;
    QTest::newRow("plus") << "+8" << 8.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("fraction only") << ".25" << 0.25;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("inner space stops") << "1 2" << 1.0;
    QTest::newRow("screen width") << "1024" << 1024.0;
}

void TestConversions::readsLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Valor_Inicial(text), expected);
}

void TestConversions::settingsFromLocales_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QChar>("decimal");
    QTest::addColumn<QChar>("group");

    QTest::newRow("C") << QLocale::c() << QChar(u',') << QChar(u'.');
    QTest::newRow("POSIX") << QLocale("POSIX") << QChar(u',') << QChar(u'.');
    QTest::newRow("Brazil") << QLocale(QLocale::Portuguese, QLocale::Brazil) << QChar(u',') << QChar(u'.');
    QTest::newRow("United States") << QLocale(QLocale::English, QLocale::UnitedStates) << QChar(u'.')
                                   << QChar(u',');
}

void TestConversions::settingsFromLocales()
{
    QFETCH(QLocale, locale);
    QFETCH(QChar, decimal);
    QFETCH(QChar, group);
    const NumberSettings settings = NumberSettings::fromLocale(locale);
    QCOMPARE(settings.decimal, decimal);
    QCOMPARE(settings.group, group);
}

void TestConversions::currentSettingsAreUsedByDefault()
{
    NumberSettings::setCurrent({u'.', u','});
    QCOMPARE(A_Texto(1234.5), QString("1234.5"));
    QCOMPARE(A_Numero("1,234.5"), 1234.5);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    QCOMPARE(A_Texto(1234.5), QString("1234,5"));
}

QTEST_MAIN(TestConversions)
#include "tst_conversions.moc"
