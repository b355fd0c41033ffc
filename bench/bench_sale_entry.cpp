// Measures the sale window at the counter on a large catalogue:
//   bench_sale_entry [FOLDER]
// 1 000 codes scanned in a row, automatic quantity, into one sale of 200
// different products: from the Enter in the code box until the line and the
// total are painted (headless), beside a raw indexed lookup of the same code
// on an open connection. Without FOLDER a database of 100 000 products is
// generated in a temporary folder; a FOLDER without bd1 gets one kept for later runs.

#include "common/clock.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/prompter.h"
#include "common/report_list.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/counter.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int DISTINCT_PRODUCTS = 200;
constexpr int SCANS = 1000;
constexpr std::uint64_t SAMPLE_SEED = 11;
constexpr char RAW_LOOKUP[] = "select * from Productos where CodigoProducto = ? order by NombreProducto";

QTextStream out(stdout);

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

        CountingPrompter prompter;
        SystemClock clock;
        FixedScreen screen;
        Platform platform{prompter, clock, screen, folder};
        Form1 form(platform);
        form.show();
        QCoreApplication::processEvents();

        RawConnection raw(path, derivedKeyFor(path));
        RawStatement lookup(raw, RAW_LOOKUP);
        SeededRandom random(SAMPLE_SEED);
        std::vector<double> scans;
        std::vector<double> rawLookups;
        QElapsedTimer timer;
        for (int i = 0; i < SCANS; ++i) {
            // Every product once first, then at random: the sale grows to 200 lines.
            const QString code = codes.at(i < DISTINCT_PRODUCTS ? i : random.below(DISTINCT_PRODUCTS));
            timer.start();
            scanCode(form.findChild<QLineEdit*>(QStringLiteral("Text7")), code);
            // Paints what the scan changed, as the program's event loop does next.
            QCoreApplication::processEvents();
            scans.push_back(timer.nsecsElapsed() / 1000.0);

            timer.start();
            lookup.bindText(1, code.toUtf8());
            lookup.step();
            lookup.reset();
            rawLookups.push_back(timer.nsecsElapsed() / 1000.0);
        }

        out << QStringLiteral("Catalogue of %1 products in %2\n").arg(catalogueSize).arg(path);
        out << QStringLiteral("%1 scans with automatic quantity into one sale of %2 products: %3 lines, total %4\n\n")
                   .arg(SCANS)
                   .arg(DISTINCT_PRODUCTS)
                   .arg(form.findChild<ReportList*>(QStringLiteral("ListView1"))->rowCount())
                   .arg(form.findChild<QLabel*>(QStringLiteral("Label8"))->text());
        printTimingHeading(out);
        printTimingRow(out, QStringLiteral("scan: Enter until line and total painted"), scans);
        printTimingRow(out, QStringLiteral("raw indexed lookup on an open connection"), rawLookups);
        out << QString("ratio scan / raw lookup (median)").leftJustified(46)
            << QString::number(median(scans) / median(rawLookups), 'f', 1).rightJustified(10) << '\n';
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_sale_entry: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
