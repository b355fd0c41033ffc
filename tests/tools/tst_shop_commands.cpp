#include "common/number_settings.h"
#include "sale/cierre_dia.h"
#include "sale/registro_venta.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/schema.h"
#include "store/statement.h"
#include "support/private_server.h"
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

// Every row of the tables a shop sends to its server, by row id, each field as
// the value it holds: the same text for bd1 and for the server.
QStringList sentRows(const QString& folder)
{
    QStringList rows;
    Connection connection(folder);
    for (const TableDefinition& table : storeTables()) {
        if (table.name == "Temporal")
            continue;
        QStringList fields{"rowid"};
        for (const FieldDefinition& field : table.fields)
            fields.append(field.name);
        Statement select(connection, ("select " + fields.join(", ") + " from " + table.name + " order by rowid").toUtf8());
        while (select.next()) {
            QStringList values{table.name};
            for (int column = 0; column < select.columnCount(); ++column) {
                switch (select.kind(column)) {
                case CellKind::Null:
                    values.append("(nada)");
                    break;
                case CellKind::Real:
                    values.append(QString::number(select.number(column), 'g', 17));
                    break;
                default:
                    values.append(select.text(column));
                }
            }
            rows.append(values.join(u'|'));
        }
    }
    Connection::release(folder);
    return rows;
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
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    // A shop moving to a server: its catalogue, users and archived takings
    // read back from the server row for row, a name with a backslash, a tab
    // and a line break byte for byte; a server that already holds a shop, and
    // a bd1 whose day is open, are refused. The tills then go on adding rows
    // of every kind on the server.
    void aShopMovesToAServer()
    {
        PrivateServer server;
        if (!server.unavailable().isEmpty())
            QSKIP(qPrintable("no server of the test's own: " + server.unavailable()));
        QTemporaryDir shop;
        QCOMPARE(tool({"create", shop.path(), "--demo"}).exitCode, 0);
        const QString session = "05/03/2024 8:00:00";
        const QDateTime moment(QDate(2024, 3, 5), QTime(9, 0));
        ProductoLeido arroz{"7891000000014", "Arroz Agulhinha Tipo 1 5 kg", "18,9", "27,9", "Mercearia", 10, 0};
        RegistroVenta(shop.path()).registrar({nuevaLinea(arroz, "2", 1)}, {"EFECTIVO", "55,8", "admin", session, moment});
        Cerrar_Ventas_Del_Dia(shop.path(), session, moment.addSecs(3600));
        RegistroVenta(shop.path()).registrar({nuevaLinea(arroz, "1", 1)}, {"TARJETA", "27,9", "admin", "05/03/2024 10:00:00",
                                                                            moment.addSecs(7200)});
        RegistroVenta(shop.path()).registrar({nuevaLinea(arroz, "1", 1)}, {"PIX", "27,9", "admin", "05/03/2024 10:00:00",
                                                                            moment.addSecs(7260)});
        const QStringList stored = sentRows(shop.path());

        const QString connection = server.newDatabase();
        QCOMPARE(tool({"servidor", "criar", connection}).exitCode, 0);
        const Run open = tool({"servidor", "enviar", shop.path(), connection});
        QCOMPARE(open.exitCode, 1);
        QVERIFY2(open.err.contains("O dia ainda está aberto"), qPrintable(open.err));

        Cerrar_Ventas_Del_Dia(shop.path(), "05/03/2024 10:00:00", moment.addSecs(10800));
        {
            // As an older version may have stored it.
            Connection file(shop.path());
            Statement(file, "update Productos set NombreProducto = '10A\\20A' || char(9, 13, 10) || 'x' where rowid = "
                            "(select min(rowid) from Productos)")
                .run();
        }
        const QStringList closed = sentRows(shop.path());
        QVERIFY(closed.size() > stored.size());
        const Run sent = tool({"servidor", "enviar", shop.path(), connection});
        QVERIFY2(sent.exitCode == 0, qPrintable(sent.err));
        QVERIFY2(sent.out.contains("2 sessões e 3 linhas"), qPrintable(sent.out));
        // The Pix takings, the last field of the later session's row, went too.
        QVERIFY2(closed.filter("TipoPago|").last().endsWith("|" + QString::number(27.9, 'g', 17)),
                 qPrintable(closed.filter("TipoPago|").join(u'\n')));
        QTemporaryDir till;
        server.makeTill(till.path(), connection, 1);
        QCOMPARE(sentRows(till.path()), closed);

        const Run again = tool({"servidor", "enviar", shop.path(), connection});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("já guarda os dados de uma loja"), qPrintable(again.err));
        QCOMPARE(sentRows(till.path()), closed);

        const auto sellCloseAndAdd = [&] {
            const QString nextDay = "06/03/2024 8:00:00";
            RegistroVenta(till.path()).registrar({nuevaLinea(arroz, "1", 1)}, {"EFECTIVO", "27,9", "admin", nextDay,
                                                                                moment.addDays(1)});
            Cerrar_Ventas_Del_Dia(till.path(), nextDay, moment.addDays(1).addSecs(60));
            Connection store(till.path());
            for (const QueryText* query : {&Query::ProductosPorNombre, &Query::UsuariosPorNombre}) {
                RecordSet rows(store, *query, RecordSet::Mode::AppendOnly);
                rows.addNew();
                rows.setText(query == &Query::UsuariosPorNombre ? "NombreUsuario" : "NombreProducto", "Novo");
                rows.update();
            }
        };
        QVERIFY_THROWS_NO_EXCEPTION(sellCloseAndAdd());
        QCOMPARE(sentRows(till.path()).size(), closed.size() + 4);   // a session, its line, a product, a user
    }

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
