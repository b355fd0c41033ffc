#include "sale/ultima_venta.h"

#include "common/numbers.h"
#include "common/sale_line.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

namespace {

// "0" cash, "1" card; any other kind prints no payment line.
QString tipoDelRecibo(const QString& tipoPago)
{
    if (tipoPago == QLatin1String("EFECTIVO"))
        return QStringLiteral("0");
    if (tipoPago == QLatin1String("TARJETA"))
        return QStringLiteral("1");
    return {};
}

Recibo::Fila filaDe(const RecordSet& linea)
{
    return {linea.text(Temporal::NombreProducto), linea.text(Temporal::Cantidad),
            linea.text(Temporal::ValorUnitario), linea.text(Temporal::TotalVenta)};
}

}   // namespace

std::optional<Recibo> Leer_Ultima_Venta(const QString& folder)
{
    Connection conexion(folder);
    RecordSet temporal(conexion, Query::Temporal, RecordSet::Mode::ReadOnlyList);
    if (temporal.isEmpty())
        return std::nullopt;
    temporal.moveLast();
    Recibo recibo;
    const QString fechaVenta = temporal.text(Temporal::FechaVenta);
    recibo.momento = temporal.dateTime(Temporal::FechaVenta).value_or(QDateTime());
    recibo.tipoPago = tipoDelRecibo(temporal.text(Temporal::TipoPago));
    double total = 0;
    for (; !temporal.bof() && temporal.text(Temporal::FechaVenta) == fechaVenta; temporal.movePrevious()) {
        recibo.filas.prepend(filaDe(temporal));
        if (!temporal.isNull(Temporal::TotalVenta))
            total += temporal.number(Temporal::TotalVenta);
    }
    recibo.total = textoTotal(A_Texto(total));
    return recibo;
}
