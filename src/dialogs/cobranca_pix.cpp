#include "dialogs/cobranca_pix.h"

#include "common/br_code.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/receipt_printer.h"

#include <cmath>

std::optional<CobrancaPix> Preparar_Pix(const PixSettings& pix, int caixa, const QDateTime& momento,
                                        const QString& total)
{
    const qint64 centavos = std::llround(roundToCents(A_Numero(total)) * 100);
    if (centavos <= 0)
        return std::nullopt;
    CobrancaPix cobranca;
    cobranca.transaccion = pixTransactionId(caixa, momento);
    cobranca.payload = brCodePayload({pix.key, pix.name, pix.city, centavos, cobranca.transaccion});
    cobranca.monto = Formato(double(centavos) / 100, FORMATO_REAIS_CENTAVOS);
    return cobranca;
}

void Imprimir_Qr_Pix(ReceiptPrinter& printer, int paperWidthMm, const QString& loja, const CobrancaPix& cobranca)
{
    using Then = ReceiptPrinter::Then;
    printer.startDocument(paperWidthMm);
    printer.setBold(true);
    printer.setFontSize(11);
    printer.print(loja, Then::EndLine);
    printer.print(QStringLiteral("Pague com Pix"), Then::EndLine);
    printer.print(cobranca.monto, Then::EndLine);
    printer.setBold(false);
    printer.setFontSize(10);
    printer.print(QStringLiteral(" "), Then::EndLine);
    printer.printQrCode(cobranca.payload);
    printer.print(QStringLiteral(" "), Then::EndLine);
    printer.print(cobranca.transaccion, Then::EndLine);
    for (int i = 0; i < 4; ++i)
        printer.print(QStringLiteral(" "), Then::EndLine);
    printer.endDocument();
}
