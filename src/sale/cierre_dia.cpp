#include "sale/cierre_dia.h"

#include "common/date_text.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/unit_of_work.h"

namespace {

// Only the row of the session being closed; a session start not yet known matches none.
void Sellar_Cierre(Connection& conexion, const QString& inicioSesion, const QDateTime& ahora)
{
    if (!parseDateTime(inicioSesion))
        return;
    RecordSet tipoPago(conexion, Query::TipoPago, RecordSet::Equals{TipoPago::FechaInicio, inicioSesion});
    if (tipoPago.eof())
        return;
    tipoPago.setText(TipoPago::FechaCierre, formatDateTime(ahora));
    tipoPago.update();
}

}   // namespace

void Cerrar_Ventas_Del_Dia(const QString& folder, const QString& inicioSesion, const QDateTime& ahora)
{
    Connection conexion(folder);
    runInTransaction(conexion, [&] {
        Sellar_Cierre(conexion, inicioSesion, ahora);
        archiveOpenLines(conexion);
    });
    // The day's archive goes from the write-ahead log into bd1 itself: a copy
    // of bd1 alone holds the whole day.
    Connection::checkpoint(folder);
}
