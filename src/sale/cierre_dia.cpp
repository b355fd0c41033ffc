#include "sale/cierre_dia.h"

#include "common/date_text.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/transaction.h"

#include <QList>
#include <QStringList>

namespace {

// The fields an archived line keeps, in the order they are copied.
const QStringList ARCHIVED_FIELDS = {
    QStringLiteral("CodigoProducto"), QStringLiteral("NombreProducto"), QStringLiteral("Cantidad"),
    QStringLiteral("TotalCosto"),     QStringLiteral("TotalVenta"),     QStringLiteral("TipoPago"),
    QStringLiteral("NombreUsuario"),  QStringLiteral("Categoria"),      QStringLiteral("FechaInicio"),
    QStringLiteral("FechaVenta"),
};

// A line kept as the texts of its fields; a field the line left empty stays empty.
using LineaArchivada = QList<std::optional<QString>>;

QList<LineaArchivada> Leer_Lineas(Connection& conexion)
{
    QList<LineaArchivada> lineas;
    RecordSet temporal(conexion, Query::Temporal);
    for (; !temporal.eof(); temporal.moveNext()) {
        LineaArchivada linea;
        for (const QString& campo : ARCHIVED_FIELDS)
            linea.append(temporal.isNull(campo) ? std::nullopt : std::optional(temporal.text(campo)));
        lineas.append(linea);
    }
    return lineas;
}

// Only the row of the session being closed; a session start not yet known matches none.
void Sellar_Cierre(Connection& conexion, const QString& inicioSesion, const QDateTime& ahora)
{
    if (!parseDateTime(inicioSesion))
        return;
    RecordSet tipoPago(conexion, Query::TipoPago, RecordSet::Equals{QStringLiteral("FechaInicio"), inicioSesion});
    if (tipoPago.eof())
        return;
    tipoPago.setText(QStringLiteral("FechaCierre"), formatDateTime(ahora));
    tipoPago.update();
}

void Archivar(Connection& conexion, const QList<LineaArchivada>& lineas)
{
    RecordSet recaudacion(conexion, Query::Recaudacion, RecordSet::Mode::AppendOnly);
    for (const LineaArchivada& linea : lineas) {
        recaudacion.addNew();
        for (int i = 0; i < ARCHIVED_FIELDS.size(); ++i) {
            if (linea.at(i))
                recaudacion.setText(ARCHIVED_FIELDS.at(i), *linea.at(i));
        }
        recaudacion.update();
    }
}

void Vaciar_Temporal(Connection& conexion)
{
    RecordSet temporal(conexion, Query::Temporal);
    for (; !temporal.eof(); temporal.moveNext())
        temporal.deleteCurrent();
}

}   // namespace

void Cerrar_Ventas_Del_Dia(const QString& folder, const QString& inicioSesion, const QDateTime& ahora)
{
    Connection conexion(folder);
    Transaction transaccion(conexion);
    const QList<LineaArchivada> lineas = Leer_Lineas(conexion);
    Sellar_Cierre(conexion, inicioSesion, ahora);
    Archivar(conexion, lineas);
    Vaciar_Temporal(conexion);
    transaccion.commit();
}
