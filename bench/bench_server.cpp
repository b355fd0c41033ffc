// Measures a till working on a shop's PostgreSQL server, beside the same
// work on bd1 in the other benchmarks:
//   bench_server [FOLDER]
// The catalogue of 100 000 products of the large database (FOLDER as for
// bench_store) is sent to a server of the benchmark's own (a new cluster on a
// local socket, as the tests start one), then, on a till of that shop, headless:
// 1 000 codes scanned into one sale of 200 products, from the Enter until the
// line and the total are painted; 100 cash sales of 20 lines, from the click
// on "DINHEIRO" until the sale window is cleared; and 10 day closes of 5 000
// open lines. A till's copy of the catalogue and users, filled from the server
// (3 times, each into a new bd1) and refreshed 20 times after 10 products
// changed on the server. Then away from the server (the till's copy is the
// same catalogue): the payment that finds the server stopped, 200 sales kept
// while it is, 1 000 scans on the copy, and, the server started again, 1 000
// scans while the till sends the kept sales, the time until the first and
// the last of them is on the server, and the payment that finds a server
// that accepts connections but never answers. Milliseconds, median, 95th
// percentile and maximum.

#include "common/clock.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/cierre_dia.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/outbox.h"
#include "store/server_engine.h"
#include "store/statement.h"
#include "store/till_copy.h"
#include "storetool/server_shop.h"
#include "support/counter.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/private_server.h"
#include "support/seeded_random.h"
#include "support/test_database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>
#include <QThread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int DISTINCT_PRODUCTS = 200;
constexpr int SCANS = 1000;
constexpr int SALES = 100;
constexpr int LINES_PER_SALE = 20;
constexpr int CLOSES = 10;
constexpr int OPEN_LINES = 5000;
constexpr int FIRST_REFRESHES = 3;
constexpr int REFRESHES = 20;
constexpr int CHANGED_PRODUCTS = 10;
constexpr int KEPT_SALES = 200;
constexpr std::uint64_t SAMPLE_SEED = 29;
const QString SESSION_START = QStringLiteral("08/12/2026 7:00:00");

QTextStream out(stdout);


std::vector<double> scans(Form1& form, const QStringList& codes)
{
    SeededRandom random(SAMPLE_SEED);
    std::vector<double> timings;
    QElapsedTimer timer;
    auto* box = form.findChild<QLineEdit*>(QStringLiteral("Text7"));
    for (int i = 0; i < SCANS; ++i) {
        const QString code = codes.at(i < DISTINCT_PRODUCTS ? i : random.below(DISTINCT_PRODUCTS));
        timer.start();
        scanCode(box, code);
        QCoreApplication::processEvents();
        timings.push_back(timer.nsecsElapsed() / 1000.0);
    }
    form.findChild<QPushButton*>(QStringLiteral("Command2"))->click();   // "CANCELAR"
    return timings;
}

std::vector<double> paidSales(Form1& form, const QList<ProductoLeido>& products)
{
    std::vector<double> timings;
    for (int sale = 0; sale < SALES; ++sale) {
        const int first = (sale * LINES_PER_SALE) % static_cast<int>(products.size());
        timings.push_back(timeCashPayment(form, products.mid(first, LINES_PER_SALE)));
    }
    return timings;
}

// The till's open session laid out afresh: 5 000 lines and their takings row.
void layOutOpenSession(const QString& till)
{
    Connection connection(till);
    execute(connection, QStringLiteral(
        "insert into Temporal (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, TipoPago, "
        "NombreUsuario, Categoria, FechaInicio, FechaVenta, ValorUnitario, Caixa) select 'P' || n, 'Produto ' || n, 1, "
        "1, 2, 'EFECTIVO', 'admin', 'Geral', '2026-12-08 07:00:00', '2026-12-08 07:30:00', 2, 1 from "
        "generate_series(1, %1) n; insert into TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre, "
        "Caixa) values ('2026-12-08 07:00:00', 10000, 0, 0, '2026-12-08 07:30:00', 1)")
                           .arg(OPEN_LINES));
}

