#pragma once

#include "common/pix_settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

class ReceiptPrinter;

// A Pix charge of one sale: the payment code the payer's bank app reads, its
// transaction id (which the receipt carries too) and the amount as the
// cashier and the payer read it.
struct CobrancaPix {
    QByteArray payload;
    QString transaccion;
    QString monto;   // "R$ 12,34"
};

// The charge of a sale's total (the unformatted text of a double) to the
// shop's key, made at a moment by a till; none when the total is not above
// zero, since no one pays a Pix of nothing.
std::optional<CobrancaPix> Preparar_Pix(const PixSettings& pix, int caixa, const QDateTime& momento,
                                        const QString& total);

// The slip a payer scans from paper: the shop's name, "Pague com Pix", the
// amount and the code, on a roll of the given width. Ends the document; a
// PrintError passes through.
void Imprimir_Qr_Pix(ReceiptPrinter& printer, int paperWidthMm, const QString& loja, const CobrancaPix& cobranca);
