// Measures paying a sale at the counter on a large database:
//   bench_registro_venta [FOLDER]
// 200 paid sales of 20 lines on 100 000 products with 5 000 lines of the
// open session already in Temporal: from the click on "DINHEIRO" until the
// sale window is cleared for the next customer (receipt of 80 mm laid out on
// a printer that keeps nothing), beside the same rows written by raw prepared
// statements in one transaction, and beside the recording alone (no
// window, no receipt). Without FOLDER a database is generated in a
// temporary folder; a FOLDER without bd1 gets one kept for later runs (the
// open session is laid out afresh on every run).

#include "common/clock.h"
#include "common/date_text.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/receipt_printer.h"
#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/counter.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>

namespace {

constexpr int SALES = 200;
constexpr int LINES_PER_SALE = 20;
constexpr int OPEN_SESSION_LINES = 5000;
constexpr std::uint64_t SAMPLE_SEED = 23;
const QString SESSION_START = QStringLiteral("08/12/2026 7:00:00");
const QByteArray SESSION_START_STORED = "2026-12-08 07:00:00";

QTextStream out(stdout);


// Lays the receipt out and keeps nothing.
class DiscardingPrinter : public ReceiptPrinter {
public:
    void startDocument(int) override {}
    void setFontSize(int) override {}
    void setBold(bool) override {}
    void setPosition(double) override {}
    void print(const QString&, Then then) override { lines += then == Then::EndLine; }
    void printQrCode(const QByteArray&) override { ++lines; }
    void endDocument() override { ++documents; }
    int lines = 0;
    int documents = 0;
};


// The open session as the benchmark wants it: 5 000 lines and their takings.
void layOutOpenSession(const QString& path, const QList<ProductoLeido>& products)
{
    RawConnection raw(path, derivedKeyFor(path));
    raw.execute("BEGIN");
    raw.execute("delete from Temporal");
    raw.execute("delete from TipoPago where FechaInicio = '2026-12-08 07:00:00'");
    raw.execute("update Usuarios set PermisoCruce = 80 where NombreUsuario = 'admin'");
    RawStatement insert(raw, "insert into Temporal (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                             "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta, ValorUnitario) "
                             "values (?, ?, 1, 1, 2, 'EFECTIVO', 'admin', 'Geral', ?, ?, 2)");
    for (int i = 0; i < OPEN_SESSION_LINES; ++i) {
        const ProductoLeido& product = products.at(i % products.size());
        insert.bindText(1, product.codigo.toUtf8()).bindText(2, product.nombre.toUtf8());
        insert.bindText(3, SESSION_START_STORED).bindText(4, "2026-12-08 07:30:00");
        insert.run();
    }
    raw.execute("insert into TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre) "
                "values ('2026-12-08 07:00:00', 10000, 0, 0, '2026-12-08 07:30:00')");
    raw.execute("COMMIT");
}

// The rows one paid sale writes, by statements prepared once on an open connection.
class RawSale {
public:
    explicit RawSale(const QString& path)
        : raw_(path, derivedKeyFor(path)),
          stock_(raw_, "update Productos set Cantidad = Cantidad - ? where CodigoProducto = ?"),
          line_(raw_, "insert into Temporal (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                      "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta, ValorUnitario) "
                      "values (?, ?, ?, ?, ?, 'EFECTIVO', 'admin', ?, ?, ?, ?)"),
          start_(raw_, "select FechaInicio from Temporal limit 1"),
          takings_(raw_, "update TipoPago set efectivo = efectivo + ?, FechaCierre = ? where FechaInicio = ?")
    {
    }

    void record(const QList<ProductoLeido>& products, const QByteArray& moment)
    {
        raw_.execute("BEGIN IMMEDIATE");
        double total = 0;
        for (const ProductoLeido& product : products) {
            const double price = product.precioVenta.toDouble();
            stock_.bindNumber(1, 1).bindText(2, product.codigo.toUtf8()).run();
            line_.bindText(1, product.codigo.toUtf8()).bindText(2, product.nombre.toUtf8()).bindNumber(3, 1);
            line_.bindNumber(4, 1).bindNumber(5, price).bindText(6, product.categoria.toUtf8());
            line_.bindText(7, SESSION_START_STORED).bindText(8, moment).bindNumber(9, price).run();
            total += price;
        }
        start_.step();
        const QByteArray start = start_.text(0).toUtf8();
        start_.reset();
        takings_.bindNumber(1, total).bindText(2, moment).bindText(3, start).run();
        raw_.execute("COMMIT");
    }

