#include "common/number_settings.h"
#include "devices/escpos_cash_drawer.h"
#include "devices/escpos_receipt_printer.h"
#include "devices/raw_print_queue.h"
#include "dialogs/recibos.h"

#include <QtTest>

Q_DECLARE_METATYPE(Recibo)

namespace {

// The printer's command bytes, as its manual lists them.
const QByteArray START = QByteArray("\x1b\x40\x1b\x74\x03", 5);   // initialize, code page 860
const QByteArray CUT = QByteArray("\x1d\x56\x42\x00", 4);
const QByteArray BOLD_TALL = QByteArray("\x1b\x45\x01\x1d\x21\x01", 6);
const QByteArray PLAIN = QByteArray("\x1b\x45\x00\x1d\x21\x00", 6);

// Keeps every job it is handed.
class RecordingQueue : public RawPrintQueue {
public:
    void send(const QByteArray& data, const QString& title) override
    {
        if (!failure.isEmpty())
            throw PrintError(failure);
        jobs.append(data);
        titles.append(title);
    }
    QList<QByteArray> jobs;
    QStringList titles;
    QString failure;
};

QByteArray lines(const QList<QByteArray>& texts)
{
    QByteArray bytes;
    for (const QByteArray& text : texts)
        bytes += text + '\n';
    return bytes;
}

QByteArray spaces(int count)
{
    return QByteArray(count, ' ');
}

QDateTime momento()
{
    return QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2));
}

Recibo cashSale()
{
    return {{{"Açúcar Cristal 1kg", "2", "4,5", "9"}}, "R$ 9", "10", "1", "0", momento()};
}

Recibo cardSale()
{
    return {{{"Café Moído Pilão 500g", "1", "18,9", "18,9"},
             {"Feijão Carioca nº 1", "3", "8,49", "25,47"},
             {"Pão Francês kg", "0,75", "15", "11,25"}},
            "R$ 55,62",
            "",
            "",
            "1",
            momento()};
}

QByteArray printed(int width, const Recibo& recibo, RollColumns columns = {})
{
    RecordingQueue queue;
    EscPosReceiptPrinter printer(queue, columns);
    if (width == 80)
        Recibo_80mm(printer, recibo);
    else
        Recibo_58mm(printer, recibo);
    return queue.jobs.value(0);
}

// What a receipt prints before its sale lines, and from the rule under them on.
QByteArray head80()
{
    return lines({spaces(20) + "05/03/2024 8:15:02", QByteArray(48, '-'), QByteArray(14, '-'), "",
                  "Descri\x87\x84o" + spaces(26) + "Quantidade", spaces(5) + "Total", ""});
}

QByteArray head58()
{
    return lines({"   05/03/2024 8:15:02", "   " + QByteArray(26, '-'), "", "Detalle:", ""});
}

QByteArray hexOf(const QByteArray& bytes)
{
    return bytes.toHex(' ');
}

}   // namespace

