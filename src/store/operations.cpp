#include "store/operations.h"

#include "store/connection.h"
#include "store/schema_upgrade.h"

bool Actualizar_Temporal(Connection& conexion)
{
    if (conexion.sharedByTills())
        return false;
    return addUnitPriceField(conexion.engine());
}
