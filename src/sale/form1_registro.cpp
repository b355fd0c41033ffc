// The sale window's payment: the payment details handed over by the payment
// dialog and the recording of the paid sale.
#include "sale/form1.h"

#include "sale/registro_venta.h"
#include "store/outbox.h"

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

std::optional<VentaRegistrada> Form1::CobrarPix()
{
    if (venta_.isEmpty())
        return std::nullopt;
    Text10 = QStringLiteral("PIX");
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
// so the cashier can pay again. A till on a shop's server gives the sale an
// id; when the server cannot be reached, or went away while it committed the
// sale, the sale is kept in the till's outbox under that id, and the server
// recognises it if it was stored after all: never twice.
VentaRegistrada Form1::Registrar_Venta()
{
    VentaRegistrada venta{venta_.lineas(), {Text10, venta_.totalAPagar, Text4, Text3, platform().clock.now()}};
    if (!envio_) {
        Text3 = RegistroVenta(platform().folder).registrar(venta.lineas, venta.sesion);
    } else {
        const RegistroVenta::Grabacion grabacion =
            RegistroVenta(platform().folder).registrarOGuardar(venta, newSaleId());
        Text3 = grabacion.inicio;
        if (grabacion.guardadaParaServidor)
            Venta_Guardada_Para_Servidor();
    }
    venta.sesion.fechaInicio = Text3;
    Command2_Click();
    return venta;
}
