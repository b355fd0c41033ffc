#include "common/number_settings.h"
#include "devices/cups_receipt_printer.h"
#include "dialogs/cobranca_pix.h"
#include "dialogs/recibos.h"
#include "support/qr_reader.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>

#include <cups/cups.h>
#include <unistd.h>

namespace {

constexpr int WAIT_MS = 60000;
const QString QUEUE = "receipts";
const QString REFUSING_QUEUE = "receipts-refusing";
const QString PAUSED_QUEUE = "receipts-paused";

// Runs a command to its end (bounded); its output, or nothing when it failed.
std::optional<QString> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool schedulerRunning()
{
    const auto status = run("lpstat", {"-r"});
    return status && status->contains("is running");
}

// The folders the PDF queue may write into, as its configuration names them.
QStringList pdfFolders()
{
    QStringList folders{QDir::homePath() + "/PDF", "/root/PDF", "/var/spool/cups-pdf/ANONYMOUS"};
    QFile conf("/etc/cups/cups-pdf.conf");
    if (conf.open(QIODevice::ReadOnly)) {
        const QRegularExpression out("^Out\\s+(\\S+)", QRegularExpression::MultilineOption);
        const auto match = out.match(QString::fromUtf8(conf.readAll()));
        if (match.hasMatch())
            folders.prepend(QString(match.captured(1)).replace("${HOME}", QDir::homePath()));
    }
    return folders;
}

QSet<QString> pdfFilesNow()
{
    QSet<QString> files;
    for (const QString& folder : pdfFolders())
        for (const QFileInfo& file : QDir(folder).entryInfoList({"*.pdf"}, QDir::Files))
            files.insert(file.absoluteFilePath());
    return files;
}

struct Printed {
    QString file;
    QString text;
};

// The first new PDF that holds the wanted text, waiting at most a minute.
Printed waitForPrintedText(const QSet<QString>& before, const QString& wanted)
{
    QDeadlineTimer deadline(WAIT_MS);
    while (!deadline.hasExpired()) {
        for (const QString& file : pdfFilesNow() - before) {
            const auto text = run("pdftotext", {"-layout", file, "-"});
            if (text && text->contains(wanted))
                return {file, *text};
        }
        QThread::msleep(200);
    }
    return {};
}

// The lines holding each wanted text, in order; fails on the first one missing.
// Runs of spaces count as one: the text is read back from where it was drawn.
QString simplified(const QString& text)
{
    return QString(text).replace(QRegularExpression("[ \\t]+"), " ");
}

void verifyInOrder(const QString& printedText, const QStringList& wanted)
{
    const QString printed = simplified(printedText);
    qsizetype from = 0;
    for (const QString& wantedText : wanted) {
        const QString text = simplified(wantedText);
        const qsizetype at = printed.indexOf(text, from);
        QVERIFY2(at >= 0, qPrintable(QString("\"%1\" missing or out of order in:\n%2").arg(text, printed)));
        from = at + text.size();
    }
}

Recibo venda(const QString& marca, const QString& arroz = "Arroz Tipo 1 ")
{
    Recibo recibo;
    recibo.filas = {{arroz + marca, "2", "6,25", "12,5"},
                    {"Feijao Carioca", "1,5", "8,49", "12,735"},
                    {"Cafe Torrado", "1", "15,9", "15,9"}};
    recibo.total = "R$ 41,135";
    recibo.pagaCon = "50";
    recibo.vuelto = "8,87";
    recibo.tipoPago = "0";
    recibo.momento = QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2));
    return recibo;
}

}   // namespace

