#pragma once

#include "common/report_rows.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QTreeView>

#include <exception>
#include <memory>

class QTimer;
class ReportListModel;

// Black text on the light yellow (&H80FFFF) of the program's lists.
inline const QColor LIST_TEXT_COLOR(0, 0, 0);
inline const QColor LIST_BACKGROUND_COLOR(255, 255, 128);

struct ReportColumn {
    QString title;
    int widthTwips = 0;   // 0 hides the column
    Qt::Alignment alignment = Qt::AlignLeft;
    // Where a text too wide for the column is cut. A code is cut on the left,
    // so that its last digits, which tell products apart, stay in view.
    Qt::TextElideMode elide = Qt::ElideRight;
};

// A report-style list: column headers, rows of texts whose first column holds
// the running number. A light model behind a view, so that large listings
// fill quickly: the rows are texts the window gives, or a source whose rows'
// texts are made only for the rows in view and the cells a window reads
// (setSource). A title or a text wider than its column ends in "…" (a
// text of a column that elides on the left starts with it). A control
// character in a text (a line break, a tab) shows as a space.
//
// A change to one row (addRow, setRow, setText) repaints that row only; a
// window that keeps the newest or changed line in view follows it with
// showRow(row).
class ReportList : public QTreeView {
    Q_OBJECT
public:
    explicit ReportList(QWidget* parent = nullptr);
    ~ReportList() override;

    void setColumns(const QList<ReportColumn>& columns);
    int columnCount() const;
    QString columnTitle(int column) const;
    // The title as the header paints it: elided on the right to its column's width.
    QString shownTitle(int column) const;

    // Bold font of the given size in points, for the rows and the titles.
    void setFontSize(int points);
    // A smaller bold font for the titles alone, where the rows' font would not let them fit their columns.
    void setTitleFontSize(int points);
    void setColors(const QColor& text, const QColor& background);
    QColor textColor() const;
    QColor backgroundColor() const;

    // Every row: a source still reading is read to its end first.
    int rowCount() const;
    bool isEmpty() const;
    void clear();
    // Appends a row as given (first cell included); returns its index.
    int addRow(const QStringList& cells);
    // Appends a row whose first cell is its 1-based position.
    int addNumberedRow(const QStringList& cellsAfterNumber);
    // Replaces the texts of one row (first cell included).
    void setRow(int row, const QStringList& cells);
    // Replaces every row at once.
    void setRows(QList<QStringList> rows);
    void removeRow(int row);
    // Shows a source's rows as a fresh listing: nothing selected, the first
    // rows in view (the source shown again, after its rows changed in place). A source read in steps reads the next one when the list
    // is scrolled to its last row read or a window asks for a row further
    // on, and the others one at a time while the list is idle. Changing
    // single rows afterwards (addRow, setRow, ...) turns the rows read into
    // texts first.
    void setSource(std::shared_ptr<ReportRows> rows);

    QString text(int row, int column) const;
    // The text as the cell paints it: control characters as spaces, elided to the column's width.
    QString shownText(int row, int column) const;
    void setText(int row, int column, const QString& text);
    QStringList row(int row) const;

    int selectedRow() const;   // -1 when none
    void selectRow(int row);
    // Scrolls only as far as needed for the row to be wholly in view.
    void showRow(int row);

    // A list that takes no focus is never focused by a click, the wheel or
    // Tab, so the box being typed into keeps the keyboard. Lists take focus by default.
    void setTakesFocus(bool takesFocus);
    bool takesFocus() const;

signals:
    // A step of a source read while the list was idle or scrolled failed:
    // the rows read stay, no further step is read, and the message says so.
    void stepFailed(const QString& message);

private:
    void applyPalette();
    int firstShownColumn() const;
    // Reads the source's steps until it holds the row (or has no more).
    void readUpTo(int row) const;
    void readStepInBackground();
    void reportFailedStep(const std::exception& error);

    ReportListModel* model_;
    QTimer* stepsInBackground_;
    QColor textColor_ = LIST_TEXT_COLOR;
    QColor backgroundColor_ = LIST_BACKGROUND_COLOR;
    Qt::FocusPolicy focusPolicyTaking_;
};
