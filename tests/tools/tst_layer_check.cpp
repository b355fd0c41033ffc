#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

static const QString SOURCE = QStringLiteral(TENDUCA_SOURCE_DIR);

// The layer check (scripts/check-layers.sh) on a src/ that holds one file,
// which breaks a rule or keeps to it. The whole tree is checked by the
// include_layers test.
class LayerCheckTest : public QObject {
    Q_OBJECT

private slots:
    void eachRuleRefusesAFileThatBreaksIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");   // empty: the file keeps to the rules
        const QString dataMark = QStringLiteral("#include \"store/data_mark.h\"\n");
        QTest::newRow("down the layers") << "store/extra.cpp" << "#include \"sale/form1.h\"\n" << "up the layers";
        QTest::newRow("windows beside each other")
            << "reports/extra.cpp" << "#include \"users/form4.h\"\n" << "a folder beside its own";
        QTest::newRow("only sale and app know the sale window")
            << "catalogue/extra.cpp" << "#include \"sale/form1.h\"\n" << "know the sale window";
        QTest::newRow("devices from a window")
            << "sale/extra.cpp" << "#include \"devices/receipt_devices.h\"\n" << "only src/app and main.cpp include devices/";
        QTest::newRow("devices from the root") << "app/extra.cpp" << "#include \"devices/receipt_devices.h\"\n" << "";
        QTest::newRow("the tool's room from the program")
            << "app/extra.cpp" << "#include \"storetool/sql_shell.h\"\n" << "the database tool's own";
        QTest::newRow("the tool's room from main.cpp")
            << "main.cpp" << "#include \"storetool/database_creator.h\"\n" << "the database tool's own";
        QTest::newRow("a statement outside the store")
            << "catalogue/extra.cpp" << "#include \"store/statement.h\"\n" << "the store's own";
        QTest::newRow("the bare transaction outside the store")
            << "sale/extra.cpp" << "#include \"store/transaction.h\"\n" << "the store's own";
        QTest::newRow("an engine outside the store")
            << "reports/extra.cpp" << "#include \"store/sqlite_engine.h\"\n" << "the store's own";
        QTest::newRow("the engine of a connection outside the store")
            << "reports/extra.cpp" << "int till(Connection& c) { return c.engine().till(); }\n" << "calls engine()";
        QTest::newRow("a store header handing out the engine")
            << "store/extra.h" << "#include \"store/engine.h\"\n" << "hands them the store's own";
        QTest::newRow("the store's own inside the store") << "store/extra.cpp" << "#include \"store/engine.h\"\n" << "";
        QTest::newRow("the store's own in the tool's room")
            << "storetool/extra.cpp" << "#include \"store/engine.h\"\nvoid f(Connection& c) { c.engine(); }\n" << "";
        QTest::newRow("a public store header") << "sale/extra.cpp" << dataMark << "";
        QTest::newRow("a folder outside the layers") << "extra/extra.cpp" << dataMark << "has no place in the layers";
        QTest::newRow("key filters through the window base")
            << "users/extra.cpp" << "void f() { KeyFilter::install(nullptr, {}); }\n" << "calls KeyFilter::install";
    }
    void eachRuleRefusesAFileThatBreaksIt()
    {
        QFETCH(QString, file);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QTemporaryDir tree;
        const QString path = tree.filePath(QStringLiteral("src/") + file);
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        {
            QFile written(path);
            QVERIFY(written.open(QIODevice::WriteOnly));
            written.write(text.toUtf8());
        }
        QProcess script;
        script.start("bash", {SOURCE + "/scripts/check-layers.sh", tree.filePath("src")});
        QVERIFY(script.waitForFinished(60000) && script.exitStatus() == QProcess::NormalExit);
        const QString output = QString::fromUtf8(script.readAllStandardOutput());
        QVERIFY2(script.exitCode() == (refusal.isEmpty() ? 0 : 1), qPrintable(output));
        const QStringList lines = output.split(u'\n', Qt::SkipEmptyParts);
        // The refused file, then the count.
        QVERIFY2(refusal.isEmpty() || (lines.size() == 2 && lines.first().startsWith("src/" + file + ":") &&
                                       lines.first().contains(refusal)),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(LayerCheckTest)
#include "tst_layer_check.moc"
