#include "common/number_settings.h"
#include "common/report_list.h"
#include "reports/form12.h"
#include "reports/stored_sales.h"
#include "support/fake_platform.h"
#include "support/layout_check.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString START = QStringLiteral("2024-03-05 08:00:00");

void storeSale(const TestDatabase& db, const QString& moment, const QString& payment,
               const QList<StoredLine>& lines)
{
    for (StoredLine line : lines) {
        line.payment = payment;
        line.sessionStart = START;
        line.saleMoment = moment;
        storeLine(db, QStringLiteral("Temporal"), line);
    }
}

// Clicks a sale of the list as the mouse does.
void clickSale(Form12& form, int row)
{
    ReportList* list = form.ListView2;
    const QRect cell = list->visualRect(list->model()->index(row, 0));
    QVERIFY2(cell.isValid(), "the sale is not in view");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
}

QList<QStringList> rowsOf(const ReportList* list)
{
    QList<QStringList> rows;
    for (int row = 0; row < list->rowCount(); ++row)
        rows.append(list->row(row));
    return rows;
}

}   // namespace

class Form12Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void listsTheSalesNewestFirstWithTheirMarkers()
    {
        TestDatabase db;
        storeSale(db, "2024-03-05 09:00:05", "EFECTIVO", {{"1", "Arroz", 1, 0, 5}});
        storeSale(db, "2024-03-05 10:12:41", "EXENTO", {{"2", "Feijão", 1, 0, 7}});
        storeSale(db, "2024-03-05 10:12:40", "TARJETA", {{"3", "Leite", 2, 0, 8}});
        storeSale(db, "2024-03-05 11:00:00", "CHEQUE", {{"4", "Café", 1, 0, 9}});
        FakePlatform fakes(db.folder());
        Form12 form(fakes.platform);
        form.show();

        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        QCOMPARE(rowsOf(form.ListView2), (QList<QStringList>{{"05/03/2024 11:00:00", ""},
                                                             {"05/03/2024 10:12:41", "Ex"},
                                                             {"05/03/2024 10:12:40", "C"},
                                                             {"05/03/2024 9:00:05", "D"}}));
        QCOMPARE(form.ListView1->rowCount(), 0);
        for (const QLabel* label : {form.Label1, form.Label2, form.Label4})
            QCOMPARE(label->text(), QString());

        verifyControls(&form, {
                                  {"Label3", 0, 0, 15135, 495, "DETALHE DA VENDA PARCIAL DO DIA", 14},
                                  {"ListView2", 120, 600, 3735, 7695},
                                  {"ListView1", 3975, 600, 11040, 6255},
                                  {"Label1", 3975, 6975, 7215, 375, {}, 12},
                                  {"Label4", 3975, 7455, 3615, 375, {}, 12},
                                  {"Label2", 7695, 7455, 7320, 375, {}, 14},
                              });
        verifyColumns(form.ListView2, {{"Data / Hora", 2600}, {"R$", 500}});
        verifyColumns(form.ListView1, {{"Item", 0},
                                       {"Código", 0},
                                       {"Nome", 5000},
                                       {"Quantidade", 1400, Qt::AlignRight},
                                       {"Valor Unitário", 2000, Qt::AlignRight},
                                       {"Total Venda", 1800, Qt::AlignRight}});
        QCOMPARE(form.ListView2->font().pointSize(), 12);
        QVERIFY(form.ListView2->font().bold());
        QCOMPARE(form.ListView2->backgroundColor(), QColor(255, 255, 128));
        QCOMPARE(form.ListView1->font().pointSize(), 12);
    }

    void aClickShowsTheSale_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QList<QStringList>>("lines");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("amount");
        QTest::newRow("three lines in cash")
            << 3
            << QList<QStringList>{{"1", "11", "Arroz", "2", "5,5", "11"},
                                  {"2", "12", "Feijão", "1,25", "8", "10"},
                                  {"3", "13", "Leite", "1", "4,75", "4,75"}}
            << "Venda realizada em 05/03/2024 às 8:15:02 hrs." << "DINHEIRO" << "Valor Final R$ 25,75";
        QTest::newRow("card") << 2 << QList<QStringList>{{"1", "21", "Café", "1", "1500", "1500"}}
                              << "Venda realizada em 05/03/2024 às 10:12:40 hrs." << "CARTÃO"
                              << "Valor Final R$ 1.500,";
        QTest::newRow("exempt") << 1 << QList<QStringList>{{"1", "31", "Pão", "3", "0,5", "1,5"}}
                                << "Venda realizada em 05/03/2024 às 10:12:41 hrs." << "ISENTO"
                                << "Valor Final R$ 1,5";
        QTest::newRow("unknown payment") << 0 << QList<QStringList>{{"1", "41", "Sal", "1", "2", "2"}}
                                         << "Venda realizada em 06/03/2024 às 0:00:09 hrs." << "OUTRA FORMA"
                                         << "Valor Final R$ 2,";
    }
    void aClickShowsTheSale()
    {
        QFETCH(int, row);
        TestDatabase db;
        storeSale(db, "2024-03-05 08:15:02", "EFECTIVO",
                  {{"11", "Arroz", 2, 0, 11, {}, {}, {}, "Geral", 5.5},
                   {"12", "Feijão", 1.25, 0, 10, {}, {}, {}, "Geral", 8},
                   {"13", "Leite", 1, 0, 4.75, {}, {}, {}, "Geral", 4.75}});
        storeSale(db, "2024-03-05 10:12:40", "TARJETA", {{"21", "Café", 1, 0, 1500, {}, {}, {}, "Geral", 1500}});
        storeSale(db, "2024-03-05 10:12:41", "EXENTO", {{"31", "Pão", 3, 0, 1.5, {}, {}, {}, "Geral", 0.5}});
        storeSale(db, "2024-03-06 00:00:09", "", {{"41", "Sal", 1, 0, 2, {}, {}, {}, "Geral", 2}});
        FakePlatform fakes(db.folder());
        Form12 form(fakes.platform);
        form.show();

        clickSale(form, 1);   // an earlier choice is replaced, its numbering too
        clickSale(form, row);
        QCOMPARE(form.Text1, form.ListView2->text(row, 0));
        QTEST(rowsOf(form.ListView1), "lines");
        QTEST(form.Label1->text(), "time");
        QTEST(form.Label4->text(), "word");
        QTEST(form.Label2->text(), "amount");
        QVERIFY(fakes.prompter.messages.isEmpty());
    }

    void anEmptySessionShowsNothingAndAClickDoesNothing()
    {
        TestDatabase db;
        FakePlatform fakes(db.folder());
        Form12 form(fakes.platform);
        form.show();
        QCOMPARE(form.ListView2->rowCount(), 0);
        QTest::mouseClick(form.ListView2->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(form.ListView1->rowCount(), 0);
        QCOMPARE(form.Label1->text(), QString());
        QCOMPARE(form.Text1, QString());
        QVERIFY(fakes.prompter.messages.isEmpty());
    }
};

QTEST_MAIN(Form12Test)
#include "tst_form12.moc"
