// The sale window's day session: the start of the session it belongs to.
#include "sale/form1.h"

#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"

void Form1::Restaurar_Inicio()
{
    Connection conexion(platform().folder);
    RecordSet temporal(conexion, Query::Temporal);
    if (!temporal.eof())
        Text3 = temporal.text(QStringLiteral("FechaInicio"));
}
