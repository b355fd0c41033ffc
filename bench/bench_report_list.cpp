// Fills a report list with 100 000 rows of 8 columns, at once and row by row,
// and prints the time each takes, including the first layout and paint of
// the shown list. Then times the sale list at the counter: 200 lines rung up
// and 800 changed, each change painted, refilling the whole list against
// changing one row and keeping it in view. Runs headless (QT_QPA_PLATFORM=offscreen unless set).

#include "common/report_list.h"

#include "common/twips.h"
#include "sale/form1.h"
#include "support/measurements.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int ROWS = 100000;
constexpr int COLUMNS = 8;

QList<QStringList> generatedRows()
{
    QList<QStringList> rows;
    rows.reserve(ROWS);
    for (int row = 0; row < ROWS; ++row) {
        QStringList cells;
        cells.reserve(COLUMNS);
        cells.append(QString::number(row + 1));
        for (int column = 1; column < COLUMNS; ++column)
            cells.append(QStringLiteral("cell %1/%2").arg(row).arg(column));
        rows.append(cells);
    }
    return rows;
}

void prepare(ReportList& list)
{
    QList<ReportColumn> columns;
    for (int column = 0; column < COLUMNS; ++column)
        columns.append({QStringLiteral("Column %1").arg(column), 1500, Qt::AlignLeft});
    list.setColumns(columns);
    list.setFontSize(12);
    list.resize(1000, 600);
    list.show();
    QApplication::processEvents();
}

// Milliseconds for the shown list to lay out and paint what it holds.
qint64 settle(ReportList& list)
{
    QElapsedTimer timer;
    timer.start();
    list.viewport()->update();
    QApplication::processEvents();
    return timer.elapsed();
}

void report(QTextStream& out, const char* what, qint64 fillMs, qint64 paintMs, const ReportList& list)
{
    out << what << ": " << fillMs << " ms to fill, " << paintMs << " ms to lay out and paint ("
        << list.rowCount() << " rows)\n";
    out.flush();
}

constexpr int SALE_LINES = 200;
constexpr int SALE_CHANGES = 800;

// The sale list as the counter shows it: its columns, font and size.
void prepareSaleList(ReportList& list)
{
    list.setColumns(columnasListaVenta());
    list.setFontSize(18);
    list.resize(twipsToPixels(15135), twipsToPixels(5295));
    list.show();
    QApplication::processEvents();
}

QStringList saleLine(int line, int quantity)
{
    return {QString::number(line + 1),
            QStringLiteral("78910000%1").arg(line, 5, 10, QLatin1Char('0')),
            QStringLiteral("Produto de demonstração %1").arg(line),
            QString::number(quantity),
            QStringLiteral("4,99"),
            QString::number(quantity * 4.99, 'f', 2).replace(u'.', u','),
            QStringLiteral("0"),
            QStringLiteral("Mercearia")};
}

// One scan's change to the list: a new line (line == rows) or one more unit on a line.
using Change = std::function<void(ReportList&, QList<QStringList>&, int line)>;

void refillEverything(ReportList& list, QList<QStringList>& lines, int line)
{
    if (line == lines.size())
        lines.append(saleLine(line, 1));
    else
        lines[line] = saleLine(line, lines[line][3].toInt() + 1);
    list.setRows(lines);
    list.scrollToBottom();
}

void changeOneRow(ReportList& list, QList<QStringList>& lines, int line)
{
    if (line == lines.size()) {
        lines.append(saleLine(line, 1));
        list.showRow(list.addRow(lines.last()));
        return;
    }
    lines[line] = saleLine(line, lines[line][3].toInt() + 1);
    list.setRow(line, lines[line]);
    list.showRow(line);
}

double median(std::vector<double> micros)
{
    std::sort(micros.begin(), micros.end());
    return micros[micros.size() / 2];
}

// Microseconds per scan, from the change until it is painted: median of the
// new lines, median of the changed lines.
// Which line a scan after the first 200 changes: any line, or the newest one
// again (the same product scanned several times in a row).
enum class Rescans { AnyLine, NewestLine };

std::pair<double, double> timeScans(const Change& change, Rescans rescans)
{
    ReportList list;
    prepareSaleList(list);
    QList<QStringList> lines;
    std::vector<double> added;
    std::vector<double> changed;
    QElapsedTimer timer;
    for (int scan = 0; scan < SALE_LINES + SALE_CHANGES; ++scan) {
        const int rescanned = rescans == Rescans::AnyLine ? (scan * 7919) % SALE_LINES : SALE_LINES - 1;
        const int line = scan < SALE_LINES ? scan : rescanned;
        timer.start();
        change(list, lines, line);
        QApplication::processEvents();
        (scan < SALE_LINES ? added : changed).push_back(timer.nsecsElapsed() / 1000.0);
    }
    return {median(added), median(changed)};
}

void reportScans(QTextStream& out, const char* what, const std::pair<double, double>& micros)
{
    out << what << ": " << QString::number(micros.first / 1000, 'f', 3) << " ms per new line, "
        << QString::number(micros.second / 1000, 'f', 3) << " ms per changed line (median, painted)\n";
    out.flush();
}

}  // namespace

int main(int argc, char* argv[])
{
    headlessUnlessAsked();
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QElapsedTimer timer;
    timer.start();
    const QList<QStringList> rows = generatedRows();
    out << "building the 100000 x 8 texts (the caller's work): " << timer.elapsed() << " ms\n";
    ReportList list;
    prepare(list);

    timer.start();
    list.setRows(rows);   // the rows are shared, not copied
    qint64 fill = timer.elapsed();
    report(out, "setRows, 100000 x 8", fill, settle(list), list);

    list.clear();
    settle(list);
    timer.start();
    for (const QStringList& row : rows)
        list.addRow(row);
    fill = timer.elapsed();
    report(out, "addRow x 100000", fill, settle(list), list);

    list.clear();
    settle(list);
    timer.start();
    for (const QStringList& row : rows)
        list.addNumberedRow(row.mid(1));
    fill = timer.elapsed();
    report(out, "addNumberedRow x 100000", fill, settle(list), list);

    timer.start();
    list.selectRow(ROWS - 1);
    for (int row = 0; row < ROWS; ++row)
        list.setText(row, 3, QStringLiteral("changed"));
    fill = timer.elapsed();
    report(out, "selectRow(last) + setText x 100000", fill, settle(list), list);

    timer.start();
    list.clear();
    fill = timer.elapsed();
    report(out, "clear", fill, settle(list), list);

    out << "\nSale list, " << SALE_LINES << " lines rung up, then " << SALE_CHANGES << " changes to them:\n";
    out << "changes to any line (most out of view):\n";
    reportScans(out, "  refill the whole list, scroll to the end", timeScans(refillEverything, Rescans::AnyLine));
    reportScans(out, "  addRow or setRow, then showRow", timeScans(changeOneRow, Rescans::AnyLine));
    out << "changes to the newest line (in view):\n";
    reportScans(out, "  refill the whole list, scroll to the end", timeScans(refillEverything, Rescans::NewestLine));
    reportScans(out, "  addRow or setRow, then showRow", timeScans(changeOneRow, Rescans::NewestLine));
    return 0;
}
