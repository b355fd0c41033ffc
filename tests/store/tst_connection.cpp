#include "store/collation.h"
#include "store/connection.h"
#include "store/keys.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/sqlite_engine.h"
#include "store/statement.h"
#include "store/store_error.h"
#include "store/transaction.h"
#include "support/other_program.h"
#include "support/test_database.h"
#include "support/write_protection.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <unistd.h>

namespace {

// Writes a database the program did not make: keyed with another password or none.
void writeForeignDatabase(const QString& path, const QByteArray& password, const QString& tables)
{
    sqlite3* db = nullptr;
    QVERIFY(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) == SQLITE_OK);
    if (!password.isEmpty())
        sqlite3_key(db, password.constData(), static_cast<int>(password.size()));
    QCOMPARE(sqlite3_exec(db, tables.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The message of the failure to open the folder's bd1; empty when it opens.
QString openingMessage(const QString& folder)
{
    try {
        Connection connection(folder);
    } catch (const StoreError& error) {
        return error.message();
    }
    return {};
}

QStringList sideFiles(const QString& path)
{
    QStringList present;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        if (QFile::exists(path + suffix))
            present.append(path + suffix);
    }
    return present;
}

constexpr int SHORT_BUSY_MS = 200;

void appendUser(Connection& connection, const QString& name)
{
    RecordSet users(connection, Query::Usuarios, RecordSet::Mode::AppendOnly);
    users.addNew();
    users.setText("NombreUsuario", name);
    users.update();
}

const QString ALL_TABLES = QStringLiteral(
    "CREATE TABLE Productos(a); CREATE TABLE Temporal(a); CREATE TABLE TipoPago(a);"
    "CREATE TABLE Recaudacion(a); CREATE TABLE Usuarios(a);");

}   // namespace

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void opensTheKeyedFileOfItsFolder()
    {
        TestDatabase database;
        Connection connection(database.folder());
        QCOMPARE(connection.path(), QDir(database.folder()).filePath(QStringLiteral("bd1")));
        execute(connection, QStringLiteral("SELECT count(*) FROM Usuarios"));
        QCOMPARE(database.count(QStringLiteral("Usuarios")), 1);
    }

