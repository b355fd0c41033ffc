#include "store/connection.h"
#include "store/statement.h"
#include "support/test_database.h"


#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {

constexpr int KILLS = 200;
constexpr qint64 TIME_LIMIT_MS = 240'000;
constexpr double STARTING_STOCK = 1'000'000;

// What must hold whenever the program stops, however it stops.
QString brokenInvariant(const QString& folder)
{
    Connection connection(folder);
    if (rowsOf(connection, "PRAGMA integrity_check") != QList<QStringList>{{"ok"}})
        return "integrity check failed";
    const char* allLines = "SELECT FechaInicio, FechaVenta, NombreUsuario, CodigoProducto, Cantidad, TotalVenta, "
                           "TipoPago, 'T' FROM Temporal UNION ALL SELECT FechaInicio, FechaVenta, NombreUsuario, "
                           "CodigoProducto, Cantidad, TotalVenta, TipoPago, 'R' FROM Recaudacion";
    QHash<QString, int> linesOfSale;
    QHash<QString, QString> wantedOfSale;
    QHash<QString, QSet<QString>> placesOfSession;
    QHash<QString, double> soldOfProduct;
    QHash<QString, double> takenOfSession;
    for (const QStringList& line : rowsOf(connection, allLines)) {
        ++linesOfSale[line[1]];
        wantedOfSale[line[1]] = line[2].mid(1);
        placesOfSession[line[0]].insert(line[7]);
        soldOfProduct[line[3]] += line[4].toDouble();
        takenOfSession[line[0]] += line[5].toDouble();
    }
    for (auto sale = linesOfSale.cbegin(); sale != linesOfSale.cend(); ++sale) {
        if (QString::number(sale.value()) != wantedOfSale.value(sale.key()))
            return QString("sale %1 has %2 of its %3 lines").arg(sale.key()).arg(sale.value()).arg(wantedOfSale[sale.key()]);
    }
    for (auto session = placesOfSession.cbegin(); session != placesOfSession.cend(); ++session) {
        if (session.value().size() > 1)
            return QString("session %1 is both open and archived").arg(session.key());
    }
    for (const QStringList& product : rowsOf(connection, "SELECT CodigoProducto, Cantidad FROM Productos")) {
        if (qAbs(product[1].toDouble() + soldOfProduct.value(product[0]) - STARTING_STOCK) > 1e-6)
            return QString("stock of %1 is %2 after selling %3").arg(product[0], product[1]).arg(soldOfProduct[product[0]]);
    }
    QSet<QString> sessionsWithTakings;
    for (const QStringList& takings : rowsOf(connection, "SELECT FechaInicio, efectivo + tarjeta FROM TipoPago")) {
        if (sessionsWithTakings.contains(takings[0]))
            return QString("two takings rows for session %1").arg(takings[0]);
        sessionsWithTakings.insert(takings[0]);
        if (qAbs(takings[1].toDouble() - takenOfSession.value(takings[0])) > 1e-6)
            return QString("takings of %1 are %2, its lines %3").arg(takings[0], takings[1]).arg(takenOfSession[takings[0]]);
    }
    for (auto session = takenOfSession.cbegin(); session != takenOfSession.cend(); ++session) {
        if (!sessionsWithTakings.contains(session.key()))
            return QString("session %1 has lines but no takings").arg(session.key());
    }
    return {};
}

}   // namespace

class CrashTest : public QObject {
    Q_OBJECT

private slots:
    // The program killed at any moment while it records sales and closes days
    // leaves every sale and every close whole or absent, never half-stored.
    void killedAtAnyMomentNothingIsHalfStored()
    {
        QList<NewProduct> products;
        for (int code = 1; code <= 8; ++code)
            products.append(product(QString::number(code), QString("Produto %1").arg(code), code * 1.25,
                                    STARTING_STOCK, 0, code * 0.5, "Teste"));
        TestDatabase database({products});
        QRandomGenerator random(20261208);
        QElapsedTimer elapsed;
        elapsed.start();
        int kills = 0;
        while (kills < KILLS && elapsed.elapsed() < TIME_LIMIT_MS) {
            QProcess worker;
            worker.start(TENDUCA_CRASH_WORKER, {database.folder(), QString::number(random.generate())});
            QVERIFY2(worker.waitForStarted(10'000), qPrintable(worker.errorString()));
            QVERIFY2(worker.waitForReadyRead(10'000), "the worker never got ready");
            QTest::qSleep(random.bounded(1, 60));
            QVERIFY2(worker.state() == QProcess::Running, worker.readAllStandardError().constData());
            worker.kill();   // SIGKILL: no handler, no clean-up
            QVERIFY(worker.waitForFinished(10'000));
            ++kills;
            const QString broken = brokenInvariant(database.folder());
            QVERIFY2(broken.isEmpty(), qPrintable(QString("after kill %1: %2").arg(kills).arg(broken)));
        }
        QVERIFY2(kills >= KILLS / 4, "too few kills in the time allowed");
        qInfo("%d kills; %d sales and %d closed sessions stored", kills,
              database.scalar("SELECT count(DISTINCT FechaVenta) FROM Temporal").toInt() +
                  database.scalar("SELECT count(DISTINCT FechaVenta) FROM Recaudacion").toInt(),
              database.scalar("SELECT count(DISTINCT FechaInicio) FROM Recaudacion").toInt());
        QVERIFY(database.count("Recaudacion") > 0);
    }
};

QTEST_GUILESS_MAIN(CrashTest)
#include "tst_crash.moc"
