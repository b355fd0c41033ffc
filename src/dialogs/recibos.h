#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class ReceiptPrinter;

inline const QString RECIBO_PIX = QStringLiteral("PIX");

// What a receipt prints, read from the screens at the moment of the payment.
struct Recibo {
    struct Fila {
        QString nombre;          // "Nome", as the sale list shows it
        QString cantidad;        // "Quantidade"
        QString valorUnitario;   // "Valor Unitário"
        QString valorTotal;      // "Valor Total"
    };
    QList<Fila> filas;
    QString total;      // the payment dialog's total caption
    QString pagaCon;    // the amount typed in the payment dialog (may be empty)
    QString vuelto;     // the change shown in the payment dialog (may be empty)
    QString tipoPago;   // the payment kind: "0" cash, "1" card, RECIBO_PIX Pix
    QDateTime momento;  // when printing starts
    QString pixTransaccion = {};   // a Pix payment's transaction id
};

// The two roll layouts. Each prints one whole document and ends it; a
// PrintError from the printer passes through.
void Recibo_80mm(ReceiptPrinter& printer, const Recibo& recibo);
void Recibo_58mm(ReceiptPrinter& printer, const Recibo& recibo);
