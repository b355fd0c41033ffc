#include "catalogue/exportar_excel.h"

#include "common/numbers.h"
#include "common/prompter.h"
#include "common/report_list.h"
#include "common/spreadsheet.h"
#include "store/connection.h"
#include "store/operations.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <functional>

namespace {

struct ColumnLayout {
    const char* letter;
    double width;
    const char* heading;
    bool number;   // written as a number read from the list's text; otherwise as the text
};

// The sale price (F) stays the list's text; quantity, cost and the two totals are numbers.
const ColumnLayout COLUMNS[] = {
    {"A", 5, "ITEM", false},
    {"B", 18, "CÓDIGO PRODUCTO", false},
    {"C", 25, "NOMBRE PRODUCTO", false},
    {"D", 12, "CANTIDAD", true},
    {"E", 16, "PRECIO COSTO", true},
    {"F", 16, "PRECIO VENTA", false},
    {"G", 30, "CATEGORÍA", false},
    {"H", 14, "COSTO TOTAL", true},
    {"I", 14, "VENTA TOTAL", true},
};
constexpr int COLUMN_COUNT = int(std::size(COLUMNS));

const CellFont HEADING_FONT{QColor(0, 0, 255), 10, true};

void Escribir_Encabezados(Spreadsheet& planilha)
{
    for (int column = 1; column <= COLUMN_COUNT; ++column)
        planilha.setColumnWidth(QString::fromLatin1(COLUMNS[column - 1].letter), COLUMNS[column - 1].width);
    for (int column = 1; column <= COLUMN_COUNT; ++column) {
        planilha.setText(1, column, QString::fromUtf8(COLUMNS[column - 1].heading));
        planilha.setHeadingFont(column, HEADING_FONT);
    }
}

void Escribir_Fila(Spreadsheet& planilha, int sheetRow, const QStringList& cells)
{
    for (int column = 1; column <= COLUMN_COUNT; ++column) {
        const QString text = cells.value(column - 1);
        if (!COLUMNS[column - 1].number) {
            planilha.setText(sheetRow, column, text);
            continue;
        }
        try {
            planilha.setNumber(sheetRow, column, A_Numero(text));
        } catch (const ConversionError& error) {
            throw ConversionError(QStringLiteral("Não foi possível exportar o item %1 (coluna %2): %3")
                                      .arg(cells.value(0), QString::fromUtf8(COLUMNS[column - 1].heading),
                                           error.message()));
        }
    }
}

// A listed product's row: the numbers as the list's texts of them read back.
void Escribir_Producto(Spreadsheet& planilha, int item, const ListedProduct& producto)
{
    const int sheetRow = item + 1;
    int column = 1;
    try {
        planilha.setText(sheetRow, column, QString::number(item));
        planilha.setText(sheetRow, ++column, producto.code());
        planilha.setText(sheetRow, ++column, producto.name());
        const double cantidad = producto.quantity();
        planilha.setNumber(sheetRow, ++column, shownNumber(cantidad));
        const double costo = producto.costPrice();
        planilha.setNumber(sheetRow, ++column, shownNumber(costo));
        const double venta = producto.salePrice();
        planilha.setText(sheetRow, ++column, A_Texto(venta));
        planilha.setText(sheetRow, ++column, producto.category());
        planilha.setNumber(sheetRow, ++column, shownNumber(cantidad * costo));
        planilha.setNumber(sheetRow, ++column, shownNumber(cantidad * venta));
    } catch (const ConversionError& error) {
        throw ConversionError(QStringLiteral("Não foi possível exportar o item %1 (coluna %2): %3")
                                  .arg(item)
                                  .arg(QString::fromUtf8(COLUMNS[column - 1].heading), error.message()));
    }
}

// Repaints the bar about a hundred times over the export, not at every row.
void Avanzar(QProgressBar* progreso, int exported, int total)
{
    if (!progreso)
        return;
    progreso->setValue(exported);
    const int step = qMax(1, total / 100);
    if (exported % step == 0 || exported == total)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The workbook's frame around the rows: the bar's range, the headings, then
// the rows as writeRows hands them (each followed by a step of the bar), and
// on any failure one critical message with nothing half-written left open.
bool Exportar(int total, QProgressBar* progreso, Spreadsheet* planilha, Prompter& prompter,
              const std::function<void(const std::function<void(int exported)>& advance)>& writeRows)
{
    try {
        if (!planilha)
            throw SpreadsheetError(QStringLiteral("A exportação para planilha não está disponível."));
        planilha->createWorkbook();
        if (progreso) {
            progreso->setMaximum(qMax(1, total));
            progreso->setValue(0);
        }
        Escribir_Encabezados(*planilha);
        writeRows([&](int exported) { Avanzar(progreso, exported, total); });
        planilha->makeVisible();
    } catch (const std::exception& error) {
        const auto* appError = dynamic_cast<const AppError*>(&error);
        prompter.critical(appError ? appError->message()
                                   : QStringLiteral("Não foi possível exportar o estoque para a planilha."));
        if (planilha)
            planilha->discard();
        if (progreso)
            progreso->setValue(0);
        return false;
    }
    if (progreso)
        progreso->setValue(0);
    return true;
}

}   // namespace

bool Exportar_Excel(const ReportList& lista, QProgressBar* progreso, Spreadsheet* planilha, Prompter& prompter)
{
    const int total = lista.rowCount();
    return Exportar(total, progreso, planilha, prompter, [&](const auto& advance) {
        for (int row = 0; row < total; ++row) {
            Escribir_Fila(*planilha, row + 2, lista.row(row));
            advance(row + 1);
        }
    });
}

bool Exportar_Excel(const QString& folder, const StockListing& listado, int total, QProgressBar* progreso,
                    Spreadsheet* planilha, Prompter& prompter)
{
    return Exportar(total, progreso, planilha, prompter, [&](const auto& advance) {
        Connection conexion(folder);
        int item = 0;
        walkProducts(conexion, *listado.query, listado.parameters, [&](const ListedProduct& producto) {
            Escribir_Producto(*planilha, ++item, producto);
            advance(item);
        });
    });
}
