#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString SOURCE = QStringLiteral(TENDUCA_SOURCE_DIR);

struct Checked {
    int exitCode = -1;
    QString output;
};

}   // namespace

// The layer check (scripts/check-layers.sh) on a src/ that holds one file,
// which breaks a rule or keeps to it. The whole tree is checked by the
// include_layers test.
class LayerCheckTest : public QObject {
    Q_OBJECT

    static Checked check(const QString& src)
    {
        QProcess script;
        script.start(QStringLiteral("bash"), {SOURCE + QStringLiteral("/scripts/check-layers.sh"), src});
        script.waitForFinished(60000);
        return {script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1,
                QString::fromUtf8(script.readAllStandardOutput())};
    }

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
        const Checked checked = check(tree.filePath(QStringLiteral("src")));

        if (refusal.isEmpty()) {
            QVERIFY2(checked.exitCode == 0, qPrintable(checked.output));
            return;
        }
        QCOMPARE(checked.exitCode, 1);
        const QStringList lines = checked.output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);   // the refused file, then the count
        QVERIFY2(lines.first().startsWith("src/" + file + ":") && lines.first().contains(refusal),
                 qPrintable(checked.output));
    }
};

QTEST_GUILESS_MAIN(LayerCheckTest)
#include "tst_layer_check.moc"
