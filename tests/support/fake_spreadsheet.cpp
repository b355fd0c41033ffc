#include "support/fake_spreadsheet.h"

void FakeSpreadsheet::record(const QString& call)
{
    calls.append(call);
    if (!failAt.isEmpty() && call.startsWith(failAt))
        throw SpreadsheetError(failure);
    if (afterCall)
        afterCall();
}

void FakeSpreadsheet::createWorkbook()
{
    cells.clear();
    visible = false;
    record(QStringLiteral("create"));
}

void FakeSpreadsheet::setColumnWidth(const QString& column, double width)
{
    record(QStringLiteral("width %1 %2").arg(column).arg(width));
}

void FakeSpreadsheet::setText(int row, int column, const QString& text)
{
    cells.insert({row, column}, text);
    record(QStringLiteral("text %1 %2").arg(row).arg(column));
}

void FakeSpreadsheet::setNumber(int row, int column, double value)
{
    cells.insert({row, column}, value);
    record(QStringLiteral("number %1 %2").arg(row).arg(column));
}

void FakeSpreadsheet::setHeadingFont(int column, const CellFont& font)
{
    record(QStringLiteral("font %1 %2 %3%4")
               .arg(column)
               .arg(font.color.name())
               .arg(font.points)
               .arg(font.bold ? QStringLiteral(" bold") : QString()));
}

void FakeSpreadsheet::makeVisible()
{
    record(QStringLiteral("visible"));
    visible = true;
}

void FakeSpreadsheet::discard()
{
    calls.append(QStringLiteral("discard"));
}

int FakeSpreadsheet::rowCount() const
{
    int rows = 0;
    for (auto it = cells.keyBegin(); it != cells.keyEnd(); ++it)
        rows = qMax(rows, it->first);
    return rows;
}
