#include "store/backup.h"
#include "store/connection.h"
#include "store/store_error.h"
#include "support/test_database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QDateTime MOMENT(QDate(2024, 3, 5), QTime(22, 10, 30));

NewDatabaseOptions twoProducts()
{
    NewDatabaseOptions options;
    options.products = {product("7891000000014", "Arroz 5 kg", 27.9), product("7891000000021", "Feijão 1 kg", 8.49)};
    return options;
}

// The rows of a backup file, read through a keyed connection on a copy of it named bd1.
QStringList rowsOfBackup(const QString& backupPath)
{
    QTemporaryDir dir;
    if (!QFile::copy(backupPath, databasePath(dir.path())))
        return {QStringLiteral("cannot copy")};
    return storedRows(dir.path());
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QStringList backupNames(const QString& folder)
{
    QStringList names;
    for (const QString& path : existingBackups(backupFolder(folder)))
        names.append(QFileInfo(path).fileName());
    return names;
}

}   // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    void aBackupOpensWithTheKeyAndHoldsWhatTheSourceHolds()
    {
        TestDatabase database(twoProducts());
        database.execute("INSERT INTO TipoPago (FechaInicio, efectivo) VALUES ('2024-03-05 08:00:00', 35.4)");
        const QString path = writeBackup(database.folder(), MOMENT);

        QCOMPARE(path, QDir(database.folder()).filePath("backups/bd1-2024-03-05-221030"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(!file.read(16).startsWith("SQLite format 3"));
        QCOMPARE(rowsOfBackup(path), storedRows(database.folder()));
        QCOMPARE(rowsOfBackup(path).size(), 2 + 1 + 1);   // products, takings, admin
        QVERIFY(QDir(backupFolder(database.folder())).entryList(QDir::Files | QDir::Hidden).size() == 1);
    }

    void theThirtyFirstRemovesTheOldest()
    {
        TestDatabase database;
        for (int day = 0; day < BACKUPS_KEPT; ++day)
            writeBackup(database.folder(), MOMENT.addDays(day));
        QCOMPARE(backupNames(database.folder()).size(), BACKUPS_KEPT);
        QCOMPARE(backupNames(database.folder()).first(), "bd1-2024-03-05-221030");

        writeBackup(database.folder(), MOMENT.addDays(BACKUPS_KEPT));
        const QStringList names = backupNames(database.folder());
        QCOMPARE(names.size(), BACKUPS_KEPT);
        QCOMPARE(names.first(), "bd1-2024-03-06-221030");
        QCOMPARE(names.last(), "bd1-2024-04-04-221030");
    }

    void otherFilesInTheBackupsFolderAreLeftAlone()
    {
        TestDatabase database;
        QDir().mkpath(backupFolder(database.folder()));
        QFile note(QDir(backupFolder(database.folder())).filePath("leia-me.txt"));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.close();
        for (int day = 0; day <= BACKUPS_KEPT; ++day)
            writeBackup(database.folder(), MOMENT.addDays(day));
        QVERIFY(note.exists());
    }

    // Each day close makes its copy, which takes the place of the day's
    // earlier one only once whole; what a killed backup left behind (its
    // partial copy and journal) goes with the next backup.
    void eachDayCloseReplacesTheDaysCopyAndKilledBackupsLeaveNothing()
    {
        TestDatabase database;
        const QDir backups(backupFolder(database.folder()));
        QCOMPARE(Respaldo_Automatico(database.folder(), MOMENT.addDays(-1)), std::nullopt);
        for (const char* leftover : {"bd1-2024-03-05-200000.parcial", "bd1-2024-03-05-200000.parcial-journal"}) {
            QFile file(backups.filePath(leftover));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        const QString archive = "INSERT INTO Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalVenta, "
                                "FechaInicio, FechaVenta) VALUES ('%1', 'Sal', 1, 2, '%2', '%2')";
        database.execute(archive.arg("1", "2024-03-05 08:00:00"));
        QCOMPARE(Respaldo_Automatico(database.folder(), MOMENT), std::nullopt);
        QCOMPARE(backups.entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"bd1-2024-03-04-221030", "bd1-2024-03-05-221030"}));

        database.execute(archive.arg("2", "2024-03-05 22:30:00"));
        QCOMPARE(Respaldo_Automatico(database.folder(), MOMENT.addSecs(3600)), std::nullopt);
        QCOMPARE(backups.entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"bd1-2024-03-04-221030", "bd1-2024-03-05-231030"}));
        const QStringList copied = rowsOfBackup(backups.filePath("bd1-2024-03-05-231030"));
        QCOMPARE(copied, storedRows(database.folder()));
        QCOMPARE(copied.filter(QRegularExpression("^Recaudacion\\|")).size(), 2);
    }

    void anUnwritableBackupsFolderGivesTheMessageAndLeavesBd1Alone()
    {
        TestDatabase database(twoProducts());
        const QStringList before = storedRows(database.folder());
        // A file where the folder should be cannot be written even by the superuser.
        QFile blocker(backupFolder(database.folder()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const std::optional<QString> message = Respaldo_Automatico(database.folder(), MOMENT);
        QVERIFY(message);
        QVERIFY2(message->startsWith("O backup do dia não foi feito."), qPrintable(*message));
        QVERIFY2(message->contains(QDir::toNativeSeparators(backupFolder(database.folder()))), qPrintable(*message));
        QVERIFY2(message->contains("gravadas no arquivo de dados"), qPrintable(*message));
        QCOMPARE(storedRows(database.folder()), before);
    }

    void aReadOnlyBackupsFolderGivesTheMessage()
    {
        if (geteuid() == 0)
            QSKIP("the superuser writes into read-only folders");
        TestDatabase database;
        QDir().mkpath(backupFolder(database.folder()));
        QFile::setPermissions(backupFolder(database.folder()), QFile::ReadOwner | QFile::ExeOwner);
        const std::optional<QString> message = Respaldo_Automatico(database.folder(), MOMENT);
        QFile::setPermissions(backupFolder(database.folder()),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(message);
        QVERIFY2(message->contains("a pasta não permite gravação"), qPrintable(*message));
        QVERIFY(backupNames(database.folder()).isEmpty());
    }

    void aMissingDatabaseIsAMessageNotACrash()
    {
        QTemporaryDir dir;
        const std::optional<QString> message = Respaldo_Automatico(dir.path(), MOMENT);
        QVERIFY(message);
        QVERIFY2(message->contains("não foi encontrado"), qPrintable(*message));
    }

    void restorePutsTheBackupInPlaceAndKeepsTheCurrentFileAside()
    {
        TestDatabase database(twoProducts());
        const QString backup = writeBackup(database.folder(), MOMENT);
        const QStringList backedUp = storedRows(database.folder());
        database.execute("DELETE FROM Productos");
        const QStringList current = storedRows(database.folder());
        Connection::release(database.folder());   // as when the program is closed: bd1 alone holds everything
        const QByteArray currentHash = fileHash(database.path());

        const QString aside = restoreBackup(database.folder(), backup, MOMENT.addDays(1));
        QCOMPARE(aside, QDir(database.folder()).filePath("bd1-antes-da-restauracao-2024-03-06-221030"));
        QCOMPARE(storedRows(database.folder()), backedUp);
        QCOMPARE(fileHash(aside), currentHash);
        QTemporaryDir check;
        QVERIFY(QFile::copy(aside, databasePath(check.path())));
        QCOMPARE(storedRows(check.path()), current);
        QVERIFY(QFile::exists(backup));   // the backup itself stays as it was
        QCOMPARE(QDir(database.folder()).entryList({".restauracao-*"}, QDir::AllEntries | QDir::Hidden).size(), 0);
    }

    void restoreRefusesAFileThatIsNotAUsableBackup_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("cause");
        QTest::newRow("text") << QByteArray("Código;Nome\n") << "danificado";
        QTest::newRow("repeated bytes") << QByteArray(8192, '\x11') << "danificado";
    }

    void restoreRefusesAFileThatIsNotAUsableBackup()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, cause);
        TestDatabase database(twoProducts());
        const QByteArray before = fileHash(database.path());
        QTemporaryDir dir;
        QFile file(dir.filePath("copia"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        try {
            restoreBackup(database.folder(), file.fileName(), MOMENT);
            QFAIL("a file that is no backup was restored");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains("não é um backup utilizável; nada foi alterado"),
                     qPrintable(error.message()));
            QVERIFY2(error.message().contains(cause), qPrintable(error.message()));
        }
        QCOMPARE(fileHash(database.path()), before);
        QCOMPARE(QDir(database.folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"bd1"});
    }

    void restoreRefusesABackupWithoutTheFiveTables()
    {
        TestDatabase database;
        TestDatabase other;
        other.execute("DROP TABLE Recaudacion");
        Connection::release(other.folder());
        try {
            restoreBackup(database.folder(), other.path(), MOMENT);
            QFAIL("a file without Recaudacion was restored");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains("Recaudacion"), qPrintable(error.message()));
        }
        QCOMPARE(database.count("Recaudacion"), 0);   // the current file still opens, with all its tables
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
