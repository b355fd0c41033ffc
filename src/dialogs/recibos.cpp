#include "dialogs/recibos.h"

#include "common/date_text.h"
#include "common/numbers.h"
#include "common/receipt_printer.h"

#include <optional>

namespace {

using Then = ReceiptPrinter::Then;

constexpr int ROLL_80_MM = 80;
constexpr int ROLL_58_MM = 58;

const QString TOTAL = QStringLiteral("Total       ");
const QString EFECTIVO = QStringLiteral("Efectivo    ");
const QString VUELTO = QStringLiteral("Vuelto      $ ");

void line(ReceiptPrinter& printer, const QString& text)
{
    printer.print(text, Then::EndLine);
}

void blank(ReceiptPrinter& printer, int count = 1)
{
    for (int i = 0; i < count; ++i)
        line(printer, QStringLiteral(" "));
}

void at(ReceiptPrinter& printer, double twips, const QString& text, Then then = Then::EndLine)
{
    printer.setPosition(twips);
    printer.print(text, then);
}

// Cash "0", card "1", Pix "PIX"; any other kind prints no payment line.
std::optional<int> kindOf(const Recibo& recibo)
{
    if (recibo.tipoPago == RECIBO_PIX)
        return 2;
    const std::optional<double> kind = lerNumero(recibo.tipoPago);
    if (kind == 0.0)
        return 0;
    if (kind == 1.0)
        return 1;
    return std::nullopt;
}

// The spaces a text starts with.
QString indentOf(const QString& text)
{
    qsizetype spaces = 0;
    while (spaces < text.size() && text.at(spaces) == u' ')
        ++spaces;
    return QString(spaces, u' ');
}

// A Pix payment names its transaction, which the shop's bank statement shows.
void paymentLine(ReceiptPrinter& printer, const Recibo& recibo, const QString& before, const QString& after)
{
    const std::optional<int> kind = kindOf(recibo);
    if (kind == 0)
        line(printer, before + QStringLiteral("DINHEIRO") + after);
    else if (kind == 1)
        line(printer, before + QStringLiteral("CARTÃO") + after);
    else if (kind == 2) {
        line(printer, before + QStringLiteral("PIX") + after);
        line(printer, indentOf(before) + QStringLiteral("Pix: ") + recibo.pixTransaccion);
    }
}

QString dated(const Recibo& recibo, const QString& indent)
{
    return indent + formatDateTime(recibo.momento);
}

}   // namespace

void Recibo_80mm(ReceiptPrinter& printer, const Recibo& recibo)
{
    printer.startDocument(ROLL_80_MM);
    line(printer, dated(recibo, QString(20, ' ')));
    line(printer, QString(62, '-'));
    blank(printer);
    line(printer, QStringLiteral("Descrição") + QString(26, ' ') + QStringLiteral("Quantidade") + QString(8, ' ')
                      + QStringLiteral("Total"));
    blank(printer);
    for (const Recibo::Fila& fila : recibo.filas) {
        at(printer, 0, fila.nombre, Then::KeepPosition);
        at(printer, 2500, fila.cantidad, Then::KeepPosition);
        at(printer, 3200, fila.valorTotal, Then::KeepPosition);
        line(printer, QStringLiteral(" "));
    }
    line(printer, QString(60, ' ') + QString(11, '_'));
    at(printer, 2500, TOTAL + recibo.total);
    at(printer, 2500, EFECTIVO + recibo.pagaCon);
    at(printer, 2500, VUELTO + recibo.vuelto);
    line(printer, QString(42, '='));
    blank(printer);
    paymentLine(printer, recibo, QString(20, ' ') + QStringLiteral("Forma de pagamento: "), QStringLiteral(" "));
    blank(printer, 4);
    printer.endDocument();
}

void Recibo_58mm(ReceiptPrinter& printer, const Recibo& recibo)
{
    printer.startDocument(ROLL_58_MM);
    printer.setFontSize(10);
    printer.setBold(false);
    line(printer, dated(recibo, QString(3, ' ')));
    line(printer, QString(3, ' ') + QString(26, '-'));
    blank(printer);
    line(printer, QStringLiteral("Detalle:"));
    blank(printer);
    for (const Recibo::Fila& fila : recibo.filas) {
        at(printer, 0, fila.nombre, Then::KeepPosition);
        line(printer, QStringLiteral(" "));
        at(printer, 0, fila.cantidad, Then::KeepPosition);
        printer.print(QStringLiteral(" x "), Then::KeepPosition);
        at(printer, 500, fila.valorUnitario, Then::KeepPosition);
        printer.print(QStringLiteral(" = "), Then::KeepPosition);
        at(printer, 1500, fila.valorTotal, Then::KeepPosition);
        line(printer, QStringLiteral(" "));
    }
    line(printer, QString(16, ' ') + QString(11, '_'));
    printer.setBold(true);
    printer.setFontSize(11);
    at(printer, 500, TOTAL + recibo.total);
    printer.setBold(false);
    printer.setFontSize(10);
    at(printer, 500, EFECTIVO + recibo.pagaCon);
    at(printer, 500, VUELTO + recibo.vuelto);
    line(printer, QString(20, '='));
    blank(printer);
    paymentLine(printer, recibo, QStringLiteral(" Forma de pagamento : "), QStringLiteral(" "));
    blank(printer, 4);
    printer.endDocument();
}
