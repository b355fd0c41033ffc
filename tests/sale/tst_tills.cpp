#include "common/number_settings.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "reports/form7.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/outbox.h"
#include "store/statement.h"
#include "storetool/database_creator.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/private_server.h"
#include "support/sale_controls.h"
#include "support/test_database.h"
#include "users/form4.h"
#include "users/instance_lock.h"
#include "users/program_start.h"

#include <libpq-fe.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QtTest>

#include <memory>
#include <thread>

namespace {

constexpr int PRODUCTS = 20;
constexpr double STOCK = 1000;
constexpr int LINES_PER_SALE = 5;
constexpr int WAIT_MS = 300'000;
constexpr char DEADLOCKS[] = "select deadlocks from pg_stat_database where datname = current_database()";

// How the server goes away while the cashier pays.
enum Away { ServerStopped, LostBeforeStored, AnswerLost };

// The till's own bd1, as a refresh from the shop leaves it: the twenty products and the admin.
NewDatabaseOptions tillCopy()
{
    NewDatabaseOptions copy;
    for (int code = 1; code <= PRODUCTS; ++code)
        copy.products.append({QString::number(code), QString("Produto %1").arg(code), STOCK, code * 0.5, code * 1.25,
                              0, "Teste"});
    return copy;
}

// One till of the shop: a folder whose settings name the server and its
// number, with the till's own bd1 (its copy and outbox).
struct Till {
    Till(PrivateServer& server, const QString& connection, int number) : number(number)
    {
        server.makeTill(dir.path(), connection, number);
        createDatabase(dir.path(), tillCopy());
    }
    ~Till() { Connection::release(dir.path()); }
    QString folder() const { return dir.path(); }

    QTemporaryDir dir;
    int number;
};

// The worker's report: quantity sold of each product, and each sale's id and total.
struct Report {
    QHash<int, int> sold;
    QMap<QString, double> sales;
};

Report reportOf(QProcess& worker)
{
    Report report;
    for (const QByteArray& line : worker.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            report.sold[fields[0].toInt()] += fields[1].toInt();
        else if (fields.size() == 3 && fields[0] == "venda")
            report.sales.insert(QString::fromLatin1(fields[1]), A_Numero(QString::fromLatin1(fields[2])));
    }
    return report;
}

QHash<int, int> soldBy(QProcess& worker)
{
    return reportOf(worker).sold;
}

// The ids of the sales waiting in a till's outbox.
QStringList waitingIds(const QString& folder)
{
    Connection own(folder, Connection::Place::TillFile);
    QStringList ids;
    if (salesWaiting(own) == 0)
        return ids;
    for (const QStringList& row : rowsOf(own, "select IdVenta from VentasPendientes"))
        ids.append(row[0]);
    return ids;
}

QList<QStringList> rowsOf(const Till& till, const QByteArray& sql)
{
    Connection connection(till.folder());
    return rowsOf(connection, sql);
}

double numberOf(const Till& till, const QByteArray& sql)
{
    const QList<QStringList> rows = rowsOf(till, sql);
    return rows.isEmpty() ? 0 : rows[0][0].toDouble();
}

// What must hold of a shop however its tills ended: every sale whole, the
// stock down by exactly what the stored lines sold, each till's takings the
// sum of its lines.
QString brokenInvariant(const Till& anyTill, const QList<int>& tills)
{
    for (const QStringList& sale : rowsOf(anyTill, "select Caixa, FechaVenta, count(*) from Temporal group by Caixa, "
                                                   "FechaVenta having count(*) <> 5")) {
        return QString("sale %1 of till %2 has %3 lines").arg(sale[1], sale[0], sale[2]);
    }
    for (const QStringList& product : rowsOf(anyTill, "select p.CodigoProducto, p.Cantidad, coalesce((select "
                                                      "sum(t.Cantidad) from Temporal t where t.CodigoProducto = "
                                                      "p.CodigoProducto), 0) + coalesce((select sum(r.Cantidad) from "
                                                      "Recaudacion r where r.CodigoProducto = p.CodigoProducto), 0) "
                                                      "from Productos p")) {
        if (qAbs(product[1].toDouble() + product[2].toDouble() - STOCK) > 1e-6)
            return QString("stock of %1 is %2 after selling %3").arg(product[0], product[1], product[2]);
    }
    for (int till : tills) {
        const QByteArray caixa = QByteArray::number(till);
        const double takings = numberOf(anyTill, "select sum(efectivo + tarjeta) from TipoPago where Caixa = " + caixa);
        const double lines = numberOf(anyTill, "select sum(TotalVenta) from (select TotalVenta, Caixa from Temporal "
                                               "union all select TotalVenta, Caixa from Recaudacion) l where Caixa = " +
                                                   caixa);
        if (qAbs(takings - lines) > 1e-6)
            return QString("takings of till %1 are %2, its lines %3").arg(till).arg(takings).arg(lines);
    }
    return {};
}

// Ends, from a connection of its own, the server process of a till whose
// commit is stored and waits for a standby: the till never hears that it was
// stored. False when no commit waited within half a minute.
bool endCommitWaitingForAStandby(const QString& shop)
{
    PGconn* connection = PQconnectdb(shop.toUtf8().constData());
    QElapsedTimer elapsed;
    elapsed.start();
    bool ended = false;
    for (int poll = 0; poll < 3000 && !ended && elapsed.elapsed() < 30'000; ++poll) {
        PGresult* result = PQexec(connection, "select pg_terminate_backend(pid) from pg_stat_activity where "
                                              "wait_event = 'SyncRep' and application_name like 'tenduca%'");
        ended = PQntuples(result) > 0;
        PQclear(result);
        QThread::msleep(10);
    }
    PQfinish(connection);
    return ended;
}

}   // namespace

