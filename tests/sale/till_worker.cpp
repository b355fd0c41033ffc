// One till of a shop selling as fast as it can, for the tests of several
// tills on one server:
//   tenduca_till_worker FOLDER SALES SEED [fechar] [pausa=MS]
// records SALES sales of five lines (products "1" to "20", one to three units
// each) as the counter records them: each under an id of its own, kept in the
// till's outbox when the server is away and sent by the till's sender; each
// sale at its own moment, all in the session started at 08/12/2026 08:00:00
// (a run's moments start SEED × 10 000 seconds after it, so that runs never
// share one), MS milliseconds apart with "pausa=MS". It then waits, up to two minutes, until its outbox is empty;
// with "fechar" it then closes the day. SALES 0 sells until it is killed. At
// the end it prints one line per sale, "venda ID TOTAL", one per product it
// sold, "CODE QUANTITY", then "fim".
#include "common/date_text.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "sale/cierre_dia.h"
#include "sale/envio_ventas.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/outbox.h"
#include "support/worker_sale.h"

#include <QCoreApplication>
#include <QMap>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>

namespace {

constexpr int PRODUCTS = 20;
constexpr int LINES = 5;
const QString SESSION = QStringLiteral("08/12/2026 08:00:00");
constexpr int DRAIN_MS = 120'000;

// Waits until the till's sender has emptied its outbox.
bool outboxEmptied(const QString& folder)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < DRAIN_MS) {
        {
            Connection own(folder, Connection::Place::TillFile);
            if (salesWaiting(own) == 0)
                return true;
        }
        QThread::msleep(50);
    }
    return false;
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    const QStringList arguments = app.arguments();
    if (arguments.size() < 4)
        return 2;
    const QString folder = arguments[1];
    const int sales = arguments[2].toInt();
    QRandomGenerator random(arguments[3].toUInt());
    const bool close = arguments.contains(QLatin1String("fechar"));
    int pauseMs = 0;
    for (const QString& argument : arguments.mid(4))
        if (argument.startsWith(QLatin1String("pausa=")))
            pauseMs = argument.mid(6).toInt();

    QMap<int, int> sold;
    QStringList recorded;
    EnvioVentas sender(folder);
    QDateTime moment = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 1)).addSecs(10'000LL * arguments[3].toInt());
    std::puts("pronto");
    std::fflush(stdout);
    try {
        for (int sale = 0; sales == 0 || sale < sales; ++sale) {
            double total = 0;
            const QList<LineaVenta> lines = workerSale(random, LINES, PRODUCTS, total);
            const DatosSesion facts{random.bounded(2) ? QStringLiteral("EFECTIVO") : QStringLiteral("TARJETA"),
                                    A_Texto(total), QStringLiteral("caixa"), SESSION, moment};
            const QString id = newSaleId();
            if (RegistroVenta(folder).registrarOGuardar({lines, facts}, id).guardadaParaServidor)
                sender.despertar();
            recorded.append(QStringLiteral("venda %1 %2").arg(id, A_Texto(total)));
            for (const LineaVenta& line : lines)
                sold[line.codigo.toInt()] += line.cantidad.toInt();
            moment = moment.addSecs(1);
            if (pauseMs > 0)
                QThread::msleep(pauseMs);
        }
        if (!outboxEmptied(folder)) {
            std::fputs("the outbox was not emptied in time\n", stderr);
            return 1;
        }
        if (close)
            Cerrar_Ventas_Del_Dia(folder, SESSION, moment);
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", error.message().toUtf8().constData());
        return 1;
    }
    for (const QString& sale : recorded)
        std::printf("%s\n", sale.toUtf8().constData());
    for (auto product = sold.cbegin(); product != sold.cend(); ++product)
        std::printf("%d %d\n", product.key(), product.value());
    std::puts("fim");
    Connection::releaseAll();
    return 0;
}
