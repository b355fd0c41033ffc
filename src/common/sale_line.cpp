#include "common/sale_line.h"

#include "common/money_format.h"
#include "common/numbers.h"

namespace {

QString multiplicar(const QString& cantidad, const QString& valorUnitario)
{
    return A_Texto(A_Numero(valorUnitario) * A_Numero(cantidad));
}

// What the customer pays for a line is money: whole cents, half up on the
// decimal value (0,455 kg at 5,99 is 2,73), whatever the binary product.
QString enCentavos(const QString& cantidad, const QString& valorUnitario)
{
    return A_Texto(roundToCents(A_Numero(valorUnitario) * A_Numero(cantidad)));
}

}   // namespace

LineaVenta nuevaLinea(const ProductoLeido& p, const QString& cantidad, int numero)
{
    LineaVenta linea;
    linea.numero = QString::number(numero);
    linea.codigo = p.codigo;
    linea.nombre = p.nombre;
    linea.cantidad = A_Texto(A_Numero(cantidad));
    linea.costoUnitario = p.precioCosto;
    linea.costoTotal = multiplicar(cantidad, p.precioCosto);
    linea.ventaUnitaria = p.precioVenta;
    linea.ventaTotal = enCentavos(cantidad, p.precioVenta);
    linea.categoria = p.categoria;
    return linea;
}

void sumarCantidad(LineaVenta& linea, double cantidad)
{
    linea.cantidad = A_Texto(A_Numero(linea.cantidad) + cantidad);
    linea.costoTotal = multiplicar(linea.cantidad, linea.costoUnitario);
    linea.ventaTotal = enCentavos(linea.cantidad, linea.ventaUnitaria);
}

QStringList filaVisible(const LineaVenta& linea, int posicion)
{
    return {QString::number(posicion), linea.codigo,      linea.nombre,         linea.cantidad,
            linea.ventaUnitaria,       linea.ventaTotal,  QStringLiteral("0"),  linea.categoria};
}

QString textoTotal(const QString& total)
{
    const double valor = A_Numero(total);
    if (Valor_Inicial(total) == 0)
        return QStringLiteral("R$ ") + A_Texto(roundToCents(valor));
    return Formato(valor, FORMATO_REAIS_3);
}
