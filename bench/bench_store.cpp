// Measures the store beside the same work done straight through the engine,
// on a large bd1: bench_store [FOLDER]
//  - a product lookup by code as the sale window makes it, against a raw
//    open-to-close lookup and a raw statement kept prepared on an open connection;
//  - the full product listing in name order, every field read as text.
// Without FOLDER a database is generated in a temporary folder and removed
// afterwards; a FOLDER without bd1 gets one generated and kept for later runs.

#include "common/number_settings.h"
#include "store/connection.h"
#include "store/keys.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "support/large_database.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int FOUND_LOOKUPS = 2000;
constexpr int MISSING_LOOKUPS = 200;
constexpr int WARM_UP_LOOKUPS = 50;
constexpr int LISTING_RUNS = 5;
constexpr std::uint64_t SAMPLE_SEED = 7;

const QStringList PRODUCT_FIELDS = {"CodigoProducto", "NombreProducto", "Cantidad",  "PrecioCosto",
                                    "PrecioVenta",    "StockCritico",   "Categoria", "ParteDeOferta"};
// The lookup as one would write it by hand: the same rows, in the same order.
constexpr char RAW_LOOKUP[] = "select * from Productos where CodigoProducto = ? order by NombreProducto";

QTextStream out(stdout);

// Characters read, so that no reading can be skipped as unused.
std::size_t charactersRead = 0;

// ---- the database and the codes looked up -------------------------------------

struct Sample {
    QStringList existing;
    QStringList missing;
    int products = 0;
    int saleLines = 0;
};

int countRows(const RawConnection& connection, const char* sql)
{
    RawStatement statement(connection, sql);
    return statement.step() ? statement.text(0).toInt() : 0;
}

// Random existing codes, and codes that exist nowhere: existing ones with a
// wrong check digit (every generated code has a valid one).
Sample sampleCodes(const QString& path, const QByteArray& key)
{
    RawConnection connection(path, key);
    Sample sample;
    sample.saleLines = countRows(connection, "select count(*) from Recaudacion");
    QStringList codes;
    RawStatement allCodes(connection, "select CodigoProducto from Productos");
    while (allCodes.step())
        codes.append(allCodes.text(0));
    sample.products = static_cast<int>(codes.size());
    if (codes.isEmpty())
        throw std::runtime_error("the database has no products to look up");

    SeededRandom random(SAMPLE_SEED);
    for (qsizetype i = codes.size() - 1; i > 0; --i)
        codes.swapItemsAt(i, random.below(static_cast<int>(i + 1)));
    sample.existing = codes.mid(0, FOUND_LOOKUPS);
    for (int i = 0; i < MISSING_LOOKUPS; ++i) {
        QString code = codes[(FOUND_LOOKUPS + i) % codes.size()];
        code.back() = QChar(u'0' + (code.back().digitValue() + 1) % 10);
        sample.missing.append(code);
    }
    return sample;
}

// The folder to measure: the given one (a database is generated there first
// when it has none), or a temporary one for this run only.
// ---- timing ----------------------------------------------------------------

struct Timings {
    std::vector<double> micros;   // one per measured call
    int found = 0;                // lookups that found their product

    double percentile(double share) const
    {
        std::vector<double> sorted = micros;
        std::sort(sorted.begin(), sorted.end());
        const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
        return sorted.empty() ? 0 : sorted[std::max<std::size_t>(rank, 1) - 1];
    }
    double median() const { return percentile(0.5); }
    double p95() const { return percentile(0.95); }
};

// Microseconds taken by one call of work.
template <typename Work>
double microsOf(Work&& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
}

// ---- the three lookups: each returns whether the product was found -----------

using Lookup = std::function<bool(const QString& code)>;

bool storeLookup(const QString& folder, const QString& code)
{
    Connection connection(folder);
    RecordSet products(connection, Query::ProductosPorNombre,
                       RecordSet::Equals{QStringLiteral("CodigoProducto"), code});
    if (products.eof())
        return false;
    for (const QString& field : PRODUCT_FIELDS)
        charactersRead += products.text(field).size();
    return true;
}

bool readFirstRow(RawStatement& statement)
{
    if (!statement.step())
        return false;
    for (int column = 0; column < PRODUCT_FIELDS.size(); ++column)
        charactersRead += statement.text(column).size();
    return true;
}

