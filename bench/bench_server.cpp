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
// changed on the server. Milliseconds, median, 95th percentile and maximum.

#include "common/clock.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/cierre_dia.h"
#include "sale/form1.h"
#include "store/connection.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextStream>

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
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_server: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
