#pragma once

#include <QString>
#include <QVariantList>

class Prompter;
class QProgressBar;
class ReportList;
class Spreadsheet;
struct QueryText;

// Hands the listed stock to a new workbook: the column widths, the heading
// row in blue bold, one row per list entry in list order, then shows it to
// the user. The progress bar, when given, follows the rows and is back at 0
// at the end, also after a failure. A failure shows one critical message and
// gives false; nothing half-written is left open.
bool Exportar_Excel(const ReportList& lista, QProgressBar* progreso, Spreadsheet* planilha, Prompter& prompter);

// A listing of the stock window as the store gives it: the products of a
// query (the catalogue's fields, in the listing's order) and its parameters.
struct StockListing {
    const QueryText* query = nullptr;
    QVariantList parameters;
    // The same listing's row ids alone, in its order, where they are read
    // from an index alone: the rows are then read in the table's order.
    const QueryText* ids = nullptr;
};

// The same workbook, each product's row written as the store hands it over
// in one walk of the listing, numbered from 1: nothing of the listing is held
// as texts. The bar's range is the listing's count as the window knows it.
bool Exportar_Excel(const QString& folder, const StockListing& listado, int total, QProgressBar* progreso,
                    Spreadsheet* planilha, Prompter& prompter);
