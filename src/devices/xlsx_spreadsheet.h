#pragma once

#include "common/clock.h"
#include "common/spreadsheet.h"

#include <QHash>
#include <QString>
#include <QVariant>
#include <functional>

struct lxw_workbook;
struct lxw_worksheet;

// Writes the workbook as a new .xlsx file, row after row (a row above the
// one being written is refused), in a folder (by default the user's
// documents), named after the moment of the export so that nothing earlier
// is overwritten, and opens it with the desktop's spreadsheet program.
class XlsxSpreadsheet : public Spreadsheet {
public:
    // Opens a written file for the user; false when no program could open it.
    using Opener = std::function<bool(const QString& path)>;

    explicit XlsxSpreadsheet(const Clock& clock, QString folder = documentsFolder(), Opener opener = desktopOpener());
    ~XlsxSpreadsheet() override;

    void createWorkbook() override;
    void setColumnWidth(const QString& column, double width) override;
    void setText(int row, int column, const QString& text) override;
    void setNumber(int row, int column, double value) override;
    void setHeadingFont(int column, const CellFont& font) override;
    void makeVisible() override;
    void discard() override;

    // The file of the last workbook created.
    QString filePath() const { return path_; }

    static QString documentsFolder();
    // Opens the file with the desktop's spreadsheet program through the
    // desktop's launcher. The launcher reports success even when no program
    // is set up and nothing opens, so the program is looked up first.
    static Opener desktopOpener();
    // The desktop entry of the program the desktop opens a workbook with, as
    // its own launcher finds it; empty when none is set up or its entry is gone.
    static QString desktopSpreadsheetProgram();

private:
    lxw_worksheet* sheet() const;
    void check(int result, const QString& doing) const;
    void checkCell(int result, int row, int column) const;
    void checkOrder(int row);
    QString fileName() const;

    const Clock& clock_;
    QString folder_;
    Opener opener_;
    QString path_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* worksheet_ = nullptr;
    int currentRow_ = 1;
    QHash<int, QVariant> heading_;   // the heading row's values by column, to re-write them with a font
};