    void refusesFilesItCannotUse_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("missing") << "missing" << "não foi encontrado";
        QTest::newRow("a folder named bd1") << "folder" << "não é um arquivo comum";
        QTest::newRow("empty file") << "empty" << "danificado";
        QTest::newRow("text file") << "text" << "danificado";
        QTest::newRow("random pages") << "random" << "danificado";
        QTest::newRow("plain database") << "plain" << "não está protegido";
        QTest::newRow("another password") << "wrong key" << "não abre com a senha do programa";
        QTest::newRow("missing table") << "missing table" << "não tem a tabela Usuarios";
    }

    void refusesFilesItCannotUse()
    {
        QFETCH(QString, kind);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        const QString path = databasePath(dir.path());
        if (kind == "folder")
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bd1")));
        else if (kind == "empty")
            writeBytes(path, {});
        else if (kind == "text")
            writeBytes(path, "isto não é um banco de dados\n");
        else if (kind == "random")
            writeBytes(path, QByteArray(4096, '\x5a'));
        else if (kind == "plain")
            writeForeignDatabase(path, {}, ALL_TABLES);
        else if (kind == "wrong key")
            writeForeignDatabase(path, "outra", ALL_TABLES);
        else if (kind == "missing table")
            writeForeignDatabase(path, databasePassword(), QString(ALL_TABLES).remove("CREATE TABLE Usuarios(a);"));

        QString message;
        try {
            Connection connection(dir.path());
        } catch (const StoreError& error) {
            message = error.message();
        }
        QVERIFY2(message.contains(cause), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        if (kind == "missing")
            QVERIFY2(!QFile::exists(path), "a missing database must never be created");
        QCOMPARE(sideFiles(path), QStringList());
    }

    // A file cut short or a file of another kind is damaged, not a matter of the password.
    void reportsDamagedFilesAsDamaged_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("cut at a page boundary") << "truncated";
        QTest::newRow("cut inside a page") << "cut";
        QTest::newRow("zeros") << "zeros";
        QTest::newRow("text padded to whole pages") << "text";
    }

    void reportsDamagedFilesAsDamaged()
    {
        QFETCH(QString, kind);
        NewDatabaseOptions options;
        for (int i = 0; i < 400; ++i)
            options.products.append(product(QString::number(i), QStringLiteral("Produto de teste número %1").arg(i), 1));
        TestDatabase database(options);
        const QString path = database.path();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (kind == "truncated")
            QVERIFY(file.resize(file.size() / 2048 * 1024));
        else if (kind == "cut")
            QVERIFY(file.resize(file.size() / 2 + 100));
        else if (kind == "zeros")
            QVERIFY(file.resize(0) && file.resize(8192));
        else if (kind == "text")
            QVERIFY(file.resize(0) && file.write(QByteArray("isto é um texto\n").repeated(512)) > 0);
        file.close();

        const QString message = openingMessage(database.folder());
        QVERIFY2(message.contains("danificado"), qPrintable(message));
        QVERIFY2(!message.contains("senha"), qPrintable(message));
        QVERIFY2(!message.contains("malformed"), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    }

    // A write-protected bd1 is refused at once, and leaves no side files that
    // would keep refusing it once it is writable again.
    void refusesAWriteProtectedFileAndLeavesNothingBehind()
    {
        TestDatabase database;
        {
            WriteProtection protection(database.path());
            if (!protection.active())
                QSKIP("the file cannot be write-protected here");
            const QString message = openingMessage(database.folder());
            QVERIFY2(message.contains("bd1 está protegido contra gravação"), qPrintable(message));
            QVERIFY2(message.contains(QDir::toNativeSeparators(database.path())), qPrintable(message));
            QCOMPARE(sideFiles(database.path()), QStringList());
        }
        Connection connection(database.folder());
        appendUser(connection, "maria");
        QCOMPARE(database.count("Usuarios"), 2);
    }

    void refusesAFolderItCannotWrite()
    {
        TestDatabase database;
        WriteProtection protection(database.folder());
        if (!protection.active())
            QSKIP("the folder cannot be write-protected here");
        const QString message = openingMessage(database.folder());
        QVERIFY2(message.contains("A pasta do programa") && message.contains("não permite gravação"),
                 qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(database.path())), qPrintable(message));
    }

    // Side files left read-only by an earlier run are made writable again, their contents kept.
    void readOnlySideFilesLeftBehindDoNotBlockTheFile()
    {
        TestDatabase database;
        for (const char* suffix : {"-wal", "-shm"}) {
            QFile side(database.path() + suffix);
            QVERIFY(side.open(QIODevice::WriteOnly));
            side.close();
            QVERIFY(side.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        if (geteuid() == 0) {
            // The superuser writes through permission bits: a side file that stays unwritable is named instead.
            WriteProtection protection(database.path() + "-wal");
            QVERIFY(protection.active());
            const QString message = openingMessage(database.folder());
            QVERIFY2(message.contains("bd1-wal") && message.contains("protegido contra gravação"),
                     qPrintable(message));
        }
        Connection connection(database.folder());
        appendUser(connection, "maria");
        QCOMPARE(database.count("Usuarios"), 2);
    }

    // A file left in the rollback-journal mode is switched to the write-ahead
    // log, so a write never waits for another connection's open reading statement.
    void writesWhileAnotherConnectionIsReading()
    {
        NewDatabaseOptions options;
        for (int i = 0; i < 300; ++i)
            options.products.append(product(QString::number(i), QStringLiteral("Produto %1").arg(i), 1));
        TestDatabase database(options);
        {
            OtherProgram other(database.path());
            QCOMPARE(other.execute("PRAGMA journal_mode = DELETE"), SQLITE_OK);
            QCOMPARE(other.text("PRAGMA journal_mode"), QString("delete"));
        }
        Connection reader(database.folder());
        RecordSet products(reader, Query::ProductosPorNombre);
        QVERIFY(!products.eof());   // the reading statement stays open on the first rows

        Connection writer(database.folder());
        appendUser(writer, "maria");
        {
            Transaction transaction(writer);
            appendUser(writer, "joao");
            transaction.commit();
        }
        QCOMPARE(products.recordCount(), 300);
        QCOMPARE(database.count("Usuarios"), 3);
        QCOMPARE(OtherProgram(database.path()).text("PRAGMA journal_mode"), QString("wal"));
    }

    void commitsReachTheDisk()
    {
        TestDatabase database;
        Connection connection(database.folder());
        Statement synchronous(connection, "PRAGMA synchronous");
        QVERIFY(synchronous.next());
        QCOMPARE(synchronous.whole(0), 2);   // FULL
    }

    // Another program holding the write lock: a write waits out the time-out,
    // then says the file is in use; a transaction says so before writing anything.
    void waitsForAnotherProgramThenSaysTheFileIsInUse()
    {
        TestDatabase database;
        Connection connection(database.folder());
        execute(connection, QStringLiteral("PRAGMA busy_timeout = %1").arg(SHORT_BUSY_MS));
        OtherProgram other(database.path());
        QCOMPARE(other.execute("BEGIN IMMEDIATE"), SQLITE_OK);

        auto messageOf = [](const std::function<void()>& work) {
            try {
                work();
            } catch (const StoreError& error) {
                return error.message();
            }
            return QString();
        };
        for (const QString& message :
             {messageOf([&] { appendUser(connection, "maria"); }),
              messageOf([&] { Transaction transaction(connection); })}) {
            QVERIFY2(message.contains("em uso por outro programa"), qPrintable(message));
            QVERIFY2(message.contains(QDir::toNativeSeparators(database.path())), qPrintable(message));
            QVERIFY2(!message.contains("locked"), qPrintable(message));
        }
        QCOMPARE(other.execute("ROLLBACK"), SQLITE_OK);
        QCOMPARE(database.count("Usuarios"), 1);
    }

    // A transaction takes the write lock when it begins, so another program
    // writing is stopped at its start and never half-way through its writes.
    void aWritingTransactionLocksAtItsStart()
    {
        TestDatabase database;
        Connection first(database.folder());
        OtherProgram second(database.path());
        QCOMPARE(second.execute("PRAGMA busy_timeout = 200"), SQLITE_OK);
        Transaction writing(first);
        QCOMPARE(second.execute("BEGIN IMMEDIATE") & 0xFF, SQLITE_BUSY);
        appendUser(first, "maria");
        writing.commit();
        QCOMPARE(second.execute("BEGIN IMMEDIATE"), SQLITE_OK);
        QCOMPARE(second.execute("INSERT INTO Usuarios (NombreUsuario) VALUES ('joao')"), SQLITE_OK);
        QCOMPARE(second.execute("COMMIT"), SQLITE_OK);
        QCOMPARE(database.count("Usuarios"), 3);
    }

    void reportsEngineErrorsWithTheEngineMessage()
    {
        TestDatabase database;
        Connection connection(database.folder());
        try {
            execute(connection, QStringLiteral("SELECT * FROM NaoExiste"));
            QFAIL("no error");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains("no such table: NaoExiste"), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
