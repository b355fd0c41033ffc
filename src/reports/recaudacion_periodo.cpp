#include "reports/recaudacion_periodo.h"

#include "common/date_text.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QHash>

#include <charconv>
#include <cmath>

namespace {

// Adds every line of the record set to the products, one per code, found
// through a hash of the codes already listed.
LineasRecaudadas acumularLineas(RecordSet& lineas)
{
    LineasRecaudadas resultado;
    QHash<QString, qsizetype> posicionDe;
    const int columnaCodigo = lineas.column(Recaudacion::CodigoProducto);
    const int columnaNombre = lineas.column(Recaudacion::NombreProducto);
    const int columnaCantidad = lineas.column(Recaudacion::Cantidad);
    const int columnaCosto = lineas.column(Recaudacion::TotalCosto);
    const int columnaVenta = lineas.column(Recaudacion::TotalVenta);
    const int columnaCategoria = lineas.column(Recaudacion::Categoria);
    for (; !lineas.eof(); lineas.moveNext()) {
        const double cantidad = lineas.number(columnaCantidad);
        const double costo = lineas.number(columnaCosto);
        const double venta = lineas.number(columnaVenta);
        resultado.costo += costo;
        resultado.venta += venta;
        const QString codigo = lineas.text(columnaCodigo);
        const auto encontrado = posicionDe.constFind(codigo);
        if (encontrado == posicionDe.cend()) {
            posicionDe.insert(codigo, resultado.productos.size());
            resultado.productos.append({codigo, lineas.text(columnaNombre), comoEnCelda(cantidad), comoEnCelda(costo),
                                        comoEnCelda(venta), lineas.text(columnaCategoria)});
            continue;
        }
        ProductoRecaudado& producto = resultado.productos[*encontrado];
        producto.cantidad = comoEnCelda(producto.cantidad + comoEnCelda(cantidad));
        producto.costo = comoEnCelda(producto.costo + comoEnCelda(costo));
        producto.venta = comoEnCelda(producto.venta + comoEnCelda(venta));
    }
    return resultado;
}

QVariantList limitesDe(const PeriodoMensual& mes)
{
    return {toStoredDateTime(mes.desde), toStoredDateTime(mes.hasta)};
}

void sumarPagos(RecordSet& fila, PagosRecaudados& pagos)
{
    pagos.sesionEncontrada = true;
    pagos.efectivo += fila.number(TipoPago::efectivo);
    pagos.tarjeta += fila.number(TipoPago::tarjeta);
    pagos.pix += fila.numberOrZero(TipoPago::pix);
}

}   // namespace

QStringList ProductoRecaudado::celdas() const
{
    return {codigo, nombre, A_Texto(cantidad), A_Texto(costo), A_Texto(venta), categoria};
}

double comoEnCelda(double value)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    // The same 15 significant digits, correctly rounded, that the number text is written with.
    char buffer[40];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    double result = 0;
    std::from_chars(buffer, written.ptr, result);
    return result;
}

PeriodoMensual periodoDelMes(int ano, int mes)
{
    const QDate primerDia(ano, mes, 1);
    return {QDateTime(primerDia, QTime(0, 0)), QDateTime(primerDia.addMonths(1), QTime(0, 0))};
}

LineasRecaudadas lineasDeSesion(Connection& conexion, const SesionDeCaja& sesion)
{
    RecordSet lineas(conexion, Query::RecaudacionDeSesion, QVariantList{toStoredDateTime(sesion.inicio), sesion.caja});
    return acumularLineas(lineas);
}

LineasRecaudadas lineasDelMes(Connection& conexion, const PeriodoMensual& mes)
{
    RecordSet lineas(conexion, Query::RecaudacionDelPeriodo, limitesDe(mes));
    return acumularLineas(lineas);
}

bool hayRecaudacion(Connection& conexion)
{
    RecordSet lineas(conexion, Query::Recaudacion);
    return !lineas.isEmpty();
}

PagosRecaudados pagosDeSesion(Connection& conexion, const SesionDeCaja& sesion)
{
    PagosRecaudados pagos;
    RecordSet fila(conexion, Query::TipoPagoDeSesion, QVariantList{toStoredDateTime(sesion.inicio), sesion.caja});
    if (!fila.eof()) {   // later rows with the same start are not read
        sumarPagos(fila, pagos);
        pagos.fechaCierre = fila.text(TipoPago::FechaCierre);
    }
    return pagos;
}

PagosRecaudados pagosDelMes(Connection& conexion, const PeriodoMensual& mes)
{
    PagosRecaudados pagos;
    RecordSet filas(conexion, Query::TipoPagoDelPeriodo, limitesDe(mes));
    for (; !filas.eof(); filas.moveNext())
        sumarPagos(filas, pagos);
    return pagos;
}
