// Records sales and closes days on a bd1 for ever, as fast as it can, so that
// the crash test can kill it at any moment:
//   tenduca_crash_worker FOLDER SEED
// Every sale is marked so that a check can tell a whole sale from a partial
// one: its lines carry the number of lines of the sale as the user's name
// ("n3"), and each sale has a moment of its own, one second after the last
// one stored. A session left open by a kill is continued, as the cashier
// would at the recovery question.
#include "common/date_text.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "sale/cierre_dia.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/statement.h"
#include "support/worker_sale.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>

namespace {

constexpr int PRODUCTS = 8;

QString latestStored(Connection& connection, const char* sql)
{
    Statement select(connection, sql);
    return select.next() ? select.text(0) : QString();
}

// The moment after everything stored, and the open session's start if one is open.
QDateTime nextMoment(const QString& folder, QString& openSession)
{
    Connection connection(folder);
    openSession.clear();
    if (const auto start = fromStoredDateTime(latestStored(connection, "SELECT FechaInicio FROM Temporal LIMIT 1")))
        openSession = formatDateTime(*start);
    QDateTime latest(QDate(2025, 1, 1), QTime(8, 0, 0));
    for (const char* sql : {"SELECT max(FechaVenta) FROM Temporal", "SELECT max(FechaVenta) FROM Recaudacion",
                            "SELECT max(FechaInicio) FROM TipoPago", "SELECT max(FechaCierre) FROM TipoPago"}) {
        if (const auto moment = fromStoredDateTime(latestStored(connection, sql)); moment && *moment > latest)
            latest = *moment;
    }
    return latest.addSecs(1);
}


}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3)
        return 2;
    const QString folder = arguments[1];
    QRandomGenerator random(arguments[2].toUInt());

    QString session;
    QDateTime moment = nextMoment(folder, session);
    if (session.isEmpty()) {
        session = formatDateTime(moment);
        moment = moment.addSecs(1);
    }
    std::puts("ready");
    std::fflush(stdout);
    for (;;) {
        const int lines = random.bounded(1, 5);
        double total = 0;
        const QList<LineaVenta> sale = workerSale(random, lines, PRODUCTS, total);
        const DatosSesion facts{random.bounded(2) ? QStringLiteral("EFECTIVO") : QStringLiteral("TARJETA"),
                                A_Texto(total), QStringLiteral("n%1").arg(lines), session, moment};
        session = RegistroVenta(folder).registrar(sale, facts);
        moment = moment.addSecs(1);
        if (random.bounded(6) == 0) {
            Cerrar_Ventas_Del_Dia(folder, session, moment);
            moment = moment.addSecs(1);
            session = formatDateTime(moment);
            moment = moment.addSecs(1);
        }
    }
}
