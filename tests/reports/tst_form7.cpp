#include "common/date_text.h"
#include "common/money_format.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "reports/form12.h"
#include "reports/form6.h"
#include "reports/form7.h"
#include "reports/stored_sales.h"
#include "sale/form1.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/operations.h"
#include "store/record_set.h"
#include "store/unit_of_work.h"
#include "support/fake_platform.h"
#include "support/layout_check.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

namespace {

// The takings report over a test database, opened from the sale window's menu.
struct Report {
    explicit Report(const TestDatabase& db) : fakes(db.folder())
    {
        fakes.clock.moment = QDateTime(QDate(2024, 6, 10), QTime(9, 0));
        sale.show();
        form = new Form7(fakes.platform);
        form->openFromMenu(&sale);
    }
    ~Report()
    {
        if (form)
            form->close();
    }

    void choose(QComboBox* combo, const QString& text)
    {
        const int index = combo->findText(text);
        QVERIFY2(index >= 0, qPrintable("no item " + text));
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    // Presses a "BUSCAR": the notice shows at once, the query runs after the click has returned.
    void search(QPushButton* button)
    {
        button->click();
        QVERIFY(!form->Label12->isHidden());
        QVERIFY(form->Timer1->isActive());
        QCOMPARE(form->ListView1->rowCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(form->Label12->isHidden(), 5000);
        QVERIFY(!form->Timer1->isActive());
        QCOMPARE(form->Text1, QString());
    }
    void searchSession(const QString& start)
    {
        choose(form->Combo1, start);
        search(form->Command1);
    }
    void searchMonth(const QString& month, const QString& year)
    {
        choose(form->Combo4, month);
        choose(form->Combo5, year);
        search(form->Command3);
    }
    QList<QStringList> rows() const
    {
        QList<QStringList> result;
        for (int row = 0; row < form->ListView1->rowCount(); ++row)
            result.append(form->ListView1->row(row));
        return result;
    }
    QStringList totals() const
    {
        return {form->Label6->text(), form->Label7->text(), form->Label8->text(), form->Label9->text(),
                form->Label11->text()};
    }
    QStringList comboItems(const QComboBox* combo) const
    {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
        return items;
    }

    FakePlatform fakes;
    Form1 sale{fakes.platform};
    QPointer<Form7> form;
};

QString archived(const QString& start, const QString& code, double quantity, double cost, double sale,
                 const QString& name = {}, const QString& category = QStringLiteral("Geral"))
{
    return lineInsert(QStringLiteral("Recaudacion"), {code, name.isEmpty() ? "Produto " + code : name, quantity,
                                                      cost, sale, "EFECTIVO", start, start, category});
}

void archive(const TestDatabase& db, const QString& start, const QString& code, double quantity, double cost,
             double sale, const QString& name = {}, const QString& category = QStringLiteral("Geral"))
{
    db.execute(archived(start, code, quantity, cost, sale, name, category));
}

// The report's result as a plain walk of the whole archive finds it: every
// row tested against the period, each product looked up line by line in the
// list, sums kept as number texts in the cells.
struct WalkResult {
    QList<QStringList> rows;
    double cost = 0;
    double sale = 0;
};

WalkResult walk(const QString& folder, const std::function<bool(const QDateTime&)>& inPeriod)
{
    WalkResult result;
    Connection connection(folder);
    RecordSet lines(connection, Query::Recaudacion);
    for (; !lines.eof(); lines.moveNext()) {
        const std::optional<QDateTime> start = lines.dateTime("FechaInicio");
        if (!start || !inPeriod(*start))
            continue;
        result.cost += lines.number("TotalCosto");
        result.sale += lines.number("TotalVenta");
        const QString code = lines.text("CodigoProducto");
        bool found = false;
        for (QStringList& row : result.rows) {
            if (row[1] != code)
                continue;
            for (const auto& [column, field] : {std::pair{3, "Cantidad"}, {4, "TotalCosto"}, {5, "TotalVenta"}})
                row[column] = A_Texto(A_Numero(row[column]) + A_Numero(lines.text(field)));
            found = true;
            break;
        }
        if (!found)
            result.rows.append({QString::number(result.rows.size() + 1), code, lines.text("NombreProducto"),
                                lines.text("Cantidad"), lines.text("TotalCosto"), lines.text("TotalVenta"),
                                lines.text("Categoria")});
    }
    return result;
}

QString storedStart(const QDateTime& moment)
{
    return toStoredDateTime(moment);
}

const QStringList MONTHS = {"Janeiro", "Fevereiro", "Março",    "Abril",   "Maio",     "Junho",
                            "Julho",   "Agosto",    "Setembro", "Outubro", "Novembro", "Dezembro"};

}   // namespace

class Form7Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void loadsTheChoices()
    {
        TestDatabase db({{product("1", "Arroz", 5, 10, 0, 3, "Mercearia"), product("2", "Sabão", 2, 10, 0, 1, "Limpeza")}});
        storeTakings(db, "2022-11-30 08:00:00", 1, 1);
        storeTakings(db, "2024-03-05 08:00:00", 1, 1);
        storeTakings(db, "2023-01-02 07:30:00", 1, 1);
        Report report(db);
        Form7& form = *report.form;

        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        QCOMPARE(report.sale.Text1, QString("1024"));
        QCOMPARE(form.Picture1->pos(), QPoint(8, 17));   // (15360 − 15135) / 2 and (11520 − 10215) / 5 twips
        QCOMPARE(report.comboItems(form.Combo1),
                 QStringList({"05/03/2024 8:00:00", "02/01/2023 7:30:00", "30/11/2022 8:00:00"}));
        QCOMPARE(report.comboItems(form.Combo5), QStringList({"2024", "2023", "2022"}));
        QCOMPARE(report.comboItems(form.Combo4), MONTHS);
        for (const QComboBox* combo : {form.Combo1, form.Combo4, form.Combo5})
            QCOMPARE(combo->currentText(), QString());   // nothing chosen yet
        for (const QComboBox* combo : {form.Combo2, form.Combo6}) {
            QCOMPARE(report.comboItems(combo), QStringList({"Limpeza", "Mercearia", "Todas"}));
            QVERIFY(combo->isHidden());
        }
        QVERIFY(form.Label12->isHidden());
        QVERIFY(!form.Timer1->isActive());
        QCOMPARE(form.Timer1->interval(), 1);

