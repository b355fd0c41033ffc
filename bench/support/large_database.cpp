#include "support/large_database.h"

#include "common/date_text.h"
#include "store/connection.h"
#include "store/keys.h"
#include "storetool/database_creator.h"
#include "support/product_catalogue.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

// A product as the sale lines bind it, encoded once.
struct EncodedProduct {
    QByteArray code;
    QByteArray name;
    QByteArray category;
    double costPrice = 0;
    double salePrice = 0;
    bool soldByWeight = false;
};

struct Cashier {
    const char* name;
    const char* password;
    double receiptChoice;
};
constexpr Cashier CASHIERS[] = {{"ana", "ana2023", 58}, {"carlos", "carlos2023", 80}};
constexpr const char* SESSION_USERS[] = {"admin", "ana", "carlos"};

void checkOptions(const LargeDatabaseOptions& options)
{
    if (options.products < 0 || options.saleLines < 0)
        throw std::invalid_argument("the numbers of products and sale lines cannot be negative");
    if (options.days < 1 || !options.firstDay.isValid())
        throw std::invalid_argument("the sessions need a valid first day and at least one day");
    if (options.saleLines > 0 && options.products == 0)
        throw std::invalid_argument("sale lines need at least one product");
}

QByteArray storedMoment(const QDateTime& moment)
{
    return toStoredDateTime(moment).toUtf8();
}