std::vector<double> dayCloses(const QString& till)
{
    Connection::release(till);
    std::vector<double> timings;
    QElapsedTimer timer;
    for (int close = 0; close < CLOSES; ++close) {
        layOutOpenSession(till);
        timer.start();
        Cerrar_Ventas_Del_Dia(till, SESSION_START, QDateTime(QDate(2026, 12, 8), QTime(20, 0)));
        timings.push_back(timer.nsecsElapsed() / 1000.0);
    }
    return timings;
}

// A till's copy filled anew from the whole catalogue, each time into a new bd1.
std::vector<double> firstRefreshes(const QString& shop)
{
    std::vector<double> timings;
    QElapsedTimer timer;
    for (int refresh = 0; refresh < FIRST_REFRESHES; ++refresh) {
        TestDatabase copyFile;
        Connection copy(copyFile.folder());
        ServerEngine till(shop, 1);
        timer.start();
        refreshTillCopy(till, copy.engine());
        timings.push_back(timer.nsecsElapsed() / 1000.0);
    }
    return timings;
}

// The copy brought up to date after the back office changed 10 prices.
std::vector<double> changedRefreshes(const QString& shop)
{
    TestDatabase copyFile;
    Connection copy(copyFile.folder());
    ServerEngine till(shop, 1);
    ServerEngine office(shop, 2);
    refreshTillCopy(till, copy.engine());
    std::vector<double> timings;
    QElapsedTimer timer;
    for (int refresh = 0; refresh < REFRESHES; ++refresh) {
        office.execute(QStringLiteral("update productos set PrecioVenta = PrecioVenta + 0.01 where rowid > %1 and "
                                      "rowid <= %2")
                           .arg(refresh * 4999)
                           .arg(refresh * 4999 + CHANGED_PRODUCTS)
                           .toUtf8());
        timer.start();
        const CopyRefresh brought = refreshTillCopy(till, copy.engine());
        timings.push_back(timer.nsecsElapsed() / 1000.0);
        if (brought.productsChanged != CHANGED_PRODUCTS)
            throw std::runtime_error("the refresh brought " + std::to_string(brought.productsChanged) + " products");
    }
    return timings;
}

qint64 salesWaitingAt(const QString& till)
{
    Connection own(till, Connection::Place::TillFile);
    return salesWaiting(own);
}

// Scans like scans() until the till's outbox is empty (at least one round of
// 1 000); the moments from the server's return until the first and the last
// kept sale left the outbox are given back too.
struct Sending {
    std::vector<double> scans;
    double firstArrivedMs = -1;
    double allArrivedMs = -1;
};

Sending scansWhileSending(Form1& form, const QStringList& codes, const QString& till, const QElapsedTimer& back)
{
    Sending sending;
    const qint64 kept = salesWaitingAt(till);
    for (int round = 0; round < 60 && sending.allArrivedMs < 0; ++round) {
        const std::vector<double> timings = scans(form, codes);
        sending.scans.insert(sending.scans.end(), timings.begin(), timings.end());
        for (int poll = 0; poll < 500 && sending.allArrivedMs < 0; ++poll) {
            const qint64 waiting = salesWaitingAt(till);
            if (waiting < kept && sending.firstArrivedMs < 0)
                sending.firstArrivedMs = back.elapsed();
            if (waiting == 0)
                sending.allArrivedMs = back.elapsed();
            if (sending.firstArrivedMs >= 0 && round == 0)
                break;
            QThread::msleep(10);
        }
    }
    return sending;
}

// A listening port whose connections are never accepted nor answered: a
// server machine that hangs, or a cable pulled after the connection was made.
int silentPort(int& listener)
{
    listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("no local port for the silent server");
    return ntohs(address.sin_port);
}

// A payment at a till whose server never answers, the server believed to answer until then.
double paymentWithASilentServer(PrivateServer& server, const QString& copy, const QList<ProductoLeido>& products,
                                Platform& like)
{
    int listener = -1;
    const int port = silentPort(listener);
    QTemporaryDir folder;
    server.makeTill(folder.path(), QStringLiteral("host=127.0.0.1 port=%1 dbname=loja user=caixa").arg(port), 2);
    QFile::copy(copy, databasePath(folder.path()));
    Platform platform{like.prompter, like.clock, like.screen, folder.path()};
    Form1 form(platform);
    form.show();
    form.Text4 = QStringLiteral("admin");
    form.Text3 = SESSION_START;
    QCoreApplication::processEvents();
    Connection::noteServerAnswers(folder.path());
    const double micros = timeCashPayment(form, products.mid(0, LINES_PER_SALE));
    Connection::release(folder.path());
    ::close(listener);
    return micros;
}

}   // namespace

