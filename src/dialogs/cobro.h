#pragma once

#include "common/venta_actual.h"

#include <QString>

#include <optional>

// The sale side of the payment dialog: the sale it settles, the recording of
// a payment, and the sale given back when the dialog goes. The sale window
// offers it; the dialog knows nothing else of that window.
class Cobro {
public:
    // The current sale: its lines and the total to pay.
    virtual const VentaActual& venta() const = 0;
    // The logged-in user, whose receipt choice gives the roll's width.
    virtual QString usuario() const = 0;

    // Each records the current sale as paid, after the sale window is usable
    // again. A copy of the sale as recorded; none when it was refused (the
    // sale is empty, or the recording failed and the cashier was told why).
    virtual std::optional<VentaRegistrada> CobrarEfectivo(const QString& pagaCon, const QString& vuelto) = 0;
    virtual std::optional<VentaRegistrada> CobrarTarjeta() = 0;
    virtual std::optional<VentaRegistrada> CobrarPix() = 0;

    // The sale window takes its entry back, as it was before the payment.
    virtual void Devolver_Venta() = 0;

protected:
    ~Cobro() = default;
};
