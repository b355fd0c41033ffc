#include "store/schema_upgrade.h"

#include "store/connection.h"
#include "store/schema.h"
#include "store/sqlite_engine.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <sqlite3.h>

#include <QStringList>

namespace {

// Runs a statement and gives the text of each row's columns (a null as a null text).
QList<QStringList> rowsOf(Connection& connection, const QString& sql, const QString& parameter = {})
{
    Statement statement(connection, sql.toUtf8());
    if (!parameter.isNull())
        statement.bind(1, parameter);
    QList<QStringList> rows;
    while (statement.next()) {
        QStringList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row.append(statement.isNull(column) ? QString() : statement.text(column));
        rows.append(row);
    }
    return rows;
}

// The fields of a table as the file has them, in stored order.
QStringList fieldsOf(Connection& connection, const QString& table)
{
    QStringList fields;
    for (const QStringList& row : rowsOf(connection, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table))))
        fields.append(row.at(1));
    return fields;
}

// Runs the statements of an upgrade in one transaction; false when there are none.
bool runAllOrNone(Connection& connection, const QStringList& statements)
{
    if (statements.isEmpty())
        return false;
    Transaction transaction(connection);
    for (const QString& statement : statements)
        connection.execute(statement);
    transaction.commit();
    return true;
}

// The collation a field is declared with in the file ("BINARY" when none).
QString declaredCollation(Connection& connection, const QString& table, const QString& field)
{
    const char* collation = nullptr;
    const auto& file = static_cast<const SqliteEngine&>(connection.engine());
    if (sqlite3_table_column_metadata(file.handle(), "main", table.toUtf8().constData(),
                                      field.toUtf8().constData(), nullptr, &collation, nullptr, nullptr,
                                      nullptr) != SQLITE_OK)
        return {};   // a field the file lacks is not this upgrade's business
    return QString::fromUtf8(collation);
}

bool lacksCollations(Connection& connection, const TableDefinition& table)
{
    for (const FieldDefinition& field : table.fields) {
        if (field.collation.isEmpty())
            continue;
        const QString declared = declaredCollation(connection, table.name, field.name);
        if (!declared.isEmpty() && declared.compare(field.collation, Qt::CaseInsensitive) != 0)
            return true;
    }
    return false;
}

// The table's fields as the file has them, each given the layout's collation.
QString rebuiltTableSql(Connection& connection, const TableDefinition& table, const QString& name,
                        QStringList& fields)
{
    QStringList columns;
    for (const QStringList& info :
         rowsOf(connection, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table.name)))) {
        // cid, name, type, notnull, dflt_value, pk
        const QString& field = info.at(1);
        QString column = quotedName(field) + u' ' + info.at(2);
        if (info.at(3) == QLatin1String("1"))
            column += QStringLiteral(" NOT NULL");
        if (!info.at(4).isNull())
            column += QStringLiteral(" DEFAULT ") + info.at(4);
        const FieldDefinition* definition = findField(table, field);
        if (definition && !definition->collation.isEmpty())
            column += QStringLiteral(" COLLATE ") + definition->collation;
        columns.append(column);
        fields.append(quotedName(field));
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedName(name), columns.join(QStringLiteral(", ")));
}

void rebuildWithCollations(Connection& connection, const TableDefinition& table)
{
    const QString rebuilt = table.name + QStringLiteral("_reordenada");
    QStringList indexes;
    for (const QStringList& row :
         rowsOf(connection, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                                           "AND sql IS NOT NULL"),
                table.name))
        indexes.append(row.at(0));
    QStringList fields;
    connection.execute(rebuiltTableSql(connection, table, rebuilt, fields));
    const QString list = fields.join(QStringLiteral(", "));
    connection.execute(QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3")
                           .arg(quotedName(rebuilt), list, quotedName(table.name)));
    connection.execute(QStringLiteral("DROP TABLE %1").arg(quotedName(table.name)));
    connection.execute(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quotedName(rebuilt), quotedName(table.name)));
    // Each index orders by its fields' declared collations again.
    for (const QString& index : indexes)
        connection.execute(index);
}

}   // namespace

bool Actualizar_Temporal(Connection& connection)
{
    // A shop's server is made with the current layout.
    if (connection.sharedByTills())
        return false;
    QStringList columns = fieldsOf(connection, QStringLiteral("Temporal"));
    columns.removeIf([](const QString& column) { return column.compare(TILL_FIELD, Qt::CaseInsensitive) == 0; });
    if (columns.size() == TEMPORAL_FIELD_COUNT || columns.contains(TEMPORAL_UNIT_PRICE_FIELD, Qt::CaseInsensitive))
        return false;
    connection.execute(QStringLiteral("ALTER TABLE \"Temporal\" ADD COLUMN %1 REAL").arg(quotedName(TEMPORAL_UNIT_PRICE_FIELD)));
    return true;
}

bool upgradeTextCollations(Connection& connection)
{
    QList<const TableDefinition*> outdated;
    for (const TableDefinition& table : storeTables()) {
        if (lacksCollations(connection, table))
            outdated.append(&table);
    }
    if (outdated.isEmpty())
        return false;
    Transaction transaction(connection);
    for (const TableDefinition* table : outdated)
        rebuildWithCollations(connection, *table);
    transaction.commit();
    return true;
}

bool addMissingIndexes(Connection& connection)
{
    QStringList existing;
    for (const QStringList& row : rowsOf(connection, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'")))
        existing.append(row.at(0));
    QStringList missing;
    for (const TableDefinition& table : storeTables()) {
        for (const QString& field : table.indexedFields) {
            if (!existing.contains(indexName(table, field), Qt::CaseInsensitive))
                missing.append(createIndexSql(table, field));
        }
    }
    return runAllOrNone(connection, missing);
}

bool addTillNumbers(Connection& connection)
{
    QStringList statements;
    for (const TableDefinition& table : storeTables()) {
        if (!findField(table, TILL_FIELD))
            continue;
        if (!fieldsOf(connection, table.name).contains(TILL_FIELD, Qt::CaseInsensitive))
            statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER NOT NULL DEFAULT 1")
                                  .arg(quotedName(table.name), quotedName(TILL_FIELD)));
    }
    return runAllOrNone(connection, statements);
}

void upgradeFileLayout(Connection& connection)
{
    if (!dynamic_cast<const SqliteEngine*>(&connection.engine()))
        return;
    upgradeTextCollations(connection);
    addMissingIndexes(connection);
    addTillNumbers(connection);
}
