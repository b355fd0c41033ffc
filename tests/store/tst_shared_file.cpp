#include "common/errors.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "sale/cierre_dia.h"
#include "sale/registro_venta.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/statement.h"
#include "support/test_database.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

namespace {

constexpr int ROUNDS = 200;
constexpr qint64 TIME_LIMIT_MS = 120'000;
constexpr double STOCK = 1000;

LineaVenta lineOf(const QString& code, const QString& quantity)
{
    ProductoLeido product;
    product.codigo = code;
    product.nombre = QStringLiteral("Produto %1").arg(code);
    product.precioCosto = QStringLiteral("1");
    product.precioVenta = QStringLiteral("2,5");
    product.categoria = QStringLiteral("Teste");
    return nuevaLinea(product, quantity, 1);
}

// What the other program answers to one request: "ok …" or the failure.
QString otherProgramCycle(QProcess& other)
{
    other.write("cycle\n");
    if (!other.waitForReadyRead(20'000))
        return QStringLiteral("no answer: %1").arg(QString::fromLocal8Bit(other.readAllStandardError()));
    return QString::fromUtf8(other.readLine()).trimmed();
}

// What the database tool says when it fails; nothing when it succeeds.
QString toolRefusal(const QStringList& arguments)
{
    QProcess tool;
    tool.start(TENDUCA_DB_TOOL, arguments);
    if (!tool.waitForFinished(30'000) || tool.exitCode() != 0)
        return QString::fromUtf8(tool.readAllStandardError()) + tool.errorString();
    return {};
}

// A copy of bd1 alone, made by another program (a descriptor of this process
// on bd1 would drop the locks of the program's connection), opened in a
// folder of its own.
QString copyOfFileAlone(const QString& folder, const QTemporaryDir& into)
{
    if (QProcess::execute("cp", {databasePath(folder), databasePath(into.path())}) != 0)
        return {};
    return into.path();
}

int countIn(const QString& folder, const QString& table)
{
    qint64 count = -1;
    {
        Connection connection(folder);
        Statement statement(connection, ("select count(*) from " + table).toUtf8());
        if (statement.next())
            count = statement.whole(0);
    }
    Connection::release(folder);
    return static_cast<int>(count);
}

}   // namespace

class SharedFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    // Another program opens bd1, reads, writes and closes it between the
    // program's actions, over and over: every action of the program goes on
    // working, nothing either of them wrote is lost, and the file stays whole.
    void otherProgramsOpenAndCloseTheFileBetweenActions()
    {
        QList<NewProduct> products;
        for (int code = 1; code <= 5; ++code)
            products.append(product(QString::number(code), QString("Produto %1").arg(code), 2.5, STOCK));
        TestDatabase database({products});
        const QString folder = database.folder();
        QTemporaryDir backups;
        const Connection heldByTheProgram(folder);

        QProcess other;
        other.start(TENDUCA_SHARED_FILE_WORKER, {folder});
        QVERIFY2(other.waitForStarted(10'000), qPrintable(other.errorString()));

        const QString session = QStringLiteral("08/12/2026 08:00:00");
        const QDateTime start(QDate(2026, 12, 8), QTime(8, 0, 1));
        QElapsedTimer elapsed;
        elapsed.start();
        int rounds = 0;
        int otherWrites = 0;
        for (; rounds < ROUNDS && elapsed.elapsed() < TIME_LIMIT_MS; ++rounds) {
            if (rounds % 10 == 9) {
                const QString refused = toolRefusal({"backup", folder, backups.path()});
                QVERIFY2(refused.isEmpty(), qPrintable(QString("backup in round %1: %2").arg(rounds).arg(refused)));
            } else if (rounds % 10 == 4) {
                const QString refused = toolRefusal(
                    {"sql", folder, "update Productos set Cantidad = Cantidad + 1 where CodigoProducto = '1'"});
                QVERIFY2(refused.isEmpty(), qPrintable(QString("sql in round %1: %2").arg(rounds).arg(refused)));
                ++otherWrites;
            } else {
                const QString answer = otherProgramCycle(other);
                QVERIFY2(answer.startsWith("ok"), qPrintable(QString("other program, round %1: %2").arg(rounds).arg(answer)));
                ++otherWrites;
            }
            try {
                const DatosSesion facts{"EFECTIVO", "7,5", "admin", session, start.addSecs(rounds)};
                RegistroVenta(folder).registrar({lineOf("2", "1"), lineOf("3", "2")}, facts);
                Connection connection(folder);
                RecordSet listing(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
                QCOMPARE(listing.recordCount(), 5);
            } catch (const AppError& error) {
                QFAIL(qPrintable(QString("the program's action in round %1 failed: %2").arg(rounds).arg(error.message())));
            }
        }
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(10'000));
        QVERIFY2(rounds == ROUNDS || rounds >= ROUNDS / 4, "too few rounds in the time allowed");

        QCOMPARE(database.scalar("PRAGMA integrity_check").toString(), QString("ok"));
        QCOMPARE(database.count("Temporal"), 2 * rounds);
        QCOMPARE(database.scalar("select Cantidad from Productos where CodigoProducto = '1'").toDouble(),
                 STOCK + otherWrites);
        QCOMPARE(database.scalar("select Cantidad from Productos where CodigoProducto = '3'").toDouble(),
                 STOCK - 2 * rounds);
        QCOMPARE(database.scalar("select efectivo from TipoPago").toDouble(), 7.5 * rounds);
    }

    // A backup restored by the database tool while the program's connection
    // is held: the next action reads the restored file, and the file set
    // aside holds every change the program had made.
    void theNextActionSeesARestoredFile()
    {
        TestDatabase database({{product("1", "Arroz", 5), product("2", "Feijão", 8)}});
        const QString folder = database.folder();
        const QString backupDone = toolRefusal({"backup", folder});
        QVERIFY2(backupDone.isEmpty(), qPrintable(backupDone));
        database.execute("delete from Productos where CodigoProducto = '1'");
        QCOMPARE(database.count("Productos"), 1);

        const QString backup = existingBackups(backupFolder(folder)).first();
        const QString restored = toolRefusal({"restore", folder, backup});
        QVERIFY2(restored.isEmpty(), qPrintable(restored));
        QCOMPARE(database.count("Productos"), 2);
        database.execute("delete from Productos where CodigoProducto = '2'");
        QCOMPARE(database.count("Productos"), 1);

        QStringList aside = QDir(folder).entryList({"bd1-antes-da-restauracao-*"}, QDir::Files);
        aside.removeIf([](const QString& name) { return name.endsWith("-wal") || name.endsWith("-shm"); });
        QCOMPARE(aside.size(), 1);
        QTemporaryDir asideFolder;
        QVERIFY(QFile::copy(QDir(folder).filePath(aside[0]), databasePath(asideFolder.path())));
        QCOMPARE(countIn(asideFolder.path(), "Productos"), 1);
    }

    // After the day close, and after the program ends, bd1 alone (as a
    // backup program copying only it would find it) holds the whole day.
    void bd1AloneHoldsTheDayAfterTheCloseAndAfterTheEnd()
    {
        TestDatabase database({{product("1", "Arroz", 5)}});
        const QString folder = database.folder();
        const QString session = QStringLiteral("08/12/2026 08:00:00");
        const QDateTime moment(QDate(2026, 12, 8), QTime(9, 0, 0));
        RegistroVenta(folder).registrar({lineOf("1", "2")}, {"EFECTIVO", "5", "admin", session, moment});
        Cerrar_Ventas_Del_Dia(folder, session, moment.addSecs(60));
        QTemporaryDir afterClose;
        QVERIFY(!copyOfFileAlone(folder, afterClose).isEmpty());
        QCOMPARE(countIn(afterClose.path(), "Recaudacion"), 1);
        QCOMPARE(countIn(afterClose.path(), "Temporal"), 0);

        RegistroVenta(folder).registrar({lineOf("1", "1")}, {"TARJETA", "2,5", "admin", "08/12/2026 10:00:00",
                                                             moment.addSecs(3600)});
        Connection::releaseAll();
        QTemporaryDir afterEnd;
        QVERIFY(!copyOfFileAlone(folder, afterEnd).isEmpty());
        QCOMPARE(countIn(afterEnd.path(), "Temporal"), 1);
        QCOMPARE(countIn(afterEnd.path(), "Recaudacion"), 1);
    }
};

QTEST_GUILESS_MAIN(SharedFileTest)
#include "tst_shared_file.moc"
