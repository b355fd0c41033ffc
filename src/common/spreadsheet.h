#pragma once

#include "common/errors.h"

#include <QColor>
#include <QString>

// A failure of the spreadsheet: the message says what went wrong, in words
// for the shop owner.
class SpreadsheetError : public AppError {
public:
    using AppError::AppError;
};

struct CellFont {
    QColor color;
    int points = 10;
    bool bold = false;
};

// A new workbook of one sheet, filled cell by cell and then handed to the
// user. Rows and columns count from 1; column widths are in characters.
// Every operation may throw SpreadsheetError.
class Spreadsheet {
public:
    virtual ~Spreadsheet() = default;

    // Starts a new, empty workbook; any earlier one is discarded.
    virtual void createWorkbook() = 0;
    // Width of a column given by its letter ("A", "B", ...).
    virtual void setColumnWidth(const QString& column, double width) = 0;
    virtual void setText(int row, int column, const QString& text) = 0;
    virtual void setNumber(int row, int column, double value) = 0;
    // Font of a cell of the heading row (row 1) already written.
    virtual void setHeadingFont(int column, const CellFont& font) = 0;
    // Hands the finished workbook to the user.
    virtual void makeVisible() = 0;
    // Drops a workbook that will not be finished. Never throws.
    virtual void discard() = 0;
};