// Receipts as the roll printer's own commands, compared byte for byte.
class EscPosReceiptPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void bothLayoutsByteForByte_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<Recibo>("recibo");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("80 mm, one line, cash")
            << 80 << cashSale()
            << START + head80()
                   + lines({"A\x87\xa3" "car Cristal 1kg" + spaces(8) + "2" + spaces(7) + "9",
                            spaces(12) + QByteArray(11, '_'), spaces(26) + "Total       R$ 9",
                            spaces(26) + "Efectivo    10", spaces(26) + "Vuelto      $ 1", QByteArray(42, '='), "",
                            spaces(20) + "Forma de pagamento: DINHEIRO", "", "", "", ""})
                   + CUT;
        QTest::newRow("80 mm, three lines, card")
            << 80 << cardSale()
            << START + head80()
                   + lines({"Caf\x82 Mo\xa1" "do Pil\x84o 500g" + spaces(5) + "1" + spaces(7) + "18,9",
                            "Feij\x84o Carioca n\xa7 1" + spaces(7) + "3" + spaces(7) + "25,47",
                            "P\x84o Franc\x88s kg" + spaces(12) + "0,75" + spaces(4) + "11,25",
                            spaces(12) + QByteArray(11, '_'), spaces(26) + "Total       R$ 55,62",
                            spaces(26) + "Efectivo", spaces(26) + "Vuelto      $", QByteArray(42, '='), "",
                            spaces(20) + "Forma de pagamento: CART\x8eO", "", "", "", ""})
                   + CUT;
        QTest::newRow("58 mm, one line, cash")
            << 58 << cashSale()
            << START + head58()
                   + lines({"A\x87\xa3" "car Cristal 1kg", "2 x  4,5 =     9", spaces(16) + QByteArray(11, '_')})
                   + BOLD_TALL + lines({spaces(5) + "Total       R$ 9"}) + PLAIN
                   + lines({spaces(5) + "Efectivo    10", spaces(5) + "Vuelto      $ 1", QByteArray(20, '='), "",
                            " Forma de pagamento : DINHEIRO", "", "", "", ""})
                   + CUT;
        // A quantity too wide for its column puts the price on the next line, in its column.
        QTest::newRow("58 mm, three lines, card")
            << 58 << cardSale()
            << START + head58()
                   + lines({"Caf\x82 Mo\xa1" "do Pil\x84o 500g", "1 x  18,9 =    18,9", "Feij\x84o Carioca n\xa7 1",
                            "3 x  8,49 =    25,47", "P\x84o Franc\x88s kg", "0,75 x", spaces(5) + "15 =      11,25",
                            spaces(16) + QByteArray(11, '_')})
                   + BOLD_TALL + lines({spaces(5) + "Total       R$ 55,62"}) + PLAIN
                   + lines({spaces(5) + "Efectivo", spaces(5) + "Vuelto      $", QByteArray(20, '='), "",
                            " Forma de pagamento : CART\x8eO", "", "", "", ""})
                   + CUT;
    }

    void bothLayoutsByteForByte()
    {
        QFETCH(int, width);
        QFETCH(Recibo, recibo);
        QFETCH(QByteArray, expected);
        const QByteArray bytes = printed(width, recibo);
        QVERIFY2(bytes == expected, qPrintable("\n" + hexOf(bytes) + "\n" + hexOf(expected)));
        QVERIFY(bytes.endsWith(lines({"", "", "", ""}) + CUT));
    }

    // A name wider than its column keeps every letter: the values go on the
    // next line in their columns, and a line wider than the roll goes on below.
    void nameLongerThanItsColumn_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QByteArray>("rows");
        const QByteArray name = "Biscoito Recheado Chocolate com Morango 140g";
        QTest::newRow("80 mm") << 80 << lines({name, spaces(26) + "2" + spaces(7) + "9"});
        QTest::newRow("58 mm") << 58 << lines({"Biscoito Recheado Chocolate com", "Morango 140g", "2 x  4,5 =     9"});
    }

    void nameLongerThanItsColumn()
    {
        QFETCH(int, width);
        QFETCH(QByteArray, rows);
        Recibo recibo = cashSale();
        recibo.filas[0].nombre = "Biscoito Recheado Chocolate com Morango 140g";
        const QByteArray bytes = printed(width, recibo);
        QVERIFY2(bytes.contains("\n" + rows), qPrintable(hexOf(bytes)));
    }

    // The columns follow the roll's width in characters.
    void columnsFollowTheSettings()
    {
        const QByteArray bytes = printed(80, cashSale(), {64, 32});
        QVERIFY2(bytes.contains("\nA\x87\xa3" "car Cristal 1kg" + spaces(17) + "2" + spaces(9) + "9\n"),
                 qPrintable(hexOf(bytes)));
        QVERIFY(bytes.contains("\n" + QByteArray(62, '-') + "\n"));
    }

    void textInTheCodePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Portuguese letters") << "ÇÃÕÉÚ ç ã õ é ú ª º"
                                            << QByteArray("\x80\x8e\x99\x90\x96 \x87 \x84 \x94 \x82 \xa3 \xa6 \xa7");
        QTest::newRow("accent typed apart") << QString("a\u0303o e\u0301") << QByteArray("\x84o \x82");
        QTest::newRow("nearest plain letters") << "Œuvre ŝ Łódź € “x” – …" << QByteArray("OEuvre s L\xa2" "dz EUR \"x\" - ...");
        QTest::newRow("no letter at all") << QString("sorvete \U0001F366 ☺") << QByteArray("sorvete ? ?");
        QTest::newRow("commands in a name are spaces")
            << QString("Leite") + QChar(0x1b) + "p" + QChar(0) + QChar(0x19) + QChar(0x1f) + "x" << QByteArray("Leite p   x");
    }

    void textInTheCodePage()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        RecordingQueue queue;
        EscPosReceiptPrinter printer(queue, {});
        printer.startDocument(80);
        printer.print(text, ReceiptPrinter::Then::EndLine);
        printer.endDocument();
        QCOMPARE(hexOf(queue.jobs.value(0)), hexOf(START + bytes + "\n" + CUT));
    }

    void drawerPulse()
    {
        RecordingQueue queue;
        EscPosCashDrawer drawer(queue);
        drawer.open();
        QCOMPARE(hexOf(queue.jobs.value(0)), hexOf(QByteArray("\x1b\x40\x1b\x70\x00\x19\xfa", 7)));
    }

    // The queue's refusal reaches the caller, so the sale is told about it.
    void refusalPassesThrough()
    {
        RecordingQueue queue;
        queue.failure = "a impressora \"recibos\" não foi encontrada";
        EscPosReceiptPrinter printer(queue, {});
        QString why;
        try {
            Recibo_58mm(printer, cashSale());
        } catch (const PrintError& error) {
            why = error.message();
        }
        QCOMPARE(why, queue.failure);
        EscPosCashDrawer drawer(queue);
        QVERIFY_THROWS_EXCEPTION(PrintError, drawer.open());
    }
};

QTEST_GUILESS_MAIN(EscPosReceiptPrinterTest)
#include "tst_escpos_receipt_printer.moc"
