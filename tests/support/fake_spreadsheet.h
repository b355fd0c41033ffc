#pragma once

#include "common/spreadsheet.h"

#include <QMap>
#include <QPair>
#include <QStringList>
#include <QVariant>
#include <functional>

// Records every call and every cell; can be told to fail at a given call.
class FakeSpreadsheet : public Spreadsheet {
public:
    void createWorkbook() override;
    void setColumnWidth(const QString& column, double width) override;
    void setText(int row, int column, const QString& text) override;
    void setNumber(int row, int column, double value) override;
    void setHeadingFont(int column, const CellFont& font) override;
    void makeVisible() override;
    void discard() override;

    // Cell values: a QString for text, a double for a number.
    QVariant cell(int row, int column) const { return cells.value({row, column}); }
    int rowCount() const;

    QStringList calls;   // "create", "width A 5", "font 3 #0000ff 10 bold", "visible", "discard"
    QMap<QPair<int, int>, QVariant> cells;
    bool visible = false;
    // Throws a SpreadsheetError with this message at the call whose record starts with failAt.
    QString failAt;
    QString failure = QStringLiteral("falha simulada da planilha");
    // Runs after each recorded call (for watching a progress bar).
    std::function<void()> afterCall;

private:
    void record(const QString& call);
};