bool rawOpenLookup(const QString& path, const QByteArray& key, const QString& code)
{
    RawConnection connection(path, key);
    RawStatement statement(connection, RAW_LOOKUP);
    statement.bindText(1, code.toUtf8());
    return readFirstRow(statement);
}

bool rawPreparedLookup(RawStatement& statement, const QString& code)
{
    statement.bindText(1, code.toUtf8());
    const bool found = readFirstRow(statement);
    statement.reset();
    return found;
}

// Runs the lookups of every code, alternating them code by code so that
// machine noise falls on all of them alike.
std::vector<Timings> timeEach(const QStringList& codes, const std::vector<Lookup>& lookups)
{
    std::vector<Timings> timings(lookups.size());
    for (const QString& code : codes) {
        for (std::size_t i = 0; i < lookups.size(); ++i) {
            bool found = false;
            timings[i].micros.push_back(microsOf([&] { found = lookups[i](code); }));
            timings[i].found += found ? 1 : 0;
        }
    }
    return timings;
}

struct LookupTimings {
    Timings existing;
    Timings missing;
};

// After a warm-up, the timings of each lookup for the existing and the missing codes.
std::vector<LookupTimings> timeLookups(const Sample& sample, const std::vector<Lookup>& lookups)
{
    timeEach(sample.existing.mid(0, WARM_UP_LOOKUPS), lookups);
    const std::vector<Timings> existing = timeEach(sample.existing, lookups);
    const std::vector<Timings> missing = timeEach(sample.missing, lookups);
    std::vector<LookupTimings> timings;
    for (std::size_t i = 0; i < lookups.size(); ++i)
        timings.push_back({existing[i], missing[i]});
    return timings;
}

// ---- the listings: each returns the rows read ---------------------------------

