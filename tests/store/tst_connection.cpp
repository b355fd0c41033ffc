#include "store/connection.h"
#include "store/store_error.h"
#include "support/test_database.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
        connection.execute(QStringLiteral("SELECT count(*) FROM Usuarios"));
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
        QTest::newRow("another password") << "wrong key" << "senha do arquivo de dados bd1 não confere";
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
    }

    void reportsEngineErrorsWithTheEngineMessage()
    {
        TestDatabase database;
        Connection connection(database.folder());
        try {
            connection.execute(QStringLiteral("SELECT * FROM NaoExiste"));
            QFAIL("no error");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains("no such table: NaoExiste"), qPrintable(error.message()));
        }
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