        verifyControls(&form, {
                                  {"Picture1", 120, 255, 15135, 10215},
                                  {"Label2", 0, 0, 15135, 495, "HISTÓRICO DE ARRECADAÇÃO", 14},
                                  {"Label1", 120, 600, 5055, 375, "ARRECADAÇÃO DIÁRIA", 12},
                                  {"Combo1", 120, 1020, 3375, 420, {}, 11},
                                  {"Command1", 3600, 975, 1575, 495, "BUSCAR", 11},
                                  {"Label3", 7560, 600, 5055, 375, "ARRECADAÇÃO MENSAL", 12},
                                  {"Combo4", 7560, 1020, 2295, 420, {}, 11},
                                  {"Combo5", 9960, 1020, 1335, 420, {}, 11},
                                  {"Command3", 11400, 975, 1575, 495, "BUSCAR", 11},
                                  {"Label4", 120, 1560, 14895, 375, {}, 11},
                                  {"ListView1", 0, 2040, 15135, 5895},
                                  {"Label12", 3840, 4440, 7455, 615, "     CARREGANDO...   AGUARDE...", 16},
                                  {"Label6", 120, 8040, 7335, 375, {}, 12},
                                  {"Label7", 120, 8520, 7335, 375, {}, 12},
                                  {"Label8", 120, 9000, 7335, 375, {}, 12},
                                  {"Label9", 7560, 8040, 7335, 375, {}, 12},
                                  {"Label11", 7560, 8520, 7335, 375, {}, 12},
                              });
        verifyColumns(form.ListView1, {{"_", 0},
                                       {"Código", 2000},
                                       {"Nome", 5500},
                                       {"Quantidade", 1300, Qt::AlignRight},
                                       {"Custo Total", 1600, Qt::AlignCenter},
                                       {"Venda Total", 1600, Qt::AlignCenter},
                                       {"Categoría", 2500, Qt::AlignCenter}});
        QCOMPARE(form.ListView1->font().pointSize(), 13);
        QVERIFY(form.ListView1->font().bold());
        QCOMPARE(form.ListView1->backgroundColor(), QColor(255, 255, 128));

        QVERIFY(!report.sale.isVisible());
        form.close();
        QVERIFY(report.sale.isVisible());
    }

