#include "common/date_text.h"

#include <QtTest>
#include <algorithm>

namespace {

QDateTime moment(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

class TestDateText : public QObject {
    Q_OBJECT

private slots:
    void formatsLayouts_data();
    void formatsLayouts();
    void parsesProgramLayout_data();
    void parsesProgramLayout();
    void rejectsInvalidTexts_data();
    void rejectsInvalidTexts();
    void writtenMomentsReadBack();
    void storedFormRoundTrip_data();
    void storedFormRoundTrip();
    void rejectsInvalidStoredTexts();
    void storedTextsSortInTimeOrder();
};

void TestDateText::formatsLayouts_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<DateLayout>("layout");
    QTest::addColumn<QString>("expected");

    const QDateTime morning = moment(2024, 3, 5, 8, 15, 2);
    QTest::newRow("date and time") << morning << DateLayout::DateTime << "05/03/2024 8:15:02";
    QTest::newRow("date") << morning << DateLayout::Date << "05/03/2024";
    QTest::newRow("hour and minute") << morning << DateLayout::HourMinute << "08:15";
    QTest::newRow("time") << morning << DateLayout::Time << "8:15:02";
    QTest::newRow("month") << morning << DateLayout::Month << "03";
    QTest::newRow("year") << morning << DateLayout::Year << "2024";
    QTest::newRow("midnight") << moment(2024, 12, 31) << DateLayout::DateTime << "31/12/2024 0:00:00";
    QTest::newRow("evening") << moment(2023, 11, 20, 23, 59, 59) << DateLayout::DateTime << "20/11/2023 23:59:59";
    QTest::newRow("milliseconds ignored")
        << morning.addMSecs(999) << DateLayout::DateTime << "05/03/2024 8:15:02";
}

void TestDateText::formatsLayouts()
{
    QFETCH(QDateTime, moment);
    QFETCH(DateLayout, layout);
    QFETCH(QString, expected);
    QCOMPARE(formatDateTime(moment, layout), expected);
}

void TestDateText::parsesProgramLayout_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");

    QTest::newRow("program layout") << "05/03/2024 8:15:02" << moment(2024, 3, 5, 8, 15, 2);
    QTest::newRow("two-digit hour") << "05/03/2024 18:15:02" << moment(2024, 3, 5, 18, 15, 2);
    QTest::newRow("single digits") << "5/3/2024 8:15:02" << moment(2024, 3, 5, 8, 15, 2);
    QTest::newRow("without seconds") << "05/03/2024 08:15" << moment(2024, 3, 5, 8, 15);
    QTest::newRow("date alone is midnight") << "05/03/2024" << moment(2024, 3, 5);
    QTest::newRow("spaces around") << "  05/03/2024 8:15:02 " << moment(2024, 3, 5, 8, 15, 2);
    QTest::newRow("leap day") << "29/02/2024 0:00:00" << moment(2024, 2, 29);
}

void TestDateText::parsesProgramLayout()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const auto parsed = parseDateTime(text);
    QVERIFY(parsed.has_value());
    QCOMPARE(*parsed, expected);
    QCOMPARE(parsed->timeSpec(), Qt::LocalTime);
}

void TestDateText::rejectsInvalidTexts_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("no such day") << "31/02/2024";
    QTest::newRow("not a leap year") << "29/02/2023 10:00:00";
    QTest::newRow("month 13") << "01/13/2024";
    QTest::newRow("time alone") << "25:00";
    QTest::newRow("hour 25") << "05/03/2024 25:00:00";
    QTest::newRow("minute 60") << "05/03/2024 8:60:00";
    QTest::newRow("letters") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("two-digit year") << "05/03/24";
    QTest::newRow("trailing text") << "05/03/2024 8:15:02 x";
    QTest::newRow("stored form") << "2024-03-05 08:15:02";
}

void TestDateText::rejectsInvalidTexts()
{
    QFETCH(QString, text);
    QCOMPARE(parseDateTime(text), std::nullopt);
}

void TestDateText::writtenMomentsReadBack()
{
    const QDateTime original = moment(2024, 3, 5, 8, 15, 2);
    QCOMPARE(parseDateTime(formatDateTime(original)), std::optional<QDateTime>(original));
}

void TestDateText::storedFormRoundTrip_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("stored");

    QTest::newRow("morning") << moment(2024, 3, 5, 8, 15, 2) << "2024-03-05 08:15:02";
    QTest::newRow("last second of a year") << moment(2023, 12, 31, 23, 59, 59) << "2023-12-31 23:59:59";
}

void TestDateText::storedFormRoundTrip()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, stored);
    QCOMPARE(toStoredDateTime(moment), stored);
    QCOMPARE(toStoredDateTime(moment.addMSecs(500)), stored);
    QCOMPARE(fromStoredDateTime(stored), std::optional<QDateTime>(moment));
    QString withT = stored;
    withT[10] = u'T';
    QCOMPARE(fromStoredDateTime(withT), std::optional<QDateTime>(moment));
}

void TestDateText::rejectsInvalidStoredTexts()
{
    for (const QString text : {"2024-02-30 10:00:00", "2024-03-05", "05/03/2024 8:15:02", "", "2024-03-05 8:15:02"})
        QVERIFY2(!fromStoredDateTime(text).has_value(), qPrintable(text));
}

void TestDateText::storedTextsSortInTimeOrder()
{
    // In the program's own layout these would sort 05/03 < 10/02 < 9:00 after 10:00.
    const QList<QDateTime> moments{moment(2024, 2, 10, 10, 0), moment(2024, 2, 10, 9, 0),
                                   moment(2023, 12, 31, 23, 59, 59), moment(2024, 3, 5, 8, 15, 2),
                                   moment(2024, 2, 10, 9, 0, 1)};
    QStringList stored;
    for (const QDateTime& m : moments)
        stored << toStoredDateTime(m);
    stored.sort();
    QList<QDateTime> sortedMoments = moments;
    std::sort(sortedMoments.begin(), sortedMoments.end());
    for (qsizetype i = 0; i < stored.size(); ++i)
        QCOMPARE(stored[i], toStoredDateTime(sortedMoments[i]));
}

QTEST_MAIN(TestDateText)
#include "tst_date_text.moc"
