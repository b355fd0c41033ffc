#include "sale/registro_venta.h"

#include "common/date_text.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/outbox.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/store_error.h"
#include "store/unit_of_work.h"

#include <algorithm>

namespace {

const QString EFECTIVO = QStringLiteral("EFECTIVO");
const QString TARJETA = QStringLiteral("TARJETA");
const QString PIX = QStringLiteral("PIX");

// Stock may go below zero; a product no longer in the catalogue changes
// nothing. The products are changed in the order of their codes, whatever the
// order of the lines: two tills of a shop selling the same products at the
// same moment then never wait for each other in a circle.
void Descontar_Stock(Connection& conexion, const QList<LineaVenta>& lineas)
{
    QList<const LineaVenta*> porCodigo;
    for (const LineaVenta& linea : lineas)
        porCodigo.append(&linea);
    std::sort(porCodigo.begin(), porCodigo.end(),
              [](const LineaVenta* a, const LineaVenta* b) { return a->codigo < b->codigo; });
    for (const LineaVenta* linea : porCodigo) {
        const double vendido = A_Numero(linea->cantidad);
        RecordSet producto(conexion, Query::ProductosPorNombre,
                           RecordSet::Equals{Productos::CodigoProducto, linea->codigo});
        if (producto.eof())
            continue;
        producto.setNumber(Productos::Cantidad, producto.numberOrZero(Productos::Cantidad) - vendido);
        producto.update();
    }
}

void Grabar_Lineas(Connection& conexion, const QList<LineaVenta>& lineas, const DatosSesion& sesion)
{
    const QString fechaVenta = formatDateTime(sesion.ahora);
    RecordSet temporal(conexion, Query::Temporal, RecordSet::Mode::AppendOnly);
    for (const LineaVenta& linea : lineas) {
        temporal.addNew();
        temporal.setText(Temporal::CodigoProducto, linea.codigo);
        temporal.setText(Temporal::NombreProducto, linea.nombre);
        temporal.setText(Temporal::Cantidad, linea.cantidad);
        temporal.setText(Temporal::TotalCosto, linea.costoTotal);
        temporal.setText(Temporal::TotalVenta, linea.ventaTotal);
        temporal.setText(Temporal::TipoPago, sesion.tipoPago);
        temporal.setText(Temporal::NombreUsuario, sesion.usuario);
        temporal.setText(Temporal::Categoria, linea.categoria);
        temporal.setText(Temporal::FechaInicio, sesion.fechaInicio);
        temporal.setText(Temporal::FechaVenta, fechaVenta);
        temporal.setText(Temporal::ValorUnitario, linea.ventaUnitaria);
        temporal.update();
    }
}

// Whether this till's open session holds lines of the sale's moment.
bool Ya_Grabada(Connection& conexion, const DatosSesion& sesion)
{
    RecordSet lineas(conexion, Query::TemporalPorVenta,
                     RecordSet::Equals{Temporal::FechaVenta, formatDateTime(sesion.ahora)});
    return !lineas.eof();
}

// The session start stored with the open session's first line.
QString Restaurar_Inicio(Connection& conexion, const QString& fechaInicio)
{
    RecordSet temporal(conexion, Query::InicioDeTemporal);
    return temporal.eof() ? fechaInicio : temporal.text(Temporal::FechaInicio);
}

// The takings go to the field of the payment type; any other type adds
// nothing, but the moment of the last sale is stamped all the same. The Pix
// field is written only by a Pix sale, so that a till that never takes Pix
// writes its takings row as before.
void Acumular_Pago(Connection& conexion, const DatosSesion& sesion, const QString& fechaInicio)
{
    const double monto = A_Numero(sesion.total);
    RecordSet tipoPago(conexion, Query::TipoPago, RecordSet::Equals{TipoPago::FechaInicio, fechaInicio});
    double enEfectivo = 0;
    double enTarjeta = 0;
    double enPix = 0;
    if (tipoPago.eof()) {
        tipoPago.addNew();
        tipoPago.setText(TipoPago::FechaInicio, fechaInicio);
        tipoPago.setNumber(TipoPago::CajaInicial, 0);
    } else {
        enEfectivo = tipoPago.numberOrZero(TipoPago::efectivo);
        enTarjeta = tipoPago.numberOrZero(TipoPago::tarjeta);
        enPix = sesion.tipoPago == PIX ? tipoPago.numberOrZero(TipoPago::pix) : 0;
    }
    if (sesion.tipoPago == EFECTIVO)
        enEfectivo += monto;
    else if (sesion.tipoPago == TARJETA)
        enTarjeta += monto;
    tipoPago.setNumber(TipoPago::efectivo, enEfectivo);
    tipoPago.setNumber(TipoPago::tarjeta, enTarjeta);
    if (sesion.tipoPago == PIX)
        tipoPago.setNumber(TipoPago::pix, enPix + monto);
    tipoPago.setText(TipoPago::FechaCierre, formatDateTime(sesion.ahora));
    tipoPago.update();
}

}   // namespace

namespace {

QString Grabar_Venta(Connection& conexion, const QList<LineaVenta>& lineas, const DatosSesion& sesion)
{
    Descontar_Stock(conexion, lineas);
    Grabar_Lineas(conexion, lineas, sesion);
    const QString inicio = Restaurar_Inicio(conexion, sesion.fechaInicio);
    Acumular_Pago(conexion, sesion, inicio);
    return inicio;
}

}   // namespace

QString RegistroVenta::registrarConId(const VentaRegistrada& venta, const QString& idVenta) const
{
    Connection conexion(folder_);
    return registrarConId(conexion, venta, idVenta);
}

QString RegistroVenta::registrarConId(Connection& conexion, const VentaRegistrada& venta, const QString& idVenta)
{
    return runInTransaction(conexion, [&] {
        if (!firstArrival(conexion, idVenta))
            return Restaurar_Inicio(conexion, venta.sesion.fechaInicio);
        return Grabar_Venta(conexion, venta.lineas, venta.sesion);
    });
}

RegistroVenta::Grabacion RegistroVenta::registrarOGuardar(const VentaRegistrada& venta, const QString& idVenta) const
{
    try {
        return {registrarConId(venta, idVenta), false};
    } catch (const ServerAway&) {
        Connection propio(folder_, Connection::Place::TillFile);
        runInTransaction(propio, [&] { keepForServer(propio, idVenta, venta); });
        return {venta.sesion.fechaInicio, true};
    }
}

QString RegistroVenta::registrar(const QList<LineaVenta>& lineas, const DatosSesion& sesion, bool quizaYaGrabada) const
{
    Connection conexion(folder_);
    return runInTransaction(conexion, [&] {
        if (quizaYaGrabada && Ya_Grabada(conexion, sesion))
            return Restaurar_Inicio(conexion, sesion.fechaInicio);
        return Grabar_Venta(conexion, lineas, sesion);
    });
}
