// One till of a shop selling as fast as it can, for the tests of several
// tills on one server:
//   tenduca_till_worker FOLDER SALES SEED [fechar]
// records SALES sales of five lines (products "1" to "20", one to three units
// each) through the program's recording, each sale at its own moment, all in
// the session started at 08/12/2026 08:00:00 (a run's moments start SEED × 10 000
// seconds after it, so that runs never share one); with "fechar" it then closes the
// day. SALES 0 sells until it is killed. At the end it prints one line per
// product it sold, "CODE QUANTITY", then "fim".
#include "common/date_text.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "sale/cierre_dia.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "support/worker_sale.h"

#include <QCoreApplication>
#include <QMap>
#include <QRandomGenerator>

#include <cstdio>

namespace {

constexpr int PRODUCTS = 20;
constexpr int LINES = 5;
const QString SESSION = QStringLiteral("08/12/2026 08:00:00");


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
    const bool close = arguments.value(4) == QLatin1String("fechar");

    QMap<int, int> sold;
    QDateTime moment = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 1)).addSecs(10'000LL * arguments[3].toInt());
    std::puts("pronto");
    std::fflush(stdout);
    try {
        for (int sale = 0; sales == 0 || sale < sales; ++sale) {
            double total = 0;
            const QList<LineaVenta> lines = workerSale(random, LINES, PRODUCTS, total);
            const DatosSesion facts{random.bounded(2) ? QStringLiteral("EFECTIVO") : QStringLiteral("TARJETA"),
                                    A_Texto(total), QStringLiteral("caixa"), SESSION, moment};
            RegistroVenta(folder).registrar(lines, facts);
            for (const LineaVenta& line : lines)
                sold[line.codigo.toInt()] += line.cantidad.toInt();
            moment = moment.addSecs(1);
        }
        if (close)
            Cerrar_Ventas_Del_Dia(folder, SESSION, moment);
    } catch (const AppError& error) {
        std::fprintf(stderr, "%s\n", error.message().toUtf8().constData());
        return 1;
    }
    for (auto product = sold.cbegin(); product != sold.cend(); ++product)
        std::printf("%d %d\n", product.key(), product.value());
    std::puts("fim");
    Connection::releaseAll();
    return 0;
}
