#include "store/schema_upgrade.h"

#include "store/connection.h"
#include "store/schema.h"

#include <sqlite3.h>

#include <QStringList>

namespace {

QStringList temporalColumns(Connection& connection)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), "PRAGMA table_info(\"Temporal\")", -1, &statement, nullptr) != SQLITE_OK)
        connection.fail();
    QStringList columns;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        connection.fail();
    return columns;
}

}   // namespace

bool Actualizar_Temporal(Connection& connection)
{
    const QStringList columns = temporalColumns(connection);
    if (columns.size() == TEMPORAL_FIELD_COUNT || columns.contains(TEMPORAL_UNIT_PRICE_FIELD, Qt::CaseInsensitive))
        return false;
    connection.execute(QStringLiteral("ALTER TABLE \"Temporal\" ADD COLUMN %1 REAL").arg(quotedName(TEMPORAL_UNIT_PRICE_FIELD)));
    return true;
}
