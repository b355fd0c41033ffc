#include "store/schema_upgrade.h"
#include "store/fields.h"

#include "store/dialect.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QStringList>

namespace {

void run(Engine& engine, const QString& sql)
{
    engine.execute(sql.toUtf8());
}

// Runs a statement and gives the text of each row's columns (a null as a null text).
QList<QStringList> rowsOf(Engine& engine, const QString& sql, const QString& parameter = {})
{
    Statement statement(engine, sql.toUtf8());
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
QStringList fieldsOf(Engine& engine, const QString& table)
{
    QStringList fields;
    for (const QStringList& row : rowsOf(engine, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table))))
        fields.append(row.at(1));
    return fields;
}

// Runs the statements of an upgrade in one transaction; false when there are none.
bool runAllOrNone(Engine& engine, const QStringList& statements)
{
    if (statements.isEmpty())
        return false;
    Transaction transaction(engine);
    for (const QString& statement : statements)
        run(engine, statement);
    transaction.commit();
    return true;
}

bool lacksCollations(Engine& engine, const TableDefinition& table)
{
    for (const FieldDefinition& field : table.fields) {
        if (field.collation.isEmpty())
            continue;
        // A field the file lacks (none declared) is not this upgrade's business.
        const QString declared = engine.declaredCollation(table.name, field.name);
        if (!declared.isEmpty() && declared.compare(field.collation, Qt::CaseInsensitive) != 0)
            return true;
    }
    return false;
}

// The table's fields as the file has them, each given the layout's collation.
QString rebuiltTableSql(Engine& engine, const TableDefinition& table, const QString& name,
                        QStringList& fields)
{
    QStringList columns;
    for (const QStringList& info :
         rowsOf(engine, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table.name)))) {
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

void rebuildWithCollations(Engine& engine, const TableDefinition& table)
{
    const QString rebuilt = table.name + QStringLiteral("_reordenada");
    QStringList indexes;
    for (const QStringList& row :
         rowsOf(engine, QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? "
                                           "AND sql IS NOT NULL"),
                table.name))
        indexes.append(row.at(0));
    QStringList fields;
    run(engine, rebuiltTableSql(engine, table, rebuilt, fields));
    const QString list = fields.join(QStringLiteral(", "));
    run(engine, QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3")
                           .arg(quotedName(rebuilt), list, quotedName(table.name)));
    run(engine, QStringLiteral("DROP TABLE %1").arg(quotedName(table.name)));
    run(engine, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quotedName(rebuilt), quotedName(table.name)));
    // Each index orders by its fields' declared collations again.
    for (const QString& index : indexes)
        run(engine, index);
}

}   // namespace

bool addUnitPriceField(Engine& engine)
{
    QStringList columns = fieldsOf(engine, QStringLiteral("Temporal"));
    columns.removeIf([](const QString& column) { return column.compare(FieldName::Caixa, Qt::CaseInsensitive) == 0; });
    if (columns.size() == TEMPORAL_FIELD_COUNT || columns.contains(Temporal::ValorUnitario, Qt::CaseInsensitive))
        return false;
    run(engine, QStringLiteral("ALTER TABLE \"Temporal\" ADD COLUMN %1 REAL").arg(quotedName(Temporal::ValorUnitario)));
    return true;
}

bool upgradeTextCollations(Engine& engine)
{
    QList<const TableDefinition*> outdated;
    for (const TableDefinition& table : storeTables()) {
        if (lacksCollations(engine, table))
            outdated.append(&table);
    }
    if (outdated.isEmpty())
        return false;
    Transaction transaction(engine);
    for (const TableDefinition* table : outdated)
        rebuildWithCollations(engine, *table);
    transaction.commit();
    return true;
}

bool addMissingIndexes(Engine& engine)
{
    QStringList existing;
    for (const QStringList& row : rowsOf(engine, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'")))
        existing.append(row.at(0));
    QStringList missing;
    for (const TableDefinition& table : storeTables()) {
        for (const QString& field : table.indexedFields) {
            if (!existing.contains(indexName(table, field), Qt::CaseInsensitive))
                missing.append(Dialect::file().createIndex(table, field));
        }
        for (const PartialIndex& index : table.partialIndexes) {
            if (!existing.contains(index.name, Qt::CaseInsensitive))
                missing.append(Dialect::file().createIndex(table, index));
        }
    }
    return runAllOrNone(engine, missing);
}

bool addTillNumbers(Engine& engine)
{
    QStringList statements;
    for (const TableDefinition& table : storeTables()) {
        if (!findField(table, FieldName::Caixa))
            continue;
        if (!fieldsOf(engine, table.name).contains(FieldName::Caixa, Qt::CaseInsensitive))
            statements.append(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 INTEGER NOT NULL DEFAULT 1")
                                  .arg(quotedName(table.name), quotedName(FieldName::Caixa)));
    }
    return runAllOrNone(engine, statements);
}

bool addPixTakings(Engine& engine)
{
    if (fieldsOf(engine, QStringLiteral("TipoPago")).contains(TipoPago::pix, Qt::CaseInsensitive))
        return false;
    run(engine, QStringLiteral("ALTER TABLE \"TipoPago\" ADD COLUMN %1 REAL DEFAULT 0").arg(quotedName(TipoPago::pix)));
    return true;
}

void upgradeFileLayout(Engine& engine)
{
    upgradeTextCollations(engine);
    addMissingIndexes(engine);
    addTillNumbers(engine);
    addPixTakings(engine);
}
