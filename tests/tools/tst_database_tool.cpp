#include "common/number_settings.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

Run tool(const QStringList& arguments)
{
    return run(QStringLiteral(TENDUCA_DB_TOOL), arguments);
}

// The engine's own command-line shell, keyed with the program's password or not at all.
Run shell(const QString& path, const QString& sql, bool withKey = true)
{
    const QString script = (withKey ? QStringLiteral("PRAGMA key='QmT482';\n") : QString()) + sql + u'\n';
    return run(QStringLiteral("sqlcipher"), {path}, script.toUtf8());
}

QStringList fieldNames(const QString& path, const QString& table)
{
    QStringList names;
    for (const QString& line : shell(path, QStringLiteral("PRAGMA table_info(%1);").arg(table)).out.split(u'\n'))
        if (!line.isEmpty())
            names.append(line.section(u'|', 1, 1));
    return names;
}

bool isEan13(const QString& code)
{
    if (code.size() != 13)
        return false;
    int sum = 0;
    for (int i = 0; i < 13; ++i) {
        if (!code[i].isDigit())
            return false;
        sum += code[i].digitValue() * (i % 2 ? 3 : 1);
    }
    return sum % 10 == 0;
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

}   // namespace

class DatabaseToolTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        if (run(QStringLiteral("sqlcipher"), {QStringLiteral("-version")}).exitCode != 0)
            QSKIP("the sqlcipher shell is not installed (scripts/install-deps.sh installs it)");
    }

    void createsTheFiveTablesUnderThePassword()
    {
        QTemporaryDir dir;
        const Run created = tool({"create", dir.path()});
        QCOMPARE(created.exitCode, 0);
        const QString path = dir.filePath("bd1");

        QCOMPARE(fieldNames(path, "Productos"),
                 QStringList({"CodigoProducto", "NombreProducto", "Cantidad", "PrecioCosto", "PrecioVenta",
                              "StockCritico", "Categoria", "ParteDeOferta"}));
        QCOMPARE(fieldNames(path, "Temporal"),
                 QStringList({"CodigoProducto", "NombreProducto", "Cantidad", "TotalCosto", "TotalVenta", "TipoPago",
                              "NombreUsuario", "Categoria", "FechaInicio", "FechaVenta", "ValorUnitario", "Caixa"}));
        QCOMPARE(fieldNames(path, "Recaudacion"),
                 QStringList({"CodigoProducto", "NombreProducto", "Cantidad", "TotalCosto", "TotalVenta", "TipoPago",
                              "NombreUsuario", "Categoria", "FechaInicio", "FechaVenta", "Caixa"}));
        QCOMPARE(fieldNames(path, "TipoPago"),
                 QStringList({"FechaInicio", "efectivo", "tarjeta", "CajaInicial", "FechaCierre", "Caixa", "pix"}));
        QCOMPARE(fieldNames(path, "Usuarios"), QStringList({"NombreUsuario", "Contraseña", "PermisoCruce"}));

        QCOMPARE(shell(path, "INSERT INTO TipoPago (FechaInicio) VALUES ('x');"
                             "SELECT efectivo, tarjeta, CajaInicial, Caixa, pix FROM TipoPago;")
                     .out,
                 QString("0.0|0.0|0.0|1|0.0\n"));
        QCOMPARE(shell(path, "SELECT NombreUsuario, Contraseña, PermisoCruce FROM Usuarios;").out,
                 QString("admin|admin|0.0\n"));
        // Product and user texts are ordered with the program's collations, which only its own connections know.
        QVERIFY(shell(path, "SELECT sql FROM sqlite_master WHERE name = 'Productos';")
                    .out.contains("\"NombreProducto\" TEXT COLLATE PORTUGUES"));
        Connection connection(dir.path());
        execute(connection, "INSERT INTO Productos (CodigoProducto) VALUES ('1')");
        QCOMPARE(shell(path, "SELECT ParteDeOferta FROM Productos;").out, QString("0.0\n"));
        Statement plan(connection, "EXPLAIN QUERY PLAN SELECT * FROM Productos WHERE CodigoProducto = '1'");
        QVERIFY(plan.next());
        const QString step = plan.text(3);
        QVERIFY2(step.contains("USING INDEX"), qPrintable(step));

        const Run withoutKey = shell(path, "SELECT count(*) FROM sqlite_master;", false);
        QVERIFY2(withoutKey.err.contains("file is encrypted or is not a database"), qPrintable(withoutKey.err));
        QVERIFY(!withoutKey.out.contains("admin"));
    }

    void refusesToOverwriteAndToGuess()
    {
        QTemporaryDir dir;
        QCOMPARE(tool({"create", dir.path(), "--demo"}).exitCode, 0);
        const QByteArray before = fileHash(dir.filePath("bd1"));

        const Run again = tool({"create", dir.path()});
        QCOMPARE(again.exitCode, 1);
        QVERIFY2(again.err.contains("Já existe"), qPrintable(again.err));
        QCOMPARE(fileHash(dir.filePath("bd1")), before);

        QCOMPARE(tool({}).exitCode, 2);
        QCOMPARE(tool({"create"}).exitCode, 2);
        QCOMPARE(tool({"create", dir.filePath("outra"), "--demonstracao"}).exitCode, 2);
        QVERIFY(!QFile::exists(dir.filePath("outra/bd1")));
    }

    void helpPrintsTheUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--help") << QStringList({"--help"});
        QTest::newRow("-h") << QStringList({"-h"});
        QTest::newRow("after a command") << QStringList({"create", "FOLDER", "--demo", "-h"});
    }

    void helpPrintsTheUsage()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        arguments.replaceInStrings(QStringLiteral("FOLDER"), dir.path());

        const Run help = tool(arguments);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.startsWith("Uso:\n  tenduca-db create PASTA [--demo]\n"), qPrintable(help.out));
        QVERIFY(help.out.contains("--demo"));
        QCOMPARE(help.err, QString());
        QVERIFY(!QFile::exists(dir.filePath("bd1")));
    }

    void demoCatalogueIsAGroceryTheProgramCanRead()
    {
        QTemporaryDir dir;
        QCOMPARE(tool({"create", dir.path(), "--demo"}).exitCode, 0);

        Connection connection(dir.path());
        RecordSet admin(connection, Query::UsuariosPorNombre);
        QCOMPARE(admin.text("PermisoCruce"), QString("80"));   // the demo prints 80 mm receipts
        RecordSet products(connection, Query::ProductosPorNombre);
        int count = 0, critical = 0, accented = 0;
        QSet<QString> categories, codes;
        for (; !products.eof(); products.moveNext(), ++count) {
            const QString code = products.text("CodigoProducto");
            QVERIFY2(isEan13(code), qPrintable(code));
            codes.insert(code);
            categories.insert(products.text("Categoria"));
            QVERIFY(products.number("PrecioVenta") > products.number("PrecioCosto"));
            if (products.number("Cantidad") <= products.number("StockCritico"))
                ++critical;
            if (products.text("NombreProducto").toLatin1() != products.text("NombreProducto").toUtf8())
                ++accented;
        }
        QVERIFY(count >= 25 && count <= 40);
        QCOMPARE(codes.size(), count);
        QVERIFY(categories.size() >= 4);
        QVERIFY(critical >= 2 && critical < count / 2);
        QVERIFY(accented >= 5);
    }

    // The support staff's shell reads and writes collated fields, which the
    // engine's plain shell cannot, and refuses a bad statement in Portuguese.
    void sqlShellWorksWithTheProgramsTexts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("count") << QStringList{"select count(*) from Productos where NombreProducto > 'a'"}
                               << QByteArray() << 0 << "2\n" << "";
        QTest::newRow("collated update, then its rows")
            << QStringList{"update Productos set NombreProducto = 'Água Mineral' where CodigoProducto = '2'; "
                           "select CodigoProducto, NombreProducto from Productos order by NombreProducto"}
            << QByteArray() << 0 << "2|Água Mineral\n1|Arroz\n" << "";
        QTest::newRow("statements read from the input")
            << QStringList{} << QByteArray("select NombreProducto\nfrom Productos\nwhere CodigoProducto = '1';\n"
                                           "select count(*) from Usuarios;\n")
            << 0 << "Arroz\n1\n" << "";
        QTest::newRow("unknown table") << QStringList{"select * from Produtos"} << QByteArray() << 1 << ""
                                       << "Comando recusado: a tabela Produtos não existe";
        QTest::newRow("mistyped") << QStringList{"selec 1"} << QByteArray() << 1 << ""
                                  << "Comando recusado: erro de sintaxe perto de \"selec\"";
        QTest::newRow("transaction left open")
            << QStringList{"begin; delete from Productos"} << QByteArray() << 1 << "" << "foi desfeita";
    }

    void sqlShellWorksWithTheProgramsTexts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir dir;
        QCOMPARE(tool({"create", dir.path()}).exitCode, 0);
        QCOMPARE(tool({"sql", dir.path(), "insert into Productos (CodigoProducto, NombreProducto) "
                                          "values ('1', 'Arroz'), ('2', 'Banana')"})
                     .exitCode,
                 0);
        const Run ran = run(QStringLiteral(TENDUCA_DB_TOOL), QStringList{"sql", dir.path()} + arguments, input);
        QVERIFY2(ran.err.contains(err), qPrintable(ran.err));
        QCOMPARE(ran.out, out);
        QCOMPARE(ran.exitCode, exitCode);
        QCOMPARE(tool({"sql", dir.path(), "select count(*) from Productos"}).out, QString("2\n"));
    }

    void olderTemporalForUpgradeTests()
    {
        QTemporaryDir dir;
        QCOMPARE(tool({"create", dir.path(), "--temporal-antigo"}).exitCode, 0);
        QCOMPARE(fieldNames(dir.filePath("bd1"), "Temporal").size(), 10);
        QVERIFY(!fieldNames(dir.filePath("bd1"), "Temporal").contains("ValorUnitario"));
    }
};

QTEST_GUILESS_MAIN(DatabaseToolTest)
#include "tst_database_tool.moc"