    void withoutSessionsOnlyTheCurrentYearAndMessages()
    {
        TestDatabase db;
        Report report(db);
        Form7& form = *report.form;
        QCOMPARE(form.Combo1->count(), 0);
        QCOMPARE(report.comboItems(form.Combo5), QStringList({"2024"}));
        QCOMPARE(form.Combo2->count(), 0);

        form.Command1->click();
        QCOMPARE(report.fakes.prompter.last(), QString("Você deve selecionar a data a ser consultada"));
        QVERIFY(form.Label12->isHidden());
        QVERIFY(!form.Timer1->isActive());
        report.choose(form.Combo4, "Março");
        form.Command3->click();
        QCOMPARE(report.fakes.prompter.last(), QString("Você deve selecionar o mês e o ano a serem consultado"));
        QVERIFY(!form.Timer1->isActive());

        // An empty archive: the month query leaves the line totals empty, the takings show zero.
        report.choose(form.Combo5, "2024");
        report.search(form.Command3);
        QCOMPARE(form.ListView1->rowCount(), 0);
        QCOMPARE(form.Label4->text(), QString());
        QCOMPARE(report.totals(), QStringList({"", "", "", "Dinheiro R$ ,", "Cartão R$ ,"}));
    }

    void sessionQuery()
    {
        TestDatabase db;
        const QString start = "2024-03-05 08:00:00";
        archive(db, start, "A", 1, 2, 5, "Arroz", "Mercearia");
        archive(db, "2024-03-05 14:00:00", "A", 50, 50, 50);   // another session of the same day
        archive(db, start, "B", 2, 3, 20, "Sabão", "Limpeza");
        archive(db, start, "A", 3, 6, 15, "Arroz novo", "Outra");
        archive(db, start, "C", 0.5, 4, 60);
        storeTakings(db, start, 70, 30, "2024-03-05 18:30:00");
        storeTakings(db, start, 999, 999, "2024-03-05 19:00:00");   // a second row of the same start is not read
        storeTakings(db, "2024-03-05 14:00:00", 50, 0, "2024-03-05 20:00:00");
        Report report(db);

        report.searchSession("05/03/2024 8:00:00");
        QCOMPARE(report.rows(), (QList<QStringList>{{"1", "A", "Arroz", "4", "8", "20", "Mercearia"},
                                                    {"2", "B", "Sabão", "2", "3", "20", "Limpeza"},
                                                    {"3", "C", "Produto C", "0,5", "4", "60", "Geral"}}));
        QCOMPARE(report.form->Label4->text(),
                 QString("ABERTURA: 05/03/2024 às 08:00 hrs.  ENCERRAMENTO: 05/03/2024 a las 18:30 hrs. "));
        QCOMPARE(report.totals(), QStringList({"Custo Total R$ 15,", "Venda Total R$ 100,", "Receita R$ 85,",
                                               "Dinheiro R$ 70,", "Cartão R$ 30,"}));

        // A new choice empties the result at once.
        report.choose(report.form->Combo5, "2024");
        QCOMPARE(report.form->ListView1->rowCount(), 0);
        QCOMPARE(report.totals(), QStringList({"", "", "", "", ""}));
        QCOMPARE(report.form->Label4->text(), QString());
    }

    // One cash, one card and one Pix sale in a session: "RECEITA DO DIA",
    // the open session's sales and, once the day is archived, the report
    // show each apart, adding up to the session's total. A till that never
    // took Pix shows no Pix line.
    void cashCardAndPixAddUp_data()
    {
        QTest::addColumn<bool>("pixOn");
        QTest::addColumn<bool>("pixSale");
        QTest::newRow("Pix on") << true << true;
        QTest::newRow("Pix turned off since") << false << true;
        QTest::newRow("never Pix") << false << false;
    }