private:
    RawConnection raw_;
    RawStatement stock_;
    RawStatement line_;
    RawStatement start_;
    RawStatement takings_;
};

}   // namespace

int main(int argc, char* argv[])
{
    headlessUnlessAsked();
    QApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    try {
        std::unique_ptr<QTemporaryDir> temporary;
        const QString folder = catalogueDatabaseFolder(app.arguments(), temporary);
        const QString path = databasePath(folder);
        const QList<ProductoLeido> products = sampleProducts(path, LINES_PER_SALE * 10, SAMPLE_SEED);
        layOutOpenSession(path, products);

        CountingPrompter prompter;
        prompter.answer = true;   // the open session goes on at the load, as a cashier continues it
        SteppingClock clock;
        FixedScreen screen;
        DiscardingPrinter printer;
        Platform platform{prompter, clock, screen, folder, &printer};
        Form1 form(platform);
        form.show();
        form.Text4 = QStringLiteral("admin");
        form.Text3 = SESSION_START;
        QCoreApplication::processEvents();

        RawSale raw(path);
        std::vector<double> paid;
        std::vector<double> rawWrites;
        std::vector<double> recordingOnly;
        QElapsedTimer timer;
        for (int sale = 0; sale < SALES; ++sale) {
            const int first = (sale * LINES_PER_SALE) % static_cast<int>(products.size());
            const QList<ProductoLeido> lines = products.mid(first, LINES_PER_SALE);
            paid.push_back(timeCashPayment(form, lines));

            timer.start();
            raw.record(lines, toStoredDateTime(clock.now()).toUtf8());
            rawWrites.push_back(timer.nsecsElapsed() / 1000.0);

            QList<LineaVenta> saleLines;
            for (const ProductoLeido& product : lines)
                saleLines.append(nuevaLinea(product, QStringLiteral("1"), static_cast<int>(saleLines.size()) + 1));
            const DatosSesion session{QStringLiteral("EFECTIVO"), QStringLiteral("10"), QStringLiteral("admin"),
                                      SESSION_START, clock.now()};
            timer.start();
            RegistroVenta(folder).registrar(saleLines, session);
            recordingOnly.push_back(timer.nsecsElapsed() / 1000.0);
        }

        out << QStringLiteral("Database %1: %2 products sampled from the catalogue, %3 open-session lines before\n")
                   .arg(path)
                   .arg(products.size())
                   .arg(OPEN_SESSION_LINES);
        out << QStringLiteral("%1 cash sales of %2 lines, each recorded by the program and by raw statements; "
                              "%3 receipts of %4 lines laid out\n\n")
                   .arg(SALES)
                   .arg(LINES_PER_SALE)
                   .arg(printer.documents)
                   .arg(printer.documents ? printer.lines / printer.documents : 0);
        printTimingHeading(out);
        printTimingRow(out, QStringLiteral("DINHEIRO until the window is cleared"), paid);
        printTimingRow(out, QStringLiteral("the recording alone, without the windows"), recordingOnly);
        printTimingRow(out, QStringLiteral("raw statements, one transaction"), rawWrites);
        out << QString("ratio program / raw (median)").leftJustified(46)
            << QString::number(median(paid) / median(rawWrites), 'f', 2).rightJustified(10) << '\n';
        out << QString("ratio program / raw (p95)").leftJustified(46)
            << QString::number(percentile95(paid) / percentile95(rawWrites), 'f', 2).rightJustified(10) << '\n';
        if (prompter.count > 1)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_registro_venta: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
