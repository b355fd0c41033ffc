#include "devices/cups_receipt_printer.h"
#include "devices/printer_settings.h"
#include "devices/receipt_devices.h"
#include "support/settings_folder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class PrinterSettingsTest : public QObject {
    Q_OBJECT

private slots:
    // Missing: written with the defaults, which print pages as before.
    void missingFileIsCreatedWithDefaults()
    {
        QTemporaryDir folder;
        const PrinterSettingsRead read = Ler_Configuracao_Impressao(folder.path());
        QCOMPARE(read.problems, QString());
        QCOMPARE(read.settings.mode, PrinterSettings::Mode::Page);
        QCOMPARE(read.settings.queue, QString());
        QCOMPARE(read.settings.columns.mm80, 48);
        QCOMPARE(read.settings.columns.mm58, 32);
        QVERIFY(!read.settings.openDrawer);

        QSettings written(folder.filePath("tenduca.ini"), QSettings::IniFormat);
        QCOMPARE(written.value("impressao/modo").toString(), QString("pagina"));
        QCOMPARE(written.value("impressao/fila").toString(), QString());
        QCOMPARE(written.value("impressao/colunas_80mm").toInt(), 48);
        QCOMPARE(written.value("impressao/colunas_58mm").toInt(), 32);
        QCOMPARE(written.value("impressao/gaveta").toString(), QString("nao"));
        // Read again, the written file says the same and reports nothing.
        QCOMPARE(Ler_Configuracao_Impressao(folder.path()).problems, QString());

        // The page printer, as before, and no drawer.
        const ReceiptDevices devices(read.settings);
        QVERIFY(dynamic_cast<CupsReceiptPrinter*>(devices.printer()));
        QVERIFY(!devices.drawer());
    }

    void aFolderThatDoesNotExistGetsNoFile()
    {
        QTemporaryDir folder;
        const PrinterSettingsRead read = Ler_Configuracao_Impressao(folder.filePath("nada"));
        QCOMPARE(read.problems, QString());
        QCOMPARE(read.settings.mode, PrinterSettings::Mode::Page);
        QVERIFY(!QFile::exists(folder.filePath("nada/tenduca.ini")));
    }

    void validValuesAreRead()
    {
        const SettingsFolder folder("[impressao]\nmodo=ESCPOS\nfila=Termica-80\ncolunas_80mm=42\ncolunas_58mm=24\n"
                                    "gaveta=Sim\n");
        const PrinterSettingsRead read = Ler_Configuracao_Impressao(folder.path());
        QCOMPARE(read.problems, QString());
        QCOMPARE(read.settings.mode, PrinterSettings::Mode::EscPos);
        QCOMPARE(read.settings.queue, QString("Termica-80"));
        QCOMPARE(read.settings.columns.mm80, 42);
        QCOMPARE(read.settings.columns.mm58, 24);
        QVERIFY(read.settings.openDrawer);
        const ReceiptDevices devices(read.settings);
        QVERIFY(dynamic_cast<EscPosReceiptPrinter*>(devices.printer()));
        QVERIFY(devices.drawer());
    }

    // Each bad value is named with what to write instead, and its default is
    // used; a good one, up to the ends of its range, is taken as written.
    void badValuesAreReportedAndDefaultsUsed_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("columns80");
        QTest::addColumn<int>("columns58");
        QTest::addColumn<bool>("drawer");
        QTest::newRow("every value bad")
            << QByteArray("[impressao]\nmodo=termica\nfila=T\ncolunas_80mm=quarenta\ncolunas_58mm=500\ngaveta=talvez\n")
            << QStringList{"O valor \"termica\" de \"modo\" não é válido (use pagina ou escpos); será usado \"pagina\".",
                           "O valor \"quarenta\" de \"colunas_80mm\" não é válido (use um número inteiro de 20 a 80); "
                           "será usado 48.",
                           "O valor \"500\" de \"colunas_58mm\" não é válido (use um número inteiro de 20 a 80); "
                           "será usado 32.",
                           "O valor \"talvez\" de \"gaveta\" não é válido (use sim ou nao); será usado \"nao\"."}
            << int(PrinterSettings::Mode::Page) << 48 << 32 << false;
        QTest::newRow("raw mode without a queue")
            << QByteArray("[impressao]\nmodo=escpos\nfila=\ngaveta=sim\ncolunas_58mm=19\n")
            << QStringList{"O valor \"19\" de \"colunas_58mm\" não é válido (use um número inteiro de 20 a 80); será "
                           "usado 32.",
                           "\"modo\" é escpos, mas \"fila\" está vazia: indique o nome da fila da impressora de "
                           "recibos. Até lá os recibos saem como página na impressora padrão."}
            << int(PrinterSettings::Mode::Page) << 48 << 32 << true;
        QTest::newRow("20 and 80 columns are taken")
            << QByteArray("[impressao]\ncolunas_80mm=20\ncolunas_58mm=80\n") << QStringList{}
            << int(PrinterSettings::Mode::Page) << 20 << 80 << false;
        QTest::newRow("80 columns on the 80 mm roll")
            << QByteArray("[impressao]\ncolunas_80mm=80\n") << QStringList{} << int(PrinterSettings::Mode::Page) << 80
            << 32 << false;
        QTest::newRow("19 and 81 columns are refused")
            << QByteArray("[impressao]\ncolunas_80mm=19\ncolunas_58mm=81\n")
            << QStringList{"O valor \"19\" de \"colunas_80mm\" não é válido (use um número inteiro de 20 a 80); será "
                           "usado 48.",
                           "O valor \"81\" de \"colunas_58mm\" não é válido (use um número inteiro de 20 a 80); será "
                           "usado 32."}
            << int(PrinterSettings::Mode::Page) << 48 << 32 << false;
        QTest::newRow("81 columns on the 80 mm roll")
            << QByteArray("[impressao]\ncolunas_80mm=81\n")
            << QStringList{"O valor \"81\" de \"colunas_80mm\" não é válido (use um número inteiro de 20 a 80); será "
                           "usado 48."}
            << int(PrinterSettings::Mode::Page) << 48 << 32 << false;
    }

    void badValuesAreReportedAndDefaultsUsed()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, problems);
        const SettingsFolder folder(file);
        const PrinterSettingsRead read = Ler_Configuracao_Impressao(folder.path());
        const QString path = QDir::toNativeSeparators(folder.filePath());
        QCOMPARE(read.problems, problems.isEmpty() ? QString()
                                                   : QString("No arquivo de configuração \"%1\":\n").arg(path)
                                                         + problems.join('\n'));
        QTEST(int(read.settings.mode), "mode");
        QTEST(read.settings.columns.mm80, "columns80");
        QTEST(read.settings.columns.mm58, "columns58");
        QTEST(read.settings.openDrawer, "drawer");
        // The shop's file is left as the shop wrote it.
        QFile kept(folder.filePath());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), file);
    }
};

QTEST_GUILESS_MAIN(PrinterSettingsTest)
#include "tst_printer_settings.moc"