int storeListing(const QString& folder)
{
    Connection connection(folder);
    RecordSet products(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
    int rows = 0;
    for (products.moveFirst(); !products.eof(); products.moveNext(), ++rows) {
        for (const QString& field : PRODUCT_FIELDS)
            charactersRead += products.text(field).size();
    }
    return rows;
}

int rawListing(const QString& path, const QByteArray& key)
{
    RawConnection connection(path, key);
    connection.execute("PRAGMA cache_size = -16384");   // the page cache the store's connections use
    RawStatement statement(connection, "select * from Productos Order by NombreProducto, rowid");
    int rows = 0;
    for (; statement.step(); ++rows) {
        for (int column = 0; column < PRODUCT_FIELDS.size(); ++column)
            charactersRead += statement.text(column).size();
    }
    return rows;
}

// ---- the report ----------------------------------------------------------------

QString cell(double value, int width = 10, int decimals = 1)
{
    return QStringLiteral("%1").arg(value, width, 'f', decimals);
}

void printLookupRow(const QString& name, const LookupTimings& timings)
{
    out << name.leftJustified(50) << cell(timings.existing.median()) << cell(timings.existing.p95())
        << cell(timings.missing.median()) << cell(timings.missing.p95()) << '\n';
}

void printRatioRow(const QString& name, const LookupTimings& store, const LookupTimings& raw)
{
    out << name.leftJustified(50) << cell(store.existing.median() / raw.existing.median(), 10, 2)
        << cell(store.existing.p95() / raw.existing.p95(), 10, 2)
        << cell(store.missing.median() / raw.missing.median(), 10, 2)
        << cell(store.missing.p95() / raw.missing.p95(), 10, 2) << '\n';
}

bool sameFinds(const std::vector<LookupTimings>& all)
{
    return std::all_of(all.begin(), all.end(), [&](const LookupTimings& timings) {
        return timings.existing.found == all.front().existing.found &&
               timings.missing.found == all.front().missing.found;
    });
}

void benchLookups(const QString& folder, const QString& path, const QByteArray& key, const Sample& sample)
{
    // With no other connection open, the first open creates the engine's shared
    // files and the last close deletes them: timed for comparison only.
    const std::vector<LookupTimings> alone =
        timeLookups(sample, {[&](const QString& code) { return storeLookup(folder, code); }});
    const LookupTimings& storeAlone = alone[0];

    // The program holds one idle connection for its whole run, so every lookup
    // of a user action is timed beside one, as at the counter.
    RawConnection held(path, key);
    RawStatement statement(held, RAW_LOOKUP);
    const std::vector<LookupTimings> timings =
        timeLookups(sample, {[&](const QString& code) { return storeLookup(folder, code); },
                             [&](const QString& code) { return rawOpenLookup(path, key, code); },
                             [&](const QString& code) { return rawPreparedLookup(statement, code); }});
    const LookupTimings& store = timings[0];
    const LookupTimings& rawOpen = timings[1];
    const LookupTimings& rawPrepared = timings[2];

    out << QStringLiteral("\nProduct lookup by code, microseconds per lookup "
                          "(%1 existing codes, %2 found; %3 missing codes, %4 found)\n")
               .arg(sample.existing.size())
               .arg(store.existing.found)
               .arg(sample.missing.size())
               .arg(store.missing.found);
    out << QStringLiteral("beside the idle connection the program holds for its whole run\n");
    out << QString().leftJustified(50) << QStringLiteral("%1%2\n").arg("existing", 20).arg("missing", 20);
    out << QString().leftJustified(50) << QStringLiteral("%1%2%1%2\n").arg("median", 10).arg("p95", 10);
    printLookupRow(QStringLiteral("store: Connection + filtered RecordSet"), store);
    printLookupRow(QStringLiteral("raw (i): open, key, prepare ... finalize, close"), rawOpen);
    printLookupRow(QStringLiteral("raw (ii): bind, step, reset on an open connection"), rawPrepared);
    printRatioRow(QStringLiteral("ratio store / raw (i)"), store, rawOpen);
    printRatioRow(QStringLiteral("ratio store / raw (ii)"), store, rawPrepared);
    printLookupRow(QStringLiteral("for comparison: store with no connection held"), storeAlone);
    if (!sameFinds({store, rawOpen, rawPrepared, storeAlone}))
        out << "WARNING: the lookups did not find the same products\n";
}

// Best milliseconds of a few runs of each listing, alternated. The store's
// first listing runs on a connection just opened, whose engine has every
// page still to decipher; the later ones find them in its cache.
void benchListing(const QString& folder, const QString& path, const QByteArray& key)
{
    double storeBest = 0;
    double rawBest = 0;
    int storeRows = 0;
    int rawRows = 0;
    Connection::release(folder);
    const double firstMillis = microsOf([&] { storeRows = storeListing(folder); }) / 1000;
    for (int run = 0; run < LISTING_RUNS; ++run) {
        const double storeMillis = microsOf([&] { storeRows = storeListing(folder); }) / 1000;
        const double rawMillis = microsOf([&] { rawRows = rawListing(path, key); }) / 1000;
        storeBest = run == 0 ? storeMillis : std::min(storeBest, storeMillis);
        rawBest = run == 0 ? rawMillis : std::min(rawBest, rawMillis);
    }
    out << QStringLiteral("\nFull product listing in name order (%1 rows x %2 fields read as text), "
                          "milliseconds, best of %3 runs\n")
               .arg(storeRows)
               .arg(PRODUCT_FIELDS.size())
               .arg(LISTING_RUNS);
    out << QStringLiteral("store: first listing after the connection opens").leftJustified(50) << cell(firstMillis)
        << '\n';
    out << QStringLiteral("store: RecordSet in read-only list mode").leftJustified(50) << cell(storeBest) << '\n';
    out << QStringLiteral("raw: one prepared statement stepped").leftJustified(50) << cell(rawBest) << '\n';
    out << QStringLiteral("ratio store / raw").leftJustified(50) << cell(storeBest / rawBest, 10, 2) << '\n';
    if (storeRows != rawRows)
        out << QStringLiteral("WARNING: the store listed %1 rows, the raw statement %2\n").arg(storeRows).arg(rawRows);
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    try {
        std::unique_ptr<QTemporaryDir> temporary;
        const QString folder = largeDatabaseFolder(app.arguments(), temporary);
        const QString path = databasePath(folder);
        const QByteArray key = derivedKeyFor(path);
        const Sample sample = sampleCodes(path, key);
        out << QStringLiteral("Database %1: %2 products, %3 archived sale lines, %4 MB\n")
                   .arg(path)
                   .arg(sample.products)
                   .arg(sample.saleLines)
                   .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1);
        benchLookups(folder, path, key, sample);
        benchListing(folder, path, key);
        out << QStringLiteral("\n(%1 characters read in all)\n").arg(charactersRead);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_store: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