std::vector<EncodedProduct> insertProducts(const RawConnection& db, const std::vector<GeneratedProduct>& products)
{
    RawStatement insert(db, "INSERT INTO Productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, "
                            "PrecioVenta, StockCritico, Categoria, ParteDeOferta) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    std::vector<EncodedProduct> encoded;
    encoded.reserve(products.size());
    for (const GeneratedProduct& product : products) {
        EncodedProduct bytes{product.code.toUtf8(), product.name.toUtf8(), product.category.toUtf8(),
                             product.costPrice,     product.salePrice,     product.soldByWeight};
        insert.bindText(1, bytes.code)
            .bindText(2, bytes.name)
            .bindNumber(3, product.quantity)
            .bindNumber(4, product.costPrice)
            .bindNumber(5, product.salePrice)
            .bindWhole(6, product.criticalStock)
            .bindText(7, bytes.category)
            .bindNumber(8, product.partOfOffer ? 1 : 0)
            .run();
        encoded.push_back(std::move(bytes));
    }
    return encoded;
}

void insertCashiers(const RawConnection& db)
{
    RawStatement insert(db, "INSERT INTO Usuarios (NombreUsuario, \"Contraseña\", PermisoCruce) VALUES (?, ?, ?)");
    for (const Cashier& cashier : CASHIERS)
        insert.bindText(1, cashier.name).bindText(2, cashier.password).bindNumber(3, cashier.receiptChoice).run();
}

// How many sale lines each day gets: busier Saturdays, quieter Sundays, some
// noise, and exactly `lines` in all.
std::vector<int> linesPerDay(int lines, int days, const QDate& firstDay, SeededRandom& random)
{
    std::vector<double> cumulative(days + 1, 0.0);
    for (int day = 0; day < days; ++day) {
        const int weekday = firstDay.addDays(day).dayOfWeek();
        const double busy = weekday == Qt::Saturday ? 1.4 : weekday == Qt::Sunday ? 0.7 : 1.0;
        cumulative[day + 1] = cumulative[day] + busy * random.between(0.7, 1.3);
    }
    std::vector<int> counts(days);
    for (int day = 0; day < days; ++day) {
        const auto until = [&](int d) { return std::llround(lines * cumulative[d] / cumulative[days]); };
        counts[day] = static_cast<int>(until(day + 1) - until(day));
    }
    return counts;
}

// Writes the closed sessions: their sale lines into Recaudacion and their
// takings into TipoPago.
class SessionArchive {
public:
    SessionArchive(const RawConnection& db, const std::vector<EncodedProduct>& products, SeededRandom& random)
        : products_(products),
          random_(random),
          lineInsert_(db, "INSERT INTO Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                          "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
          takingsInsert_(db, "INSERT INTO TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre) "
                             "VALUES (?, ?, ?, 0, ?)")
    {
    }

    int sales() const { return sales_; }
    int sessions() const { return sessions_; }

    // A session with no lines leaves no trace: its takings row is made by its first sale.
    void writeSession(const QDate& day, int lines)
    {
        if (lines == 0)
            return;
        const QDateTime start(day, QTime(7, 0).addSecs(random_.below(90 * 60)));
        const QDateTime plannedClose(day, QTime(21, 0).addSecs(random_.below(60 * 60)));
        const QByteArray user = SESSION_USERS[random_.below(std::size(SESSION_USERS))];
        const QByteArray startText = storedMoment(start);
        const qint64 span = start.secsTo(plannedClose);

        double cash = 0;
        double card = 0;
        QDateTime lastSale = start;
        for (int written = 0; written < lines;) {
            const int size = std::min(1 + random_.below(7), lines - written);
            // Sales spread evenly over the day, each in its own second (the moment identifies the sale).
            QDateTime saleTime = start.addSecs(static_cast<qint64>(span * (written + 0.5) / lines));
            if (saleTime <= lastSale)
                saleTime = lastSale.addSecs(1);
            lastSale = saleTime;
            const bool inCash = random_.chance(0.55);
            const double total =
                writeSale(size, inCash ? "EFECTIVO" : "TARJETA", user, startText, storedMoment(saleTime));
            (inCash ? cash : card) += total;
            written += size;
            ++sales_;
        }
        const QDateTime closing = std::max(plannedClose, lastSale.addSecs(60));
        takingsInsert_.bindText(1, startText)
            .bindNumber(2, cash)
            .bindNumber(3, card)
            .bindText(4, storedMoment(closing))
            .run();
        ++sessions_;
    }

private:
    // Writes the lines of one sale and returns its total.
    double writeSale(int lines, const QByteArray& paymentType, const QByteArray& user, const QByteArray& startText,
                     const QByteArray& saleText)
    {
        double total = 0;
        for (int line = 0; line < lines; ++line) {
            const EncodedProduct& product = products_[popularProduct()];
            const double quantity = product.soldByWeight ? roundedTo(random_.between(0.1, 2.5), 3)
                                    : random_.chance(0.7) ? 1
                                                          : 2 + random_.below(4);
            const double saleValue = quantity * product.salePrice;
            lineInsert_.bindText(1, product.code)
                .bindText(2, product.name)
                .bindNumber(3, quantity)
                .bindNumber(4, quantity * product.costPrice)
                .bindNumber(5, saleValue)
                .bindText(6, paymentType)
                .bindText(7, user)
                .bindText(8, product.category)
                .bindText(9, startText)
                .bindText(10, saleText)
                .run();
            total += saleValue;
        }
        return total;
    }

    // A few products sell far more often than the rest.
    std::size_t popularProduct()
    {
        const double spread = random_.unit();
        return static_cast<std::size_t>(spread * spread * static_cast<double>(products_.size()));
    }

    const std::vector<EncodedProduct>& products_;
    SeededRandom& random_;
    RawStatement lineInsert_;
    RawStatement takingsInsert_;
    int sales_ = 0;
    int sessions_ = 0;
};

LargeDatabaseSummary fill(const QString& path, const LargeDatabaseOptions& options)
{
    SeededRandom random(options.seed);
    RawConnection db(path, derivedKeyFor(path));
    // A file that is thrown away on any failure needs neither syncing nor a small cache.
    db.execute("PRAGMA synchronous = OFF");
    db.execute("PRAGMA cache_size = -262144");
    db.execute("BEGIN");
    const std::vector<EncodedProduct> products = insertProducts(db, generateProducts(options.products, random));
    insertCashiers(db);
    SessionArchive archive(db, products, random);
    const std::vector<int> lines = linesPerDay(options.saleLines, options.days, options.firstDay, random);
    for (int day = 0; day < options.days; ++day)
        archive.writeSession(options.firstDay.addDays(day), lines[day]);
    db.execute("COMMIT");
    return {path, options.products, options.saleLines, archive.sales(), archive.sessions()};
}

void removeDatabaseFiles(const QString& path)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

}   // namespace

LargeDatabaseSummary generateLargeDatabase(const QString& folder, const LargeDatabaseOptions& options)
{
    checkOptions(options);
    const QString path = createDatabase(folder);
    try {
        return fill(path, options);
    } catch (...) {
        removeDatabaseFiles(path);
        throw;
    }
}

QString largeDatabaseFolder(const QStringList& arguments, std::unique_ptr<QTemporaryDir>& temporary,
                            const LargeDatabaseOptions& options)
{
    QString folder;
    if (arguments.size() > 1) {
        folder = arguments.at(1);
    } else {
        temporary = std::make_unique<QTemporaryDir>();
        if (!temporary->isValid())
            throw std::runtime_error("no temporary folder: " + temporary->errorString().toStdString());
        folder = temporary->path();
    }
    if (!QFileInfo::exists(databasePath(folder))) {
        QTextStream out(stdout);
        out << "Generating a large database in " << folder << " ..." << Qt::endl;
        QElapsedTimer timer;
        timer.start();
        generateLargeDatabase(folder, options);
        out << QStringLiteral("  done in %1 s\n").arg(timer.elapsed() / 1000.0, 0, 'f', 1);
    }
    return folder;
}

QString catalogueDatabaseFolder(const QStringList& arguments, std::unique_ptr<QTemporaryDir>& temporary)
{
    LargeDatabaseOptions options;
    options.saleLines = 0;
    return largeDatabaseFolder(arguments, temporary, options);
}
