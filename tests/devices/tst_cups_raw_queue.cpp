#include "common/number_settings.h"
#include "common/qr_matrix.h"
#include "devices/escpos_qr.h"
#include "devices/escpos_cash_drawer.h"
#include "devices/escpos_receipt_printer.h"
#include "devices/raw_print_queue.h"
#include "dialogs/cobranca_pix.h"
#include "dialogs/recibos.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cups/cups.h>
#include <sys/prctl.h>
#include <csignal>
#include <unistd.h>

namespace {

constexpr int WAIT_MS = 30000;
const QString QUEUE = "recibos";
const QString DRAWER_QUEUE = "gaveta";
const QString STOPPED_QUEUE = "recibos-parado";
const QString PAUSED_QUEUE = "recibos-pausado";

// A roll printer that takes the bytes as they come: the service passes them
// through unchanged to its device, a file.
const char ROLL_PRINTER_DESCRIPTION[] = R"ppd(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "RECIBOS.PPD"
*Manufacturer: "Generic"
*Product: "(Receipts)"
*ModelName: "Receipts"
*ShortNickName: "Receipts"
*NickName: "Receipts"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*FileSystem: False
*Throughput: "1"
*cupsFilter: "application/vnd.cups-raw 0 gziptoany"
*OpenUI *PageSize: PickOne
*DefaultPageSize: Roll
*PageSize Roll/Roll: ""
*CloseUI: *PageSize
*DefaultPageRegion: Roll
*PageRegion Roll/Roll: ""
*DefaultImageableArea: Roll
*ImageableArea Roll/Roll: "0 0 226 800"
*DefaultPaperDimension: Roll
*PaperDimension Roll/Roll: "226 800"
)ppd";

std::optional<QString> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(WAIT_MS) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

// The bytes that reached the device, once they are the expected ones or
// half a minute has passed.
QByteArray waitForDevice(const QString& path, const QByteArray& expected)
{
    QDeadlineTimer deadline(WAIT_MS);
    QByteArray bytes;
    while (!deadline.hasExpired()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        if (bytes == expected)
            return bytes;
        QThread::msleep(100);
    }
    return bytes;
}

// Keeps a copy of each job on its way to the real queue.
class CopyingQueue : public RawPrintQueue {
public:
    explicit CopyingQueue(RawPrintQueue& real) : real_(real) {}
    void send(const QByteArray& data, const QString& title) override
    {
        sent = data;
        real_.send(data, title);
    }
    QByteArray sent;

private:
    RawPrintQueue& real_;
};

Recibo venda()
{
    Recibo recibo;
    recibo.filas = {{"Café Moído Pilão 500g", "1", "18,9", "18,9"}, {"Feijão Carioca nº 1", "3", "8,49", "25,47"}};
    recibo.total = "R$ 44,37";
    recibo.pagaCon = "50";
    recibo.vuelto = "5,63";
    recibo.tipoPago = "0";
    recibo.momento = QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2));
    return recibo;
}

}   // namespace