// Prints through the system's printing service onto a PDF queue and reads the
// paper back.
class CupsReceiptPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        if (QStandardPaths::findExecutable("lpadmin").isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("the printing service tools (cups-client, poppler-utils) are not installed");
        if (!schedulerRunning()) {
            if (geteuid() != 0)
                QSKIP("the printing service is not running and only root can start it");
            if (!run("/usr/sbin/cupsd", {}))
                QSKIP("the printing service (cupsd) could not be started");
            QDeadlineTimer deadline(WAIT_MS);
            while (!schedulerRunning() && !deadline.hasExpired())
                QThread::msleep(200);
            if (!schedulerRunning())
                QSKIP("the printing service (cupsd) did not come up within a minute");
        }
        QVERIFY(run("lpadmin", {"-p", QUEUE, "-E", "-v", "cups-pdf:/", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"}));
        QVERIFY(run("lpadmin", {"-p", QUEUE, "-o", "pdftops-renderer-default=pdftocairo"}));
        QVERIFY(run("lpadmin", {"-d", QUEUE}));
        qunsetenv("LPDEST");
        qunsetenv("PRINTER");
    }

    void printsBothRollsOnTheDefaultPrinter_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("arroz");
        QTest::newRow("80 mm") << 80 << "Arroz Tipo 1 ";
        QTest::newRow("58 mm") << 58 << "Arroz Tipo 1 ";
        // A stored name with control characters prints them as spaces, on its own line.
        QTest::newRow("80 mm, control characters in a name")
            << 80 << QString("Arroz\r\nTipo\t1") + QChar(0x1b) + QChar(7) + " ";
    }

    void printsBothRollsOnTheDefaultPrinter()
    {
        QFETCH(int, width);
        QFETCH(QString, arroz);
        const QString marca = QString::number(QDateTime::currentMSecsSinceEpoch());
        const QSet<QString> before = pdfFilesNow();
        CupsReceiptPrinter printer;
        if (width == 80)
            Recibo_80mm(printer, venda(marca, arroz));
        else
            Recibo_58mm(printer, venda(marca, arroz));
        const Printed paper = waitForPrintedText(before, marca);
        const QString& printed = paper.text;
        QVERIFY2(!printed.isEmpty(), "no PDF with the receipt arrived within a minute");
        // As wide as the roll, in points, and never turned on its side.
        const auto info = run("pdfinfo", {paper.file});
        QVERIFY(info);
        const auto size = QRegularExpression("Page size:\\s+([\\d.]+) x ([\\d.]+)").match(*info);
        QVERIFY2(size.hasMatch(), qPrintable(*info));
        QCOMPARE(qRound(size.captured(1).toDouble() * 25.4 / 72), width);
        QVERIFY(size.captured(2).toDouble() >= size.captured(1).toDouble());
        if (width == 80)
            verifyInOrder(printed, {"05/03/2024 8:15:02", "Descrição", "Quantidade", "Total", "Arroz Tipo 1 " + marca,
                                    "12,5", "Feijao Carioca", "12,735", "Cafe Torrado", "15,9", "Total       R$ 41,135",
                                    "Efectivo    50", "Vuelto      $ 8,87", "Forma de pagamento: DINHEIRO"});
        else
            verifyInOrder(printed, {"05/03/2024 8:15:02", "Detalle:", "Arroz Tipo 1 " + marca, "2 x", "6,25", "= ",
                                    "12,5", "Feijao Carioca", "Cafe Torrado", "Total       R$ 41,135",
                                    "Efectivo    50", "Vuelto      $ 8,87", "Forma de pagamento : DINHEIRO"});
    }

    // The Pix slip's code, drawn on the page, scans back from the paper.
    void pixSlipScansBack_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("80 mm") << 80;
        QTest::newRow("58 mm") << 58;
    }

    void pixSlipScansBack()
    {
        QFETCH(int, width);
        const QString marca = QString::number(QDateTime::currentMSecsSinceEpoch());
        const std::optional<CobrancaPix> pix = Preparar_Pix({"contato@padaria.com.br", "Padaria São José", "Goiânia"}, 2,
                                                            QDateTime(QDate(2024, 3, 5), QTime(9, 0)), "12,34");
        QVERIFY(pix);
        const QSet<QString> before = pdfFilesNow();
        CupsReceiptPrinter printer;
        Imprimir_Qr_Pix(printer, width, "Padaria " + marca, *pix);
        const Printed paper = waitForPrintedText(before, marca);
        QVERIFY2(!paper.text.isEmpty(), "no PDF with the slip arrived within a minute");
        verifyInOrder(paper.text, {"Padaria " + marca, "Pague com Pix", "R$ 12,34", pix->transaccion});
        QTemporaryDir folder;
        QVERIFY(run("pdftoppm", {"-r", "200", "-png", "-singlefile", paper.file, folder.filePath("slip")}));
        const QImage page(folder.filePath("slip.png"));
        QVERIFY(!page.isNull());
        QCOMPARE(readQrCode(page), pix->payload);
    }

    void failuresInTheProgramsWords_data()
    {
        QTest::addColumn<QString>("queue");   // this process's default printer
        QTest::addColumn<QString>("state");   // a queue of the test's own: "rejecting" or "paused"
        QTest::addColumn<bool>("serviceRunning");
        QTest::addColumn<QString>("message");
        QTest::newRow("not accepting") << REFUSING_QUEUE << "rejecting" << true
                                       << "a impressora \"receipts-refusing\" não está aceitando trabalhos";
        QTest::newRow("no default printer") << "no-such-printer" << QString() << true
                                            << "nenhuma impressora padrão está configurada no sistema";
        QTest::newRow("paused") << PAUSED_QUEUE << "paused" << true
                                << "a impressora \"receipts-paused\" está pausada: o trabalho \"Recibo\" aguarda na "
                                   "fila e só sai quando ela for retomada";
        QTest::newRow("service not running") << QUEUE << QString() << false
                                             << "o serviço de impressão do computador não está em execução "
                                                "(reinicie o computador ou peça ao técnico que o inicie)";
    }

    // The program's own words, whatever the service answers.
    void failuresInTheProgramsWords()
    {
        QFETCH(QString, queue);
        QFETCH(QString, state);
        QFETCH(bool, serviceRunning);
        QFETCH(QString, message);
        if (!state.isEmpty()) {
            QVERIFY(run("lpadmin", {"-p", queue, "-E", "-v", "cups-pdf:/", "-m", "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"}));
            QVERIFY(run(state == "paused" ? "cupsdisable" : "cupsreject", {queue}));
        }
        qputenv("LPDEST", queue.toUtf8());
        // A socket no service listens on stands for a stopped service.
        QTemporaryDir stopped;
        if (!serviceRunning)
            cupsSetServer(qPrintable(stopped.filePath("cups.sock")));
        CupsReceiptPrinter printer;
        QString why;
        try {
            Recibo_80mm(printer, venda("x"));
        } catch (const PrintError& error) {
            why = error.message();
        }
        cupsSetServer(nullptr);
        qunsetenv("LPDEST");
        if (!state.isEmpty())
            run("lpadmin", {"-x", queue});   // with the job waiting in it
        QCOMPARE(why, message);
    }
};

QTEST_MAIN(CupsReceiptPrinterTest)
#include "tst_cups_receipt_printer.moc"
