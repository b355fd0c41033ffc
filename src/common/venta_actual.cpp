#include "common/venta_actual.h"

#include "common/numbers.h"

VentaActual::Cambio VentaActual::agregar(const ProductoLeido& producto, const QString& cantidad)
{
    Cambio cambio;
    if (lineas_.isEmpty()) {
        lineas_.append(nuevaLinea(producto, cantidad, 1));
        cantidadEnLista = lineas_.first().cantidad;
        cambio = {0, true};
    } else if (const int indice = lineaDe(producto.codigo); indice >= 0) {
        sumarCantidad(lineas_[indice], A_Numero(cantidad));
        cantidadEnLista = lineas_[indice].cantidad;
        cambio = {indice, false};
    } else {
        lineas_.append(nuevaLinea(producto, cantidad, size() + 1));
        cantidadEnLista = cantidad;   // the quantity as typed, not rewritten
        cambio = {size() - 1, true};
    }
    stockCritico = A_Texto(producto.stockCritico);
    cantidadEnStock = A_Texto(producto.cantidad);
    return cambio;
}

VentaActual::Deduccion VentaActual::deducir(const QString& codigo, const QString& cantidad)
{
    if (lineas_.isEmpty())
        return Deduccion::ListaVacia;
    const double quitar = A_Numero(cantidad);
    const int indice = lineaDe(codigo);
    if (indice >= 0) {
        LineaVenta& linea = lineas_[indice];
        // Compared in single precision: a typed quantity a rounding hair above the line's still passes.
        if (static_cast<float>(quitar) > static_cast<float>(A_Numero(linea.cantidad)))
            return Deduccion::CantidadMayor;
        sumarCantidad(linea, -quitar);
    }
    compactar();
    return indice >= 0 ? Deduccion::Hecha : Deduccion::CodigoAusente;
}

VentaActual::Cambio VentaActual::agregarEtiqueta(const ProductoLeido& producto, const LineaVenta& linea)
{
    lineas_.append(linea);
    lineas_.last().numero = QString::number(size());
    double enLista = 0;
    for (const LineaVenta& otra : std::as_const(lineas_)) {
        if (otra.codigo == producto.codigo)
            enLista += A_Numero(otra.cantidad);
    }
    cantidadEnLista = A_Texto(enLista);
    stockCritico = A_Texto(producto.stockCritico);
    cantidadEnStock = A_Texto(producto.cantidad);
    return {size() - 1, true};
}

VentaActual::Deduccion VentaActual::quitarEtiqueta(const QString& etiqueta)
{
    if (lineas_.isEmpty())
        return Deduccion::ListaVacia;
    for (qsizetype i = lineas_.size() - 1; i >= 0; --i) {
        if (lineas_.at(i).etiqueta == etiqueta) {
            lineas_.removeAt(i);
            compactar();
            return Deduccion::Hecha;
        }
    }
    return Deduccion::CodigoAusente;
}

QString VentaActual::totalTexto() const
{
    double total = 0;
    for (const LineaVenta& linea : lineas_)
        total += A_Numero(linea.ventaTotal);
    return A_Texto(total);
}

int VentaActual::lineaDe(const QString& codigo) const
{
    for (int i = 0; i < size(); ++i) {
        if (lineas_.at(i).codigo == codigo && lineas_.at(i).etiqueta.isEmpty())
            return i;
    }
    return -1;
}

void VentaActual::compactar()
{
    QList<LineaVenta> restantes;
    for (const LineaVenta& linea : std::as_const(lineas_)) {
        if (A_Numero(linea.cantidad) > 0) {
            restantes.append(linea);
            restantes.last().numero = QStringLiteral("1");
        }
    }
    lineas_ = std::move(restantes);
}
