// The sale window's payment: the payment details handed over by the payment
// dialog and the recording of the paid sale.
#include "sale/form1.h"

#include <QFrame>

std::optional<VentaRegistrada> Form1::CobrarEfectivo(const QString& pagaCon, const QString& vuelto)
{
    if (venta_.isEmpty())
        return std::nullopt;
    Text10 = QStringLiteral("EFECTIVO");
    Text11 = pagaCon;
    Text12 = vuelto;
    return guardar_Click();
}

std::optional<VentaRegistrada> Form1::CobrarTarjeta()
{
    if (venta_.isEmpty())
        return std::nullopt;
    Text10 = QStringLiteral("TARJETA");
    return guardar_Click();
}

// The entry panel and the window, disabled while the payment dialog is open.
void Form1::Devolver_Venta()
{
    Frame2->setEnabled(true);
    setEnabled(true);
}

// A payment is never recorded for an empty sale, such as the one a second,
// late click finds after the first has recorded and cleared it. The entry is
// usable again first, so that the cleared window takes the next code.
std::optional<VentaRegistrada> Form1::guardar_Click()
{
    if (venta_.isEmpty())
        return std::nullopt;
    Devolver_Venta();
    std::optional<VentaRegistrada> registrada;
    run([&] { registrada = Registrar_Venta(); });
    return registrada;
}

// The sale is stored whole or not at all; on a failure nothing is cleared,
// so the cashier can pay again.
VentaRegistrada Form1::Registrar_Venta()
{
    VentaRegistrada venta{venta_.lineas(), {Text10, venta_.totalAPagar, Text4, Text3, platform().clock.now()}};
    Text3 = RegistroVenta(platform().folder).registrar(venta.lineas, venta.sesion);
    venta.sesion.fechaInicio = Text3;
    Command2_Click();
    return venta;
}
