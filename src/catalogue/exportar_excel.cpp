#include "catalogue/exportar_excel.h"

#include "common/numbers.h"
#include "common/prompter.h"
#include "common/report_list.h"
#include "common/spreadsheet.h"
#include "store/connection.h"
#include "store/operations.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

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

// Writes the products into the sheet on a thread of its own while the store
// reads the next share of the listing: on a large catalogue each takes
// several seconds, and a shop's computer has more than one core. One share
// is written while the next is read; the bar follows the rows written. A
// writer that failed stops, and its failure is thrown to the reader when it
// hands the next share over or waits for the end.
class EscritorEnHilo {
public:
    EscritorEnHilo(Spreadsheet& planilha, std::function<void(int escritas)> avance)
        : planilha_(planilha), avance_(std::move(avance)), hilo_([this] { Escribir(); })
    {
    }

    ~EscritorEnHilo()
    {
        {
            const std::lock_guard lock(mutex_);
            abandonado_ = true;
        }
        cambio_.notify_all();
        hilo_.join();
    }

    // Returns once the writer took the share.
    void Entregar(ProductShare parte)
    {
        std::unique_lock lock(mutex_);
        Esperar(lock, [this] { return !enEspera_ || falla_; });
        enEspera_ = std::move(parte);
        cambio_.notify_all();
        Esperar(lock, [this] { return !enEspera_ || falla_; });
    }

    // Returns once every share handed over is in the sheet.
    void Terminar()
    {
        std::unique_lock lock(mutex_);
        Esperar(lock, [this] { return (!enEspera_ && !escribiendo_) || falla_; });
    }

private:
    // Shows the rows written while it waits, and throws the writer's failure.
    template <typename Listo>
    void Esperar(std::unique_lock<std::mutex>& lock, Listo listo)
    {
        while (!cambio_.wait_for(lock, std::chrono::milliseconds(50), listo)) {
            const int escritas = escritas_;
            lock.unlock();
            avance_(escritas);
            lock.lock();
        }
        if (falla_)
            std::rethrow_exception(falla_);
    }

    void Escribir()
    {
        for (;;) {
            ProductShare parte;
            {
                std::unique_lock lock(mutex_);
                escribiendo_ = false;
                cambio_.notify_all();
                cambio_.wait(lock, [this] { return enEspera_ || abandonado_; });
                if (abandonado_)
                    return;
                parte = std::move(*enEspera_);
                enEspera_.reset();
                escribiendo_ = true;
                cambio_.notify_all();
            }
            try {
                parte.forEach([this](const ListedProduct& producto) {
                    Escribir_Producto(planilha_, escritas_ + 1, producto);
                    ++escritas_;
                });
            } catch (...) {
                const std::lock_guard lock(mutex_);
                falla_ = std::current_exception();
                escribiendo_ = false;
                cambio_.notify_all();
                return;
            }
        }
    }

    Spreadsheet& planilha_;
    const std::function<void(int escritas)> avance_;
    std::mutex mutex_;
    std::condition_variable cambio_;
    std::optional<ProductShare> enEspera_;
    bool escribiendo_ = false;
    bool abandonado_ = false;
    std::atomic<int> escritas_ = 0;
    std::exception_ptr falla_;
    std::thread hilo_;   // last: it starts once everything it uses is made
};

// Repaints the bar about a hundred times over the export, not at every row.
void Avanzar(QProgressBar* progreso, int exported, int total)
{
    if (!progreso)
        return;
    const int before = progreso->value();
    progreso->setValue(exported);
    const int step = qMax(1, total / 100);
    if (exported / step != before / step || exported == total)
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
        EscritorEnHilo escritor(*planilha, advance);
        walkProductShares(conexion, listado.ids, *listado.query, listado.parameters,
                          [&](ProductShare&& parte) { escritor.Entregar(std::move(parte)); });
        escritor.Terminar();
        advance(total);
    });
}
