#include "common/number_settings.h"
#include "reports/form6.h"
#include "reports/stored_sales.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/layout_check.h"

#include <QLabel>
#include <QPointer>
#include <QtTest>

namespace {

const QString START = QStringLiteral("2024-03-05 08:00:00");
const QString START_SHOWN = QStringLiteral("05/03/2024 8:00:00");

// A sale window and the takings of the day opened over one test database.
struct Day {
    TestDatabase db;
    FakePlatform fakes{db.folder()};
    Form1 sale{fakes.platform};

    void line(double amount)
    {
        storeLine(db, QStringLiteral("Temporal"), {"1", "Arroz", 1, 0, amount, "EFECTIVO", START, START});
    }
    Form6* open()
    {
        fakes.prompter.answers.enqueue(true);   // the lines stay open: the session goes on
        sale.show();
        fakes.prompter.clear();
        auto* form = new Form6(fakes.platform, sale);
        form->openFromMenu(&sale);
        return form;
    }
};

}   // namespace

class Form6Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void showsTheOpenSessionTakings()
    {
        Day day;
        day.fakes.clock.moment = QDateTime(QDate(2024, 3, 6), QTime(0, 30));   // past midnight, the session of the 5th
        day.sale.Text3 = QStringLiteral("05/03/2024 9:00:00");                  // not the stored start
        for (double amount : {10.0, 2.5, 7.5})
            day.line(amount);
        storeTakings(day.db, START, 12.5, 1234.5);
        QPointer<Form6> form = day.open();

        QCOMPARE(form->windowTitle(), QString("TENDUCA 1.0"));
        QCOMPARE(form->Label1->text(), QString("R$ 20,"));
        QCOMPARE(form->Label4->text(), QString("Total Dinheiro = R$ 12,5"));
        QCOMPARE(form->Label5->text(), QString("Total Cartão = R$ 1.234,5"));
        QCOMPARE(form->Label3->text(), QString("06/03/2024"));   // the day it was opened
        QCOMPARE(day.sale.Text3, START_SHOWN);                  // the session start came from the first line
        verifyControls(form, {
                                 {"Label2", 240, 240, 6255, 375, "RECEITA PARCIAL COM DATA", 12},
                                 {"Label3", 240, 615, 6255, 375, {}, 12},
                                 {"Line1", 240, 1110, 6255, 15},
                                 {"Label1", 240, 1245, 6255, 735, {}, 24},
                                 {"Line2", 240, 2100, 6255, 15},
                                 {"Label4", 240, 2355, 6255, 495, {}, 14},
                                 {"Label5", 240, 2955, 6255, 495, {}, 14},
                             });

        QVERIFY(!day.sale.isVisible());
        form->close();
        QVERIFY(day.sale.isVisible());
        QTRY_VERIFY(form.isNull());
    }

    void zeroAndSmallAmounts_data()
    {
        QTest::addColumn<QList<double>>("lines");
        QTest::addColumn<bool>("takingsRow");
        QTest::addColumn<double>("cash");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("cashText");
        QTest::addColumn<QString>("cardText");
        QTest::newRow("no lines, no takings row") << QList<double>{} << false << 0.0 << "R$ 0,"
                                                  << "Total Dinheiro = R$ 0" << "Total Cartão = R$ 0";
        QTest::newRow("zero cash") << QList<double>{4.0} << true << 0.0 << "R$ 4,"
                                   << "Total Dinheiro = R$ 0," << "Total Cartão = R$ 4,";
        // The money pattern writes no digit before the comma of an amount below 1.
        QTest::newRow("fifty cents is an amount") << QList<double>{0.5} << true << 0.5 << "R$ ,5"
                                                  << "Total Dinheiro = R$ ,5" << "Total Cartão = R$ 0,";
    }
    void zeroAndSmallAmounts()
    {
        QFETCH(QList<double>, lines);
        QFETCH(bool, takingsRow);
        QFETCH(double, cash);
        Day day;
        day.sale.Text3 = START_SHOWN;
        for (double amount : lines)
            day.line(amount);
        if (takingsRow)
            storeTakings(day.db, START, cash, cash == 0 ? 4 : 0);
        QPointer<Form6> form = day.open();
        QTEST(form->Label1->text(), "total");
        QTEST(form->Label4->text(), "cashText");
        QTEST(form->Label5->text(), "cardText");
        form->close();
    }

    void anEmptySessionLeavesTheSessionStart()
    {
        Day day;
        day.sale.Text3 = QStringLiteral("07/03/2024 7:45:00");
        QPointer<Form6> form = day.open();
        QCOMPARE(day.sale.Text3, QString("07/03/2024 7:45:00"));
        QCOMPARE(form->Label1->text(), QString("R$ 0,"));
        form->close();
    }

    void theFirstTakingsRowOfTheStartWins()
    {
        Day day;
        day.line(30);
        storeTakings(day.db, "2024-03-04 08:00:00", 99, 99);
        storeTakings(day.db, START, 10, 20);
        storeTakings(day.db, START, 70, 80);
        QPointer<Form6> form = day.open();
        QCOMPARE(form->Label4->text(), QString("Total Dinheiro = R$ 10,"));
        QCOMPARE(form->Label5->text(), QString("Total Cartão = R$ 20,"));
        form->close();
    }

    void aLineWithoutAnAmountCountsAsZero()
    {
        Day day;
        day.line(3.25);
        day.db.execute("INSERT INTO Temporal (CodigoProducto, FechaInicio, FechaVenta) VALUES ('2', '" + START +
                       "', '" + START + "')");
        QPointer<Form6> form = day.open();
        QCOMPARE(form->Label1->text(), QString("R$ 3,25"));
        QVERIFY(day.fakes.prompter.messages.isEmpty());
        form->close();
    }
};

QTEST_MAIN(Form6Test)
#include "tst_form6.moc"
