// Measures the stock window on a large catalogue:
//   bench_stock [FOLDER] [--no-texts]
// the "*" listing and the critical listing, from the click until the list is
// painted (headless), and the export of the whole listing to an .xlsx file
// (written, not opened). Without FOLDER a database of 100 000 products is
// generated in a temporary folder; a FOLDER without bd1 gets one kept for later runs.

#include "catalogue/exportar_excel.h"
#include "catalogue/form9.h"
#include "common/clock.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/report_list.h"
#include "devices/xlsx_spreadsheet.h"
#include "store/connection.h"
#include "support/large_database.h"
#include "support/measurements.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int REPEATS = 5;

QTextStream out(stdout);

// Wall-clock and processor time of one run, in milliseconds: on a shared
// machine the processor time tells the program's own cost.
struct Timing {
    double wall = 0;
    double cpu = 0;
};

double processorMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Timing measure(const std::function<void()>& action)
{
    QElapsedTimer timer;
    const double cpuStart = processorMs();
    timer.start();
    action();
    return {timer.nsecsElapsed() / 1e6, processorMs() - cpuStart};
}

Timing median(std::vector<Timing> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Timing& a, const Timing& b) { return a.wall < b.wall; });
    return runs[runs.size() / 2];
}

QString shown(const Timing& timing)
{
    return QStringLiteral("%1 ms (processor %2 ms)").arg(timing.wall, 0, 'f', 0).arg(timing.cpu, 0, 'f', 0);
}

// From the action until the list has been painted, median of REPEATS.
Timing listing(Form9& form, const std::function<void()>& action)
{
    std::vector<Timing> runs;
    for (int i = 0; i < REPEATS; ++i) {
        runs.push_back(measure([&] {
            action();
            form.ListView1->viewport()->repaint();
            QCoreApplication::processEvents();
        }));
    }
    return median(runs);
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

        CountingPrompter prompter;
        SystemClock clock;
        FixedScreen screen;
        QTemporaryDir documents;
        XlsxSpreadsheet spreadsheet(clock, documents.path(), [](const QString&) { return true; });
        Platform platform{prompter, clock, screen, folder};
        platform.spreadsheet = &spreadsheet;
        Form9 form(platform);
        form.show();
        QCoreApplication::processEvents();

        const Timing critical = listing(form, [&] { form.Command3_Click(); });
        const int criticalRows = form.ListView1->rowCount();
        const Timing all = listing(form, [&] {
            form.Text1->setText(QStringLiteral("*"));
            form.Buscar();
        });
        const int allRows = form.ListView1->rowCount();

        // The window's export walks the listing in the store; the list's own
        // texts (the road before) are measured after it, for the peak memory.
        const int messagesBefore = prompter.count;
        const Timing exporting = measure([&] { form.Command1_Click(); });
        const bool exported = prompter.count == messagesBefore;
        const QString exportFile = spreadsheet.filePath();
        const double exportPeak = peakMemoryMb();
        bool fromTexts = false;
        const bool measureTexts = !app.arguments().contains(QStringLiteral("--no-texts"));
        const Timing textsExporting = measureTexts ? measure([&] {
            fromTexts = Exportar_Excel(*form.ListView1, form.ProgressBar1, &spreadsheet, prompter);
        }) : Timing{};

        out << QStringLiteral("Catalogue in %1\n").arg(folder);
        out << QStringLiteral("\"*\" listing, %1 rows, until painted (median of %2): %3\n")
                   .arg(allRows)
                   .arg(REPEATS)
                   .arg(shown(all));
        out << QStringLiteral("critical listing, %1 rows, until painted (median of %2): %3\n")
                   .arg(criticalRows)
                   .arg(REPEATS)
                   .arg(shown(critical));
        out << QStringLiteral("export of %1 rows to %2 (%3 MB), walked in the store: %4%5, peak memory %6 MB\n")
                   .arg(allRows)
                   .arg(QFileInfo(exportFile).fileName())
                   .arg(QFileInfo(exportFile).size() / 1e6, 0, 'f', 1)
                   .arg(shown(exporting))
                   .arg(exported ? QString() : QStringLiteral(" FAILED"))
                   .arg(peakMemoryMb() > 0 ? exportPeak : 0, 0, 'f', 0);
        if (measureTexts)
            out << QStringLiteral("  the same from the list's texts (before): %1%2, peak memory %3 MB\n")
                       .arg(shown(textsExporting))
                       .arg(fromTexts ? QString() : QStringLiteral(" FAILED"))
                       .arg(peakMemoryMb(), 0, 'f', 0);
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_stock: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
