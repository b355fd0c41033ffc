// The sale window's payment: the payment details handed over by the payment
// dialog and the recording of the paid sale.
#include "sale/form1.h"

#include "sale/registro_venta.h"

bool Form1::CobrarEfectivo(const QString& pagaCon, const QString& vuelto)
{
    Text10 = QStringLiteral("EFECTIVO");
    Text11 = pagaCon;
    Text12 = vuelto;
    return guardar_Click();
}

bool Form1::CobrarTarjeta()
{
    Text10 = QStringLiteral("TARJETA");
    return guardar_Click();
}

bool Form1::guardar_Click()
{
    return run([this] { Registrar_Venta(); });
}

// The sale is stored whole or not at all; on a failure nothing is cleared,
// so the cashier can pay again.
void Form1::Registrar_Venta()
{
    const DatosSesion sesion{Text10, venta_.totalAPagar, Text4, Text3, platform().clock.now()};
    Text3 = RegistroVenta(platform().folder).registrar(venta_.lineas(), sesion);
    Command2_Click();
}