    void cashCardAndPixAddUp()
    {
        QFETCH(bool, pixOn);
        QFETCH(bool, pixSale);
        TestDatabase db({{product("1", "Arroz", 10), product("2", "Leite", 4.25), product("3", "Café", 7.5)}});
        Report report(db);   // the sale window opens on a day with no sales yet
        const QString start = "05/03/2024 8:00:00";
        const QList<std::pair<QString, QString>> sales = {{"1", "EFECTIVO"}, {"2", "TARJETA"},
                                                          {"3", pixSale ? "PIX" : "EFECTIVO"}};
        for (int at = 0; at < sales.size(); ++at) {
            const ProductoLeido produto{sales[at].first, "P" + sales[at].first, "0",
                                        at == 0 ? "10" : at == 1 ? "4,25" : "7,5", "Geral"};
            const LineaVenta linha = nuevaLinea(produto, "1", 1);
            RegistroVenta(db.folder()).registrar({linha}, {sales[at].second, linha.ventaTotal, "admin", start,
                                                           QDateTime(QDate(2024, 3, 5), QTime(9, at))});
        }

        report.fakes.platform.pix = pixOn ? PixSettings{"12345678909", "Loja", "Recife"} : PixSettings{};
        report.sale.Text3 = start;
        report.fakes.prompter.answers.enqueue(true);
        auto* today = new Form6(report.fakes.platform, report.sale);
        today->openFromMenu(&report.sale);
        QCOMPARE(today->Label1->text(), QString("R$ 21,75"));
        QCOMPARE(QStringList({today->Label4->text(), today->Label5->text()}),
                 QStringList({pixSale ? "Total Dinheiro = R$ 10," : "Total Dinheiro = R$ 17,5",
                              "Total Cartão = R$ 4,25"}));
        QCOMPARE(today->Label6->isVisible(), pixOn || pixSale);
        QCOMPARE(today->Label6->text(), QString("Total Pix = ") + (pixSale ? "R$ 7,5" : "R$ 0,"));
        QCOMPARE(today->height(), pixOn || pixSale ? 305 : 265);
        today->close();

        Form12 sales12(report.fakes.platform);
        sales12.show();
        QStringList markers;
        for (int row = 0; row < sales12.ListView2->rowCount(); ++row)
            markers.append(sales12.ListView2->text(row, 1));
        QCOMPARE(markers, QStringList({pixSale ? "P" : "D", "C", "D"}));
        sales12.close();

        {
            Connection connection(db.folder());
            runInTransaction(connection, [&] { archiveOpenLines(connection); });
        }
        report.form->close();
        report.form = new Form7(report.fakes.platform);
        report.form->openFromMenu(&report.sale);
        report.searchSession(start);
        QCOMPARE(report.totals().mid(1), QStringList({"Venda Total R$ 21,75", "Receita R$ 21,75",
                                                      pixSale ? "Dinheiro R$ 10," : "Dinheiro R$ 17,5",
                                                      "Cartão R$ 4,25"}));
        const QString pixTaken = QString("Pix ") + (pixSale ? "R$ 7,5" : "R$ ,");
        QCOMPARE(report.form->Label13->text(), pixTaken);
        QCOMPARE(report.form->Label13->isVisible(), pixOn || pixSale);
        report.searchMonth("Março", "2024");
        QCOMPARE(report.form->Label13->text(), pixTaken);
    }

    void aSessionWithoutLinesOrClosing()
    {
        TestDatabase db;
        archive(db, "2024-03-04 08:00:00", "A", 1, 1, 1);
        storeTakings(db, "2024-03-05 08:00:00", 0, 12.5);
        Report report(db);
        report.searchSession("05/03/2024 8:00:00");
        QCOMPARE(report.form->ListView1->rowCount(), 0);
        QCOMPARE(report.form->Label4->text(),
                 QString("ABERTURA: 05/03/2024 às 08:00 hrs.  ENCERRAMENTO:  a las  hrs. "));
        QCOMPARE(report.totals(), QStringList({"Custo Total R$ ,", "Venda Total R$ ,", "Receita R$ ,",
                                               "Dinheiro R$ ,", "Cartão R$ 12,5"}));
    }

    void monthQuery()
    {
        TestDatabase db;
        archive(db, "2024-02-29 23:59:59", "X", 9, 9, 9);
        archive(db, "2024-03-01 00:00:00", "B", 1, 1, 10);
        archive(db, "2024-03-20 08:00:00", "A", 2, 2, 20);
        archive(db, "2024-03-20 08:00:00", "B", 3, 3, 30);
        archive(db, "2024-04-01 00:00:00", "Y", 9, 9, 9);
        archive(db, "2023-03-10 08:00:00", "Z", 9, 9, 9);
        storeTakings(db, "2024-02-29 23:59:59", 100, 100);
        storeTakings(db, "2024-03-01 00:00:00", 10, 0.25);
        storeTakings(db, "2024-03-20 08:00:00", 20, 30);
        storeTakings(db, "2024-04-01 00:00:00", 100, 100);
        storeTakings(db, "2022-05-02 08:00:00", 100, 100);
        Report report(db);

        report.searchMonth("Março", "2024");
        QCOMPARE(report.rows(), (QList<QStringList>{{"1", "B", "Produto B", "4", "4", "40", "Geral"},
                                                    {"2", "A", "Produto A", "2", "2", "20", "Geral"}}));
        QCOMPARE(report.form->Label4->text(), QString("vendas feitas em Março de 2024"));
        QCOMPARE(report.totals(), QStringList({"Custo Total R$ 6,", "Venda Total R$ 60,", "Receita R$ 54,",
                                               "Dinheiro R$ 30,", "Cartão R$ 30,25"}));

        // A year with no sessions: the archive has rows, so the totals show zero.
        report.searchMonth("Março", "2022");
        QCOMPARE(report.form->ListView1->rowCount(), 0);
        QCOMPARE(report.form->Label4->text(), QString("vendas feitas em Março de 2022"));
        QCOMPARE(report.totals(), QStringList({"Custo Total R$ ,", "Venda Total R$ ,", "Receita R$ ,",
                                               "Dinheiro R$ ,", "Cartão R$ ,"}));
    }