// Several tills of one shop selling and closing their days on one server at once.
class TillsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateServer> server_;

    // A new shop whose twenty products have the same stock.
    QString newShop()
    {
        const QString connection = server_->newShop();
        const Till first(*server_, connection, 1);
        Connection store(first.folder());
        RecordSet products(store, Query::ProductosPorNombre, RecordSet::Mode::AppendOnly);
        for (int code = 1; code <= PRODUCTS; ++code) {
            products.addNew();
            products.setText("CodigoProducto", QString::number(code));
            products.setText("NombreProducto", QString("Produto %1").arg(code));
            products.setNumber("Cantidad", STOCK);
            products.setNumber("PrecioCosto", code * 0.5);
            products.setNumber("PrecioVenta", code * 1.25);
            products.setNumber("StockCritico", 0);
            products.setText("Categoria", "Teste");
            products.update();
        }
        return connection;
    }

    // Runs statements on the shop's database as another program would.
    static bool runOn(const QString& shop, const QByteArray& sql)
    {
        PGconn* connection = PQconnectdb(shop.toUtf8().constData());
        PGresult* result = PQexec(connection, sql.constData());
        const bool done = PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK;
        PQclear(result);
        PQfinish(connection);
        return done;
    }

    static void start(QProcess& worker, const Till& till, int sales, int seed, bool close = false, int pauseMs = 0)
    {
        QStringList arguments{till.folder(), QString::number(sales), QString::number(seed)};
        if (close)
            arguments.append("fechar");
        if (pauseMs > 0)
            arguments.append(QString("pausa=%1").arg(pauseMs));
        worker.start(TENDUCA_TILL_WORKER, arguments);
    }

    // A till that sells without end, killed after the given time.
    static void sellUntilKilled(const Till& till, int seed, int ms)
    {
        QProcess worker;
        start(worker, till, 0, seed);
        QVERIFY(worker.waitForReadyRead(30'000));
        QTest::qSleep(ms);
        QVERIFY2(worker.state() == QProcess::Running, worker.readAllStandardError().constData());
        worker.kill();
        QVERIFY(worker.waitForFinished(10'000));
    }

    static void finish(QProcess& worker)
    {
        QVERIFY2(worker.state() == QProcess::NotRunning || worker.waitForFinished(WAIT_MS),
                 "a till did not finish in time");
        QVERIFY2(worker.exitStatus() == QProcess::NormalExit && worker.exitCode() == 0,
                 worker.readAllStandardError().constData());
    }

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        server_ = std::make_unique<PrivateServer>();
        if (!server_->unavailable().isEmpty())
            QSKIP(qPrintable("no server of the test's own: " + server_->unavailable()));
    }

    // Four tills record 250 sales each on the same twenty products at the
    // same time: every sold unit leaves the stock once, no line is lost or
    // doubled, each till's takings are its own lines, and no two tills ever
    // wait for each other in a circle.
    void fourTillsSellTheSameProductsAtOnce()
    {
        const QString shop = newShop();
        std::vector<std::unique_ptr<Till>> tills;
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int number = 1; number <= 4; ++number)
            tills.push_back(std::make_unique<Till>(*server_, shop, number));
        const double deadlocks = numberOf(*tills.front(), DEADLOCKS);
        for (const auto& till : tills) {
            workers.push_back(std::make_unique<QProcess>());
            start(*workers.back(), *till, 250, till->number);
        }
        QHash<int, int> sold;
        for (auto& worker : workers) {
            finish(*worker);
            const QHash<int, int> ofTill = soldBy(*worker);
            for (auto product = ofTill.cbegin(); product != ofTill.cend(); ++product)
                sold[product.key()] += product.value();
        }
        const Till& any = *tills.front();
        // A server process reports its count when it ends, at the latest.
        QTRY_COMPARE_WITH_TIMEOUT(numberOf(any, "select count(*) from pg_stat_activity where application_name like "
                                                "'tenduca%' and pid <> pg_backend_pid()"),
                                  0.0, 10'000);
        QCOMPARE(numberOf(any, DEADLOCKS), deadlocks);
        for (int code = 1; code <= PRODUCTS; ++code)
            QCOMPARE(numberOf(any, "select Cantidad from Productos where CodigoProducto = '" +
                                       QByteArray::number(code) + "'"),
                     STOCK - sold.value(code));
        for (int number = 1; number <= 4; ++number) {
            const QByteArray caixa = QByteArray::number(number);
            QCOMPARE(numberOf(any, "select count(*) from Temporal where Caixa = " + caixa), 250.0 * LINES_PER_SALE);
            QCOMPARE(numberOf(any, "select count(distinct FechaVenta) from Temporal where Caixa = " + caixa), 250.0);
            QCOMPARE(numberOf(any, "select count(*) from TipoPago where Caixa = " + caixa), 1.0);
        }
        const QString broken = brokenInvariant(any, {1, 2, 3, 4});
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }

    // Two tills close their day at the same moment while a third goes on
    // selling: each archives exactly its own lines. The takings report of any
    // till then lists every till's session, all started at the same moment,
    // with its number, and a session's lines are its till's alone.
    void twoTillsCloseTheirDaysAtOnce()
    {
        const QString shop = newShop();
        const Till first(*server_, shop, 1);
        const Till second(*server_, shop, 2);
        const Till third(*server_, shop, 3);
        QProcess selling[3];
        for (int i = 0; i < 3; ++i)
            start(selling[i], i == 0 ? first : i == 1 ? second : third, 20, i + 1);
        for (QProcess& worker : selling)
            finish(worker);
        QProcess closing[2];
        start(closing[0], first, 1, 11, true);
        start(closing[1], second, 1, 12, true);
        QProcess stillSelling;
        start(stillSelling, third, 10, 13);
        for (QProcess* worker : {&closing[0], &closing[1], &stillSelling})
            finish(*worker);

        QCOMPARE(numberOf(first, "select count(*) from Temporal where Caixa in (1, 2)"), 0.0);
        QCOMPARE(numberOf(first, "select count(*) from Temporal where Caixa = 3"), 30.0 * LINES_PER_SALE);
        QCOMPARE(numberOf(first, "select count(*) from Recaudacion where Caixa = 1"), 21.0 * LINES_PER_SALE);
        QCOMPARE(numberOf(first, "select count(*) from Recaudacion where Caixa = 2"), 21.0 * LINES_PER_SALE);
        QCOMPARE(numberOf(first, "select count(*) from Recaudacion where Caixa = 3"), 0.0);
        QCOMPARE(numberOf(first, "select count(*) from TipoPago where FechaCierre is not null and Caixa in (1, 2)"), 2.0);
        const QString broken = brokenInvariant(first, {1, 2, 3});
        QVERIFY2(broken.isEmpty(), qPrintable(broken));

        FakePlatform fakes(third.folder());
        Form7 report(fakes.platform);
        report.show();
        QStringList sessions;
        for (int item = 0; item < report.Combo1->count(); ++item)
            sessions.append(report.Combo1->itemText(item));
        sessions.sort();
        QCOMPARE(sessions, QStringList({"08/12/2026 8:00:00 caixa 1", "08/12/2026 8:00:00 caixa 2",
                                        "08/12/2026 8:00:00 caixa 3"}));
        report.Combo1->setCurrentIndex(report.Combo1->findText("08/12/2026 8:00:00 caixa 2"));
        report.Command1->click();
        QTRY_VERIFY_WITH_TIMEOUT(report.Label12->isHidden(), 5000);
        double sold = 0;
        for (int row = 0; row < report.ListView1->rowCount(); ++row)
            sold += report.ListView1->text(row, 3).toDouble();
        QCOMPARE(sold, numberOf(first, "select sum(Cantidad) from Recaudacion where Caixa = 2"));
    }

    // The server goes away while the cashier pays: the sale is kept in the
    // till's outbox and the window is cleared for the next customer, with a
    // line saying a sale waits; the server back, the sale is recorded once,
    // also when the server went away in the middle of committing it, without
    // ever answering, before or after the sale was stored. The day then
    // closes on the server, with no copy of a bd1 made and nothing more to tell.
    void theServerAwayWhileTheCashierPays_data()
    {
        QTest::addColumn<int>("away");
        QTest::newRow("server stopped") << int(ServerStopped);
        QTest::newRow("connection lost while committing") << int(LostBeforeStored);
        QTest::newRow("sale stored, its answer lost") << int(AnswerLost);
    }

    void theServerAwayWhileTheCashierPays()
    {
        QFETCH(int, away);
        const QString shop = newShop();
        const auto noStandby = [&] {
            runOn(shop, "alter system reset synchronous_standby_names");
            runOn(shop, "select pg_reload_conf()");
        };
        const auto noStandbyAtTheEnd = qScopeGuard(noStandby);
        if (away == AnswerLost) {
            // Each commit is stored, then waits for a standby that never comes.
            QVERIFY(runOn(shop, "alter system set synchronous_standby_names = 'nenhum'"));
            QVERIFY(server_->stop() && server_->start());
        }
        const Till till(*server_, shop, 3);
        FakePlatform fakes(till.folder());
        Form1 form(fakes.platform);
        form.show();
        form.Text4 = "admin";
        form.Text3 = "08/12/2026 8:00:00";
        for (const char* code : {"7", "7", "12"}) {
            typeKeys(ui(form).Text7, code);
            QTest::keyClick(ui(form).Text7, Qt::Key_Return);
        }
        QVERIFY2(fakes.prompter.messages.isEmpty(), qPrintable(fakes.prompter.last()));
        QCOMPARE(ui(form).ListView1->rowCount(), 2);
        const QByteArray fail =
            "create function queda() returns trigger language plpgsql as $$ begin perform "
            "pg_terminate_backend(pg_backend_pid()); return null; end $$; create constraint trigger queda after "
            "insert on TipoPago deferrable initially deferred for each row execute function queda()";
        if (away == LostBeforeStored)
            QVERIFY(runOn(shop, fail));
        else if (away == ServerStopped)
            QVERIFY(server_->stop());
        const auto serverBackAtTheEnd = qScopeGuard([&] {
            if (!runOn(shop, "select 1"))
                server_->start();
        });

        bool ended = false;
        std::thread ending([&] { ended = away == AnswerLost && endCommitWaitingForAStandby(shop); });
        const bool paid = form.CobrarTarjeta().has_value();
        ending.join();
        QCOMPARE(ended, away == AnswerLost);
        QVERIFY(paid);
        QVERIFY2(fakes.prompter.messages.isEmpty(), qPrintable(fakes.prompter.last()));
        QCOMPARE(ui(form).ListView1->rowCount(), 0);
        QVERIFY(ui(form).Label19->isVisible());
        QVERIFY2(ui(form).Label19->text().contains("1 venda aguardando envio"), qPrintable(ui(form).Label19->text()));

        if (away == LostBeforeStored)
            QVERIFY(runOn(shop, "drop trigger queda on TipoPago"));
        else if (away == ServerStopped)
            QVERIFY(server_->start());
        else
            noStandby();
        QTRY_VERIFY_WITH_TIMEOUT(ui(form).Label19->isHidden(), 15'000);
        QCOMPARE(numberOf(till, "select count(*) from Temporal"), 2.0);
        QCOMPARE(numberOf(till, "select count(*) from VentasRecebidas"), 1.0);
        QCOMPARE(numberOf(till, "select tarjeta from TipoPago"), 2 * 1.25 * 7 + 1.25 * 12);
        QCOMPARE(numberOf(till, "select Cantidad from Productos where CodigoProducto = '7'"), STOCK - 2);
        QVERIFY(waitingIds(till.folder()).isEmpty());

        fakes.prompter.answers.enqueue(true);
        QVERIFY(form.close());
        QCOMPARE(numberOf(till, "select count(*) from Recaudacion"), 2.0);
        QVERIFY2(fakes.prompter.messages.size() == 1, qPrintable(fakes.prompter.last()));   // the question to close
        QVERIFY(!QDir(till.folder() + "/backups").exists());
    }

    // A till started while its server is away says so once, logs in against
    // its copy of the users, sells from its copy of the catalogue and keeps
    // the sale; its day does not close while the sale waits. The server back,
    // the sale arrives once and the day closes on the server.
    void aTillStartedAwaySellsAndClosesItsDayOnceTheSaleArrived()
    {
        const QString shop = newShop();
        const Till till(*server_, shop, 4);
        QVERIFY(server_->stop());
        const auto serverBackAtTheEnd = qScopeGuard([&] {
            if (!runOn(shop, "select 1"))
                server_->start();
        });
        FakePlatform fakes(till.folder());
        const InstanceLock lock(till.folder());
        Form1 form(fakes.platform);
        Form4 login(fakes.platform, form);
        QCOMPARE(Comprobar_Inicio(login, lock, fakes.platform), std::nullopt);
        QCOMPARE(fakes.prompter.messages.size(), 1);
        QVERIFY2(fakes.prompter.last().contains("não responde"), qPrintable(fakes.prompter.last()));
        login.show();
        typeKeys(login.Text1, "admin");
        typeKeys(login.Text2, "admin");
        QTest::keyClick(login.Text2, Qt::Key_Return);
        QCOMPARE(form.Text4, QString("admin"));
        typeKeys(ui(form).Text7, "7");
        QTest::keyClick(ui(form).Text7, Qt::Key_Return);
        QCOMPARE(ui(form).ListView1->rowCount(), 1);
        QVERIFY(form.CobrarEfectivo("", ""));
        QVERIFY2(ui(form).Label19->text().startsWith("Sem conexão com o servidor: 1 venda aguardando envio"),
                 qPrintable(ui(form).Label19->text()));

        fakes.prompter.answers << true << false;   // leave, confirming the day's end; then stay
        QVERIFY(!form.close());
        QCOMPARE(fakes.prompter.messages.size(), 4);
        QCOMPARE(fakes.prompter.messages[2].text, QString("Há 1 venda aguardando envio ao servidor; o fechamento do "
                                                          "dia precisa dela no servidor."));
        QVERIFY(server_->start());
        QTRY_VERIFY_WITH_TIMEOUT(ui(form).Label19->isHidden(), 15'000);
        QCOMPARE(numberOf(till, "select efectivo from TipoPago where Caixa = 4"), 1.25 * 7);
        fakes.prompter.answers << true;
        QVERIFY(form.close());
        QCOMPARE(numberOf(till, "select count(*) from Recaudacion where Caixa = 4"), 1.0);
        QCOMPARE(numberOf(till, "select count(*) from TipoPago where Caixa = 4 and FechaCierre is not null"), 1.0);
    }

    // Four tills sell 250 sales each on the same products while the server
    // is stopped and started again at random moments, and is once cut while
    // tills commit: every sale a till rang up is on the server once, under
    // its id and with its total; the stock is down by what was sold, each
    // session's takings are its lines, and no sale is left waiting.
    void everySaleReachesTheServerOnceThroughOutages()
    {
        const QString shop = newShop();
        std::vector<std::unique_ptr<Till>> tills;
        std::vector<std::unique_ptr<QProcess>> workers;
        for (int number = 1; number <= 4; ++number) {
            tills.push_back(std::make_unique<Till>(*server_, shop, number));
            workers.push_back(std::make_unique<QProcess>());
            start(*workers.back(), *tills.back(), 250, 40 + number, false, 150);
        }
        const auto selling = [&] {
            return std::any_of(workers.begin(), workers.end(),
                               [](const auto& worker) { return worker->state() != QProcess::NotRunning; });
        };
        QRandomGenerator random(20261209);
        QElapsedTimer elapsed;
        elapsed.start();
        int outages = 0;
        bool cut = false;
        while (selling() && outages < 12 && elapsed.elapsed() < 150'000) {
            QTest::qWait(random.bounded(200, 1200));
            if (outages == 4 && !cut) {
                QVERIFY(runOn(shop, "create function queda() returns trigger language plpgsql as $$ begin perform "
                                    "pg_terminate_backend(pg_backend_pid()); return null; end $$; create constraint "
                                    "trigger queda after insert on Temporal deferrable initially deferred for each "
                                    "row execute function queda()"));
                QTest::qWait(300);
                QVERIFY(runOn(shop, "drop trigger queda on Temporal"));
                cut = true;
                continue;
            }
            QVERIFY(server_->stop());
            ++outages;
            QTest::qWait(random.bounded(100, 1500));
            QVERIFY(server_->start());
        }
        QVERIFY2(outages >= 10 && cut, qPrintable(QString("only %1 outages while the tills sold").arg(outages)));

        QHash<int, int> sold;
        const Till& any = *tills.front();
        for (int at = 0; at < 4; ++at) {
            finish(*workers[at]);
            const Report report = reportOf(*workers[at]);
            for (auto product = report.sold.cbegin(); product != report.sold.cend(); ++product)
                sold[product.key()] += product.value();
            const QByteArray caixa = QByteArray::number(tills[at]->number);
            QCOMPARE(report.sales.size(), 250);
            QStringList received;
            for (const QStringList& row : rowsOf(any, "select idvenda from VentasRecebidas where caixa = " + caixa))
                received.append(row[0]);
            received.sort();
            QCOMPARE(received, report.sales.keys());
            QCOMPARE(numberOf(any, "select count(distinct FechaVenta) from Temporal where Caixa = " + caixa), 250.0);
            QCOMPARE(numberOf(any, "select count(*) from Temporal where Caixa = " + caixa), 250.0 * LINES_PER_SALE);
            double total = 0;
            for (double sale : report.sales)
                total += sale;
            QVERIFY(qAbs(numberOf(any, "select sum(TotalVenta) from Temporal where Caixa = " + caixa) - total) < 1e-6);
            QCOMPARE(numberOf(any, "select count(*) from TipoPago where Caixa = " + caixa), 1.0);
            QVERIFY(waitingIds(tills[at]->folder()).isEmpty());
        }
        for (int code = 1; code <= PRODUCTS; ++code)
            QCOMPARE(numberOf(any, "select Cantidad from Productos where CodigoProducto = '" +
                                       QByteArray::number(code) + "'"),
                     STOCK - sold.value(code));
        const QString broken = brokenInvariant(any, {1, 2, 3, 4});
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }

    // A till killed while sales wait in its outbox, and again while it sends
    // them: its next run sends them, each once.
    void aTillKilledWithSalesWaitingSendsThemOnce()
    {
        const QString shop = newShop();
        const Till till(*server_, shop, 1);
        QVERIFY(server_->stop());
        {   // killed once sales wait in its outbox
            QProcess worker;
            start(worker, till, 0, 61);
            QTRY_VERIFY_WITH_TIMEOUT(waitingIds(till.folder()).size() >= 20, 30'000);
            worker.kill();
            QVERIFY(worker.waitForFinished(10'000));
        }
        const QStringList waiting = waitingIds(till.folder());
        QVERIFY(server_->start());
        QVERIFY(!waiting.isEmpty());
        sellUntilKilled(till, 62, QRandomGenerator::global()->bounded(50, 400));
        QProcess last;
        start(last, till, 1, 63);
        finish(last);

        QVERIFY(waitingIds(till.folder()).isEmpty());
        QStringList received;
        for (const QStringList& row : rowsOf(till, "select idvenda from VentasRecebidas where caixa = 1"))
            received.append(row[0]);
        for (const QString& id : waiting)
            QVERIFY2(received.contains(id), qPrintable(id));
        QCOMPARE(numberOf(till, "select count(distinct FechaVenta) from Temporal where Caixa = 1"),
                 double(received.size()));
        const QString broken = brokenInvariant(till, {1});
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }

    // A Pix sale at a till of the shop lands in its takings' Pix field, and
    // a later cash sale leaves it as it was; a shop made before Pix gets the
    // field at the till's start.
    void aPixSaleLandsInPix()
    {
        const QString shop = newShop();
        const Till till(*server_, shop, 2);
        rowsOf(till, "alter table tipopago drop column pix");
        Connection::release(till.folder());
        FakePlatform fakes(till.folder());
        Form1 form(fakes.platform);
        form.show();
        form.Text4 = "admin";
        form.Text3 = "08/12/2026 8:00:00";
        const auto sell = [&](const char* code) {
            typeKeys(ui(form).Text7, code);
            QTest::keyClick(ui(form).Text7, Qt::Key_Return);
        };
        sell("7");
        sell("7");
        QVERIFY(form.CobrarPix());
        sell("12");
        QVERIFY(form.CobrarEfectivo("", ""));
        QVERIFY2(fakes.prompter.messages.isEmpty(), qPrintable(fakes.prompter.last()));
        QCOMPARE(rowsOf(till, "select TipoPago, Caixa from Temporal order by rowid"),
                 (QList<QStringList>{{"PIX", "2"}, {"EFECTIVO", "2"}}));
        QCOMPARE(rowsOf(till, "select pix, efectivo, tarjeta from TipoPago where Caixa = 2").value(0),
                 QStringList({"17.5", "15", "0"}));
    }

    // A till killed in the middle of a sale leaves nothing half-written, and
    // another till selling at the same time goes on.
    void aTillKilledMidSaleLeavesNothingHalfWritten()
    {
        const QString shop = newShop();
        const Till killed(*server_, shop, 1);
        const Till other(*server_, shop, 2);
        QProcess goingOn;
        start(goingOn, other, 150, 2);
        QRandomGenerator random(20261208);
        QElapsedTimer elapsed;
        elapsed.start();
        for (int kill = 1; kill <= 12 && elapsed.elapsed() < 120'000; ++kill)
            sellUntilKilled(killed, 100 + kill, random.bounded(20, 250));
        finish(goingOn);
        QVERIFY(numberOf(killed, "select count(*) from Temporal where Caixa = 1") > 0);
        QCOMPARE(numberOf(killed, "select count(*) from Temporal where Caixa = 2"), 150.0 * LINES_PER_SALE);
        const QString broken = brokenInvariant(killed, {1, 2});
        QVERIFY2(broken.isEmpty(), qPrintable(broken));
    }
};

QTEST_MAIN(TillsTest)
#include "tst_tills.moc"
