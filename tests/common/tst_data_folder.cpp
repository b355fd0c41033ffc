#include "common/data_folder.h"

#include <QDir>
#include <QtTest>

class DataFolderTest : public QObject {
    Q_OBJECT

private slots:
    void theFolderOfBd1_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("expected");
        const QStringList program{"/opt/tenduca/bin/tenduca"};
        QTest::newRow("nothing given: the program's folder") << program << "" << "/opt/tenduca/bin";
        QTest::newRow("environment") << program << "/home/ana/loja" << "/home/ana/loja";
        QTest::newRow("option before environment")
            << program + QStringList{"--pasta-dados", "/srv/caixa/"} << "/home/ana/loja" << "/srv/caixa";
        QTest::newRow("option with equals sign") << program + QStringList{"--pasta-dados=/srv/caixa"} << ""
                                                 << "/srv/caixa";
        QTest::newRow("option without a value") << program + QStringList{"--pasta-dados"} << "" << "/opt/tenduca/bin";
        QTest::newRow("relative folder") << program + QStringList{"--pasta-dados", "dados"} << ""
                                         << QDir::current().filePath("dados");
    }

    void theFolderOfBd1()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, environment);
        QFETCH(QString, expected);
        QCOMPARE(Pasta_Dados(arguments, environment, "/opt/tenduca/bin"), expected);
    }
};

QTEST_GUILESS_MAIN(DataFolderTest)
#include "tst_data_folder.moc"