    void aFailingQueryStillEndsTheWait()
    {
        TestDatabase db;
        archive(db, "2024-03-05 08:00:00", "A", 1, 1, 1);
        db.execute("INSERT INTO Recaudacion (CodigoProducto, FechaInicio) VALUES ('B', '2024-03-05 08:00:00')");
        storeTakings(db, "2024-03-05 08:00:00", 1, 0);
        Report report(db);
        report.searchSession("05/03/2024 8:00:00");
        QCOMPARE(report.fakes.prompter.messages.size(), 1);
        QVERIFY(report.fakes.prompter.last().contains("Cantidad"));
    }

    // The indexed queries and the one-pass totals give what a walk of the
    // whole archive gives: the same lines, in the same order, with the same numbers.
    void sameResultAsAWalkOfTheArchive()
    {
        TestDatabase db;
        QRandomGenerator random(20240305);
        QList<QDateTime> starts;
        for (int day = 0; day < 75; ++day) {
            const QDate date = QDate(2024, 1, 25).addDays(day);
            starts.append(QDateTime(date, QTime(7, random.bounded(60), random.bounded(60))));
            if (day % 10 == 0)   // now and then a second session on the same day
                starts.append(QDateTime(date, QTime(15, 0)));
        }
        QStringList inserts{"BEGIN"};
        for (const QDateTime& start : starts) {
            double cash = 0;
            for (int line = random.bounded(5, 40); line > 0; --line) {
                const int code = random.bounded(25);
                const double quantity = code % 4 == 0 ? random.bounded(2000) / 1000.0 + 0.001 : random.bounded(1, 4);
                const double price = (code + 1) * 1.1;
                inserts.append(archived(storedStart(start), QString::number(code), quantity,
                                        quantity * price * 0.7, quantity * price,
                                        "Produto " + QString::number(code) + (line % 3 ? "" : " (outro nome)"),
                                        "Cat " + QString::number(line % 4)));
                cash += quantity * price;
            }
            inserts.append(takingsInsert(storedStart(start), cash, start.time().hour()));
        }
        inserts.append("COMMIT");
        db.execute(inserts.join(";\n"));
        Report report(db);

        const auto verifySame = [&](const WalkResult& expected) {
            QCOMPARE(report.rows(), expected.rows);
            QCOMPARE(report.form->Label6->text(), "Custo Total " + Formato(expected.cost, FORMATO_REAIS_3));
            QCOMPARE(report.form->Label7->text(), "Venda Total " + Formato(expected.sale, FORMATO_REAIS_3));
            QCOMPARE(report.form->Label8->text(),
                     "Receita " + Formato(expected.sale - expected.cost, FORMATO_REAIS_3));
        };
        for (const int index : {0, 1, 37, int(starts.size()) - 1}) {
            const QDateTime start = starts[index];
            report.searchSession(formatDateTime(start));
            QVERIFY(report.form->ListView1->rowCount() > 0);
            verifySame(walk(db.folder(), [&](const QDateTime& s) { return s == start; }));
        }
        for (const int month : {1, 2, 3, 4}) {
            report.searchMonth(MONTHS[month - 1], "2024");
            QVERIFY(report.form->ListView1->rowCount() > 0);
            verifySame(walk(db.folder(), [&](const QDateTime& s) {
                return s.date().month() == month && s.date().year() == 2024;
            }));
        }
    }
};

QTEST_MAIN(Form7Test)
#include "tst_form7.moc"
