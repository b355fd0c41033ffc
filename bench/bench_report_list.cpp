// Fills a report list with 100 000 rows of 8 columns, at once and row by row,
// and prints the time each takes, including the first layout and paint of
// the shown list. Runs headless (QT_QPA_PLATFORM=offscreen unless set).

#include "common/report_list.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

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

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    return 0;
}
