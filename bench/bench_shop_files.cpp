// Measures the work around the shop's files: bench_shop_files [FOLDER]
//  - importing a catalogue of 100 000 products from a spreadsheet's CSV file
//    into an empty bd1 (every row added) and again over it (every row updated);
//  - exporting that catalogue to CSV;
//  - a backup of the large database (100 000 products, 1 000 000 archived sale lines).
// FOLDER works as for bench_store: the large database is generated there once
// and reused; without it one is generated in a temporary folder.

#include "catalogue/catalogue_file.h"
#include "store/backup.h"
#include "storetool/database_creator.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/product_catalogue.h"
#include "support/seeded_random.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <exception>
#include <memory>
#include <vector>

namespace {

constexpr int PRODUCTS = 100000;
constexpr int RUNS = 3;
constexpr std::uint64_t SEED = 11;

QTextStream out(stdout);

// The catalogue as a Brazilian spreadsheet saves it: ";" between fields, decimal comma.
QByteArray catalogueCsv(const std::vector<GeneratedProduct>& products)
{
    QStringList lines = {QStringLiteral("Código;Nome;Quantidade;Custo;Preço;Estoque crítico;Categoria")};
    for (const GeneratedProduct& p : products) {
        lines.append(QStringList{p.code, p.name, QString::number(p.quantity).replace(u'.', u','),
                                 QString::number(p.costPrice).replace(u'.', u','),
                                 QString::number(p.salePrice).replace(u'.', u','), QString::number(p.criticalStock),
                                 p.category}
                         .join(u';'));
    }
    return lines.join(u'\n').toUtf8() + '\n';
}

// Wall-clock and processor time of one run: on a shared machine the wall
// clock also counts the time other programs had the processor.
struct Timing {
    QElapsedTimer wall;
    std::clock_t processor = std::clock();
    Timing() { wall.start(); }
    std::pair<double, double> seconds() const
    {
        return {wall.nsecsElapsed() / 1e9, double(std::clock() - processor) / CLOCKS_PER_SEC};
    }
};

using Runs = std::vector<std::pair<double, double>>;

void report(const QString& what, const Runs& runs)
{
    QStringList each;
    std::vector<double> wall, processor;
    for (const auto& [w, p] : runs) {
        each.append(QString::number(w, 'f', 2));
        wall.push_back(w);
        processor.push_back(p);
    }
    out << qSetFieldWidth(44) << Qt::left << what << qSetFieldWidth(0) << "median " << QString::number(median(wall), 'f', 2)
        << " s, processor " << QString::number(median(processor), 'f', 2) << " s  (runs: " << each.join(QStringLiteral(", "))
        << ")\n";
    out.flush();
}

void measureImportAndExport()
{
    SeededRandom random(SEED);
    const QByteArray csv = catalogueCsv(generateProducts(PRODUCTS, random));
    out << "Catalogue file: " << PRODUCTS << " products, " << csv.size() / 1024 << " KB\n";
    Runs added, updated, exported;
    for (int run = 0; run < RUNS; ++run) {
        QTemporaryDir dir;
        createDatabase(dir.path());
        Timing adding;
        const CatalogueImport first = importCatalogue(dir.path(), csv, false);
        added.push_back(adding.seconds());
        Timing updating;
        const CatalogueImport second = importCatalogue(dir.path(), csv, false);
        updated.push_back(updating.seconds());
        Timing exporting;
        const QByteArray written = exportCatalogue(dir.path());
        exported.push_back(exporting.seconds());
        if (first.added != PRODUCTS || second.updated != PRODUCTS || !first.rejected.isEmpty())
            throw std::runtime_error("the import did not take every product");
        if (written.count('\n') != PRODUCTS + 1)
            throw std::runtime_error("the export did not write every product");
    }
    report(QStringLiteral("import, 100 000 new products"), added);
    report(QStringLiteral("import, 100 000 existing products updated"), updated);
    report(QStringLiteral("export, 100 000 products"), exported);
    out << "peak memory of the process so far: " << QString::number(peakMemoryMb(), 'f', 0) << " MB\n";
}

void measureBackup(const QString& folder)
{
    const qint64 size = QFileInfo(QDir(folder).filePath("bd1")).size();
    out << "Large database: " << size / (1024 * 1024) << " MB\n";
    Runs seconds;
    for (int run = 0; run < RUNS; ++run) {
        QTemporaryDir destination;
        Timing timing;
        writeBackup(folder, QDateTime::currentDateTime(), destination.path());
        seconds.push_back(timing.seconds());
    }
    report(QStringLiteral("backup of the large database"), seconds);
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    try {
        measureImportAndExport();
        std::unique_ptr<QTemporaryDir> temporary;
        measureBackup(largeDatabaseFolder(app.arguments(), temporary));
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_shop_files: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