// A printing service of the test's own, beside the machine's, with raw queues
// whose device is a file; the receipts go through the real queue class and
// are read back from the file.
class CupsRawQueueTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        if (QStandardPaths::findExecutable("lpadmin").isEmpty() || !QFile::exists("/usr/sbin/cupsd"))
            QSKIP("the printing service (cups, cups-client) is not installed");
        if (geteuid() != 0)
            QSKIP("only root can run a printing service of the test's own");
        QVERIFY(root_.isValid());
        for (const char* folder : {"spool", "tmp", "cache", "state"})
            QVERIFY(QDir(root_.path()).mkpath(folder));
        const QString socket = root_.filePath("cups.sock");
        QVERIFY(writeText(root_.filePath("cupsd.conf"),
                          QString("Listen %1\nBrowsing Off\nLogLevel warn\nDefaultAuthType None\n"
                                  "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                  "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                  "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                              .arg(socket)
                              .toUtf8()));
        const QString r = root_.path();
        QVERIFY(writeText(root_.filePath("cups-files.conf"),
                          QString("ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\n"
                                  "StateDir %1/state\nErrorLog %1/error_log\nAccessLog %1/access_log\n"
                                  "PageLog %1/page_log\nFileDevice Yes\nSystemGroup root\n")
                              .arg(r)
                              .toUtf8()));
        QVERIFY(writeText(root_.filePath("recibos.ppd"), ROLL_PRINTER_DESCRIPTION));
        // This process and the tools it runs talk to the test's own service only.
        qputenv("CUPS_SERVER", socket.toUtf8());
        // The service ends with the test, however the test ends.
        scheduler_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        scheduler_.start("/usr/sbin/cupsd", {"-f", "-c", root_.filePath("cupsd.conf"), "-s",
                                             root_.filePath("cups-files.conf")});
        QVERIFY2(scheduler_.waitForStarted(WAIT_MS), "the printing service did not start");
        QDeadlineTimer deadline(WAIT_MS);
        while (!deadline.hasExpired() && !run("lpstat", {"-r"}).value_or("").contains("is running"))
            QThread::msleep(100);
        QVERIFY2(!deadline.hasExpired(), "the printing service did not answer within half a minute");
        for (const QString& queue : {QUEUE, DRAWER_QUEUE, STOPPED_QUEUE, PAUSED_QUEUE})
            QVERIFY(run("lpadmin", {"-p", queue, "-E", "-v", "file://" + device(queue), "-P",
                                    root_.filePath("recibos.ppd")}));
        QVERIFY(run("cupsreject", {STOPPED_QUEUE}));
        QVERIFY(run("cupsdisable", {PAUSED_QUEUE}));
    }

    void cleanupTestCase()
    {
        if (scheduler_.state() == QProcess::NotRunning)
            return;
        scheduler_.terminate();
        if (!scheduler_.waitForFinished(WAIT_MS))
            scheduler_.kill();
        scheduler_.waitForFinished(WAIT_MS);
    }

    // The device gets the very bytes of the receipt, with its code page,
    // accents and cut, straight from memory: no temporary file is made.
    void receiptReachesTheQueueUnchanged_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("80 mm") << 80;
        QTest::newRow("58 mm") << 58;
    }

    void receiptReachesTheQueueUnchanged()
    {
        QFETCH(int, width);
        QTemporaryDir temp;
        QFile::remove(device(QUEUE));
        const QByteArray tempBefore = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toUtf8());
        CupsRawQueue real(QUEUE);
        CopyingQueue queue(real);
        EscPosReceiptPrinter printer(queue, {});
        QString why;
        try {
            if (width == 80)
                Recibo_80mm(printer, venda());
            else
                Recibo_58mm(printer, venda());
        } catch (const PrintError& error) {
            why = error.message();
        }
        qputenv("TMPDIR", tempBefore);
        QCOMPARE(why, QString());
        QVERIFY(QDir(temp.path()).isEmpty());

        const QByteArray arrived = waitForDevice(device(QUEUE), queue.sent);
        QCOMPARE(arrived.toHex(' '), queue.sent.toHex(' '));
        QVERIFY(arrived.startsWith(QByteArray("\x1b\x40\x1b\x74\x03", 5)));
        QVERIFY(arrived.contains("Caf\x82 Mo\xa1" "do Pil\x84o 500g"));
        QVERIFY(arrived.contains("Feij\x84o Carioca n\xa7 1"));
        QVERIFY(arrived.endsWith(QByteArray("\n\n\n\n\x1d\x56\x42\x00", 8)));
    }

    // The Pix slip's code reaches the printer as its own QR commands, with a
    // module size that fits the roll and the payment code whole.
    void pixSlipCodeReachesTheQueue_data() { receiptReachesTheQueueUnchanged_data(); }

    void pixSlipCodeReachesTheQueue()
    {
        QFETCH(int, width);
        QFile::remove(device(QUEUE));
        CupsRawQueue real(QUEUE);
        CopyingQueue queue(real);
        EscPosReceiptPrinter printer(queue, {});
        const std::optional<CobrancaPix> pix =
            Preparar_Pix({"+5581999998888", "Padaria Pão Quente", "Recife"}, 3, QDateTime(QDate(2024, 3, 5), QTime(9, 0)),
                         "1234,5");
        QVERIFY(pix);
        try {
            Imprimir_Qr_Pix(printer, width, "Padaria Pão Quente", *pix);
        } catch (const PrintError& error) {
            QFAIL(qPrintable(error.message()));
        }
        const QByteArray arrived = waitForDevice(device(QUEUE), queue.sent);
        QCOMPARE(arrived.toHex(' '), queue.sent.toHex(' '));
        QVERIFY(arrived.contains("Pague com Pix"));
        QVERIFY(arrived.contains("R$ 1.234,50"));

        const int modules = QrMatrix::encode(pix->payload)->size();
        QVERIFY(arrived.contains(QByteArray("\x03\x00" "1C", 4) + char(EscPos::qrModuleSize(modules, width))));
        QVERIFY(arrived.contains("1P0" + pix->payload));
    }

    void drawerPulseReachesTheQueue()
    {
        CupsRawQueue queue(DRAWER_QUEUE);
        EscPosCashDrawer drawer(queue);
        try {
            drawer.open();
        } catch (const PrintError& error) {
            QFAIL(qPrintable(error.message()));
        }
        const QByteArray pulse("\x1b\x40\x1b\x70\x00\x19\xfa", 7);
        QCOMPARE(waitForDevice(device(DRAWER_QUEUE), pulse).toHex(' '), pulse.toHex(' '));
    }

    void failuresInTheProgramsWords_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("serviceRunning");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("jobsWaiting");
        QTest::newRow("not accepting") << STOPPED_QUEUE << true
                                       << "a impressora \"recibos-parado\" não está aceitando trabalhos" << 0;
        QTest::newRow("no such queue") << "nao-existe" << true << "a impressora \"nao-existe\" não foi encontrada"
                                       << 0;
        QTest::newRow("paused") << PAUSED_QUEUE << true
                                << "a impressora \"recibos-pausado\" está pausada: o trabalho \"Recibo\" aguarda na "
                                   "fila e só sai quando ela for retomada"
                                << 1;
        QTest::newRow("service not running") << QUEUE << false
                                             << "o serviço de impressão do computador não está em execução "
                                                "(reinicie o computador ou peça ao técnico que o inicie)"
                                             << 0;
    }

    void failuresInTheProgramsWords()
    {
        QFETCH(QString, queue);
        QFETCH(bool, serviceRunning);
        QFETCH(QString, message);
        QFETCH(int, jobsWaiting);
        QFile::remove(device(queue));
        const qsizetype pausedBefore = jobsIn(PAUSED_QUEUE);
        // A socket no service listens on stands for a stopped service.
        if (!serviceRunning)
            cupsSetServer(qPrintable(root_.filePath("parado.sock")));
        CupsRawQueue raw(queue);
        EscPosReceiptPrinter printer(raw, {});
        QString why;
        try {
            Recibo_58mm(printer, venda());
        } catch (const PrintError& error) {
            why = error.message();
        }
        cupsSetServer(nullptr);
        QCOMPARE(why, message);
        QVERIFY(!QFile::exists(device(queue)));
        QCOMPARE(jobsIn(PAUSED_QUEUE) - pausedBefore, qsizetype(jobsWaiting));
    }

private:
    QString device(const QString& queue) const { return root_.filePath(queue + ".bin"); }
    static qsizetype jobsIn(const QString& queue)
    {
        return run("lpstat", {"-o", queue}).value_or(QString()).count(queue + u'-');
    }

    QTemporaryDir root_{QDir::tempPath() + "/rawq-XXXXXX"};
    QProcess scheduler_;
};

QTEST_GUILESS_MAIN(CupsRawQueueTest)
#include "tst_cups_raw_queue.moc"
