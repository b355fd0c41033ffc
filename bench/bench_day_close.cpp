// Measures closing the day on a large archive:
//   bench_day_close [FOLDER]
// A session of 5 000 open sale lines is closed 20 times on a database that
// already holds 1 000 000 archived lines: the program's close (one
// transaction through the store) beside the same rows moved by raw
// statements in one transaction. The open lines are written again, untimed,
// before each close. Without FOLDER a database is generated in a temporary
// folder; a FOLDER without bd1 gets one kept for later runs.

#include "common/number_settings.h"
#include "sale/cierre_dia.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/raw_sqlite.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int OPEN_LINES = 5000;
constexpr int CLOSES = 20;
const QString SESSION_START = QStringLiteral("08/12/2026 7:30:00");
constexpr char SESSION_STORED[] = "2026-12-08 07:30:00";

QTextStream out(stdout);

void openSession(const RawConnection& connection)
{
    RawConnection& raw = const_cast<RawConnection&>(connection);
    raw.execute("BEGIN");
    RawStatement line(connection,
                      "INSERT INTO Temporal (CodigoProducto, NombreProducto, Categoria, Cantidad, ValorUnitario, "
                      "TotalCosto, TotalVenta, TipoPago, NombreUsuario, FechaInicio, FechaVenta) "
                      "VALUES (?, ?, 'Mercearia', ?, 4.5, ?, ?, ?, 'ana', ?, ?)");
    for (int i = 0; i < OPEN_LINES; ++i) {
        const double quantity = 1 + i % 3;
        line.bindText(1, QByteArray::number(7891000000000LL + i))
            .bindText(2, "Produto " + QByteArray::number(i))
            .bindNumber(3, quantity)
            .bindNumber(4, quantity * 3)
            .bindNumber(5, quantity * 4.5)
            .bindText(6, i % 2 ? "EFECTIVO" : "TARJETA")
            .bindText(7, SESSION_STORED)
            .bindText(8, QByteArray("2026-12-08 ") + QByteArray::number(10 + i / 1000) + ":00:00");
        line.run();
    }
    raw.execute("INSERT INTO TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre) "
                "VALUES ('2026-12-08 07:30:00', 1, 1, 0, '2026-12-08 14:00:00')");
    raw.execute("COMMIT");
}

void rawClose(RawConnection& connection)
{
    connection.execute("BEGIN IMMEDIATE");
    connection.execute("INSERT INTO Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                       "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta) SELECT CodigoProducto, "
                       "NombreProducto, Cantidad, TotalCosto, TotalVenta, TipoPago, NombreUsuario, Categoria, "
                       "FechaInicio, FechaVenta FROM Temporal ORDER BY rowid");
    connection.execute("UPDATE TipoPago SET FechaCierre = '2026-12-08 20:00:00' "
                       "WHERE FechaInicio = '2026-12-08 07:30:00'");
    connection.execute("DELETE FROM Temporal");
    connection.execute("COMMIT");
}

// The archive grows by every close; the measured closes remove what they added.
void forgetClosedSession(RawConnection& connection)
{
    connection.execute("DELETE FROM Recaudacion WHERE FechaInicio = '2026-12-08 07:30:00'");
    connection.execute("DELETE FROM TipoPago WHERE FechaInicio = '2026-12-08 07:30:00'");
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    std::unique_ptr<QTemporaryDir> temporary;
    const QString folder = largeDatabaseFolder(app.arguments(), temporary);
    RawConnection raw(databasePath(folder), derivedKeyFor(databasePath(folder)));

    std::vector<double> store;
    std::vector<double> engine;
    for (int i = 0; i < CLOSES; ++i) {
        openSession(raw);
        QElapsedTimer timer;
        timer.start();
        Cerrar_Ventas_Del_Dia(folder, SESSION_START, QDateTime(QDate(2026, 12, 8), QTime(20, 0, 0)));
        store.push_back(timer.nsecsElapsed() / 1e6);
        forgetClosedSession(raw);

        openSession(raw);
        timer.restart();
        rawClose(raw);
        engine.push_back(timer.nsecsElapsed() / 1e6);
        forgetClosedSession(raw);
    }
    out << "Closing a day of " << OPEN_LINES << " open lines, " << CLOSES << " times (ms):\n";
    out << "  store: median " << median(store) << ", p95 " << percentile95(store) << "\n";
    out << "  raw:   median " << median(engine) << ", p95 " << percentile95(engine) << "\n";
    out << "  ratio store / raw: " << median(store) / median(engine) << "\n";
    return 0;
}
