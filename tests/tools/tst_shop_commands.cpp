#include "store/backup.h"
#include "store/connection.h"
#include "support/test_database.h"
#include "users/instance_lock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run tool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(TENDUCA_DB_TOOL), arguments);
    if (!process.waitForStarted() || !process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

NewDatabaseOptions oneProduct()
{
    NewDatabaseOptions options;
    options.products = {product("100", "Arroz 5 kg", 27.9)};
    return options;
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

}   // namespace

class ShopCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void backupOnDemandGoesIntoTheGivenFolder()
    {
        TestDatabase database(oneProduct());
        QTemporaryDir elsewhere;
        const Run run = tool({"backup", database.folder(), elsewhere.path()});
        QCOMPARE(run.exitCode, 0);
        const QStringList made = existingBackups(elsewhere.path());
        QCOMPARE(made.size(), 1);
        QVERIFY2(run.out.contains(made[0]), qPrintable(run.out));
        QVERIFY(!QDir(backupFolder(database.folder())).exists());
    }

    void restoreRefusesWhileTheProgramRunsAndKeepsTheOldFile()
    {
        TestDatabase database(oneProduct());
        QVERIFY(tool({"backup", database.folder()}).exitCode == 0);
        const QString backup = existingBackups(backupFolder(database.folder())).first();
        database.execute("DELETE FROM Productos");
        Connection::release(database.folder());   // this process plays the program, closed before the restore
        const QByteArray current = fileHash(database.path());

        {
            const InstanceLock running(database.folder());
            QCOMPARE(running.status(), InstanceLock::Status::Acquired);
            const Run refused = tool({"restore", database.folder(), backup});
            QCOMPARE(refused.exitCode, 1);
            QVERIFY2(refused.err.contains("O programa está aberto nesta pasta de dados"), qPrintable(refused.err));
            QVERIFY2(refused.err.contains("nada foi alterado"), qPrintable(refused.err));
            QCOMPARE(fileHash(database.path()), current);
            QCOMPARE(QDir(database.folder()).entryList({"bd1-antes-*"}, QDir::Files).size(), 0);
        }

        const Run restored = tool({"restore", database.folder(), backup});
        QCOMPARE(restored.exitCode, 0);
        QCOMPARE(database.count("Productos"), 1);
        const QStringList aside = QDir(database.folder()).entryList({"bd1-antes-da-restauracao-*"}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QCOMPARE(fileHash(QDir(database.folder()).filePath(aside[0])), current);
        QVERIFY2(restored.out.contains(aside[0]), qPrintable(restored.out));
        // The program may start on the restored folder again.
        QCOMPARE(InstanceLock(database.folder()).status(), InstanceLock::Status::Acquired);
    }

    void importReportsEveryRefusedLineAndWritesNothing()
    {
        TestDatabase database(oneProduct());
        QTemporaryDir dir;
        const QString csv = dir.filePath("produtos.csv");
        writeFile(csv, QStringLiteral("Código;Nome;Quantidade;Custo;Preço;Estoque crítico;Categoria\n"
                                      "200;Feijão 1 kg;10;5;8,5;2;Mercearia\n"
                                      "300;Sal;x;1;2;0;Mercearia\n"
                                      "400;Arroz 5 kg;1;1;2;0;Mercearia\n")
                           .toUtf8());
        const Run refused = tool({"import-products", database.folder(), csv});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("Linha 3: quantidade não é um número: \"x\"\n"), qPrintable(refused.err));
        QVERIFY2(refused.err.contains("Linha 4: o nome \"Arroz 5 kg\" já é de outro produto (código 100)\n"),
                 qPrintable(refused.err));
        QVERIFY2(refused.err.contains("2 linhas recusadas; nada foi gravado"), qPrintable(refused.err));
        QCOMPARE(database.count("Productos"), 1);

        const Run skipped = tool({"import-products", database.folder(), csv, "--ignorar-invalidas"});
        QCOMPARE(skipped.exitCode, 0);
        QCOMPARE(skipped.out, "1 produtos incluídos, 0 atualizados, 2 linhas ignoradas.\n");
        QCOMPARE(database.count("Productos"), 2);
    }

    void exportWritesTheFileTheImportReads()
    {
        TestDatabase database(oneProduct());
        QTemporaryDir dir;
        const QString csv = dir.filePath("catalogo.csv");
        QCOMPARE(tool({"export-products", database.folder(), csv}).exitCode, 0);
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF" "Código;Nome;Quantidade;Custo;Preço;Estoque crítico;"
                                            "Categoria\r\n100;Arroz 5 kg;100;0;27,9;0;Geral\r\n"));
        const Run again = tool({"import-products", database.folder(), csv});
        QCOMPARE(again.out, "0 produtos incluídos, 1 atualizados.\n");

        const Run unreadable = tool({"import-products", database.folder(), dir.filePath("nao-existe.csv")});
        QCOMPARE(unreadable.exitCode, 1);
        QVERIFY2(unreadable.err.contains("não pode ser lido"), qPrintable(unreadable.err));
    }
};

QTEST_GUILESS_MAIN(ShopCommandsTest)
#include "tst_shop_commands.moc"