int main(int argc, char* argv[])
{
    headlessUnlessAsked();
    QApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    try {
        std::unique_ptr<QTemporaryDir> temporary;
        const QString folder = catalogueDatabaseFolder(app.arguments(), temporary);
        const QString path = databasePath(folder);
        qsizetype catalogueSize = 0;
        const QStringList codes = sampleCodes(path, DISTINCT_PRODUCTS, SAMPLE_SEED, catalogueSize);
        const QList<ProductoLeido> products = sampleProducts(path, LINES_PER_SALE * 10, SAMPLE_SEED);

        PrivateServer server;
        if (!server.unavailable().isEmpty())
            throw std::runtime_error(server.unavailable().toStdString());
        const QString shop = server.newDatabase();
        createServerShop(shop);
        QElapsedTimer sending;
        sending.start();
        const ShopSent sent = sendShopToServer(folder, shop);
        const double sendSeconds = sending.elapsed() / 1000.0;
        Connection::release(folder);
        QTemporaryDir till;
        server.makeTill(till.path(), shop, 1);
        QFile::copy(path, databasePath(till.path()));   // the till's copy of the catalogue

        CountingPrompter prompter;
        SteppingClock clock;
        FixedScreen screen;
        Platform platform{prompter, clock, screen, till.path()};
        Form1 form(platform);
        form.show();
        form.Text4 = QStringLiteral("admin");
        form.Text3 = SESSION_START;
        QCoreApplication::processEvents();

        const std::vector<double> scanned = scans(form, codes);
        const std::vector<double> paid = paidSales(form, products);
        const std::vector<double> closed = dayCloses(till.path());
        const std::vector<double> filled = firstRefreshes(shop);
        const std::vector<double> refreshed = changedRefreshes(shop);

        if (!server.stop())
            throw std::runtime_error("the server did not stop");
        const std::vector<double> noticed{timeCashPayment(form, products.mid(0, LINES_PER_SALE))};
        const std::vector<double> kept = paidSales(form, products);
        for (int more = SALES; more < KEPT_SALES; more += SALES)
            paidSales(form, products);
        const std::vector<double> awayScans = scans(form, codes);
        const qint64 keptSales = salesWaitingAt(till.path());
        if (!server.start())
            throw std::runtime_error("the server did not start again");
        QElapsedTimer back;
        back.start();
        const Sending whileSending = scansWhileSending(form, codes, till.path(), back);
        const std::vector<double> silent{paymentWithASilentServer(server, path, products, platform)};

        out << QStringLiteral("Catalogue of %1 products sent to a local server in %2 s (%3 products)\n\n")
                   .arg(catalogueSize)
                   .arg(sendSeconds, 0, 'f', 1)
                   .arg(sent.products);
        printTimingHeading(out);
        printTimingRow(out, QStringLiteral("scan: Enter until line and total painted"), scanned);
        printTimingRow(out, QStringLiteral("DINHEIRO until the window is cleared (20 lines)"), paid);
        printTimingRow(out, QStringLiteral("day close of 5 000 open lines"), closed);
        printTimingRow(out, QStringLiteral("till's copy filled from the whole catalogue"), filled);
        printTimingRow(out, QStringLiteral("till's copy refreshed, 10 products changed"), refreshed);
        printTimingRow(out, QStringLiteral("DINHEIRO, the server just stopped (kept)"), noticed);
        printTimingRow(out, QStringLiteral("DINHEIRO, the server away (kept)"), kept);
        printTimingRow(out, QStringLiteral("scan, the server away (the till's copy)"), awayScans);
        printTimingRow(out, QStringLiteral("scan while the kept sales are sent"), whileSending.scans);
        printTimingRow(out, QStringLiteral("DINHEIRO, a server that never answers (kept)"), silent);
        out << QStringLiteral("\n%1 kept sales: the first on the server %2 ms after its return, the last %3 ms\n")
                   .arg(keptSales)
                   .arg(whileSending.firstArrivedMs, 0, 'f', 0)
                   .arg(whileSending.allArrivedMs, 0, 'f', 0);
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_server: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
