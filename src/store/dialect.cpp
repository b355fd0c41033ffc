#include "store/dialect.h"
#include "store/fields.h"

#include "store/collation.h"
#include "store/queries.h"

#include <QtCore/qbytearrayalgorithms.h>

namespace {

QString fieldsAndMarks(const QString& table, const QStringList& fields)
{
    if (fields.isEmpty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(plainName(table));
    QStringList names;
    for (const QString& field : fields)
        names.append(plainName(field));
    const QStringList marks(fields.size(), QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(plainName(table), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
}

class FileDialect : public Dialect {
public:
    const char* queryText(const QueryText& query) const override { return query.sql; }
    QByteArray preparedText(const QByteArray& sql) const override { return sql; }
    QString insertText(const QString& table, const QStringList& fields) const override
    {
        return fieldsAndMarks(table, fields);
    }
    QByteArray beginWriting() const override { return QByteArrayLiteral("BEGIN IMMEDIATE"); }
    QByteArray beginReading() const override { return QByteArrayLiteral("BEGIN"); }

    QStringList setupStatements() const override { return {}; }

    QStringList createTable(const TableDefinition& table) const override
    {
        QStringList columns;
        for (const FieldDefinition& field : table.fields) {
            QString column = quotedName(field.name) + u' ' + columnType(field.type);
            if (field.defaultValue)
                column += QStringLiteral(" DEFAULT ") + QString::number(*field.defaultValue);
            if (!field.collation.isEmpty())
                column += QStringLiteral(" COLLATE ") + field.collation;
            columns.append(column);
        }
        QStringList statements{
            QStringLiteral("CREATE TABLE %1 (%2)").arg(quotedName(table.name), columns.join(QStringLiteral(", ")))};
        for (const QString& field : table.indexedFields)
            statements.append(createIndex(table, field));
        for (const PartialIndex& index : table.partialIndexes)
            statements.append(createIndex(table, index));
        return statements;
    }

    // An index orders by its field's declared collation, so a grouping or an
    // ordering by that field can walk it.
    QString createIndex(const TableDefinition& table, const QString& field) const override
    {
        return QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
            .arg(quotedName(indexName(table, field)), quotedName(table.name), quotedName(field));
    }

    QString createIndex(const TableDefinition& table, const PartialIndex& index) const override
    {
        return QStringLiteral("CREATE INDEX %1 ON %2 (%3) WHERE %4")
            .arg(quotedName(index.name), quotedName(table.name), quotedName(index.field), index.condition);
    }

    bool sessionsPerTill() const override { return false; }
    bool hasOlderLayouts() const override { return true; }
    bool backedUpByProgram() const override { return true; }
    bool readsListingsInTableOrder() const override { return true; }

private:
    static QString columnType(FieldType type)
    {
        switch (type) {
        case FieldType::Number:
            return QStringLiteral("REAL");
        case FieldType::WholeNumber:
            return QStringLiteral("INTEGER");
        case FieldType::Text:
        case FieldType::DateTime:
            break;
        }
        return QStringLiteral("TEXT");
    }
};

// The server's text orders: the Portuguese order with capitals first among
// otherwise equal texts, as bd1's tie-break on the exact text gives (equality
// stays exact); and the grouping that takes "Bebidas" and "bebidas" as one.
constexpr const char* SERVER_COLLATIONS[] = {
    "create collation portugues (provider = icu, locale = 'pt-BR-u-kf-upper')",
    "create collation portugues_grupo (provider = icu, locale = 'pt-BR-u-ks-level1', deterministic = false)",
};

// Name searches fold letter case and accents on both sides, as bd1's like does.
constexpr char SERVER_FOLDING[] =
    "create function tenduca_dobra(texto text) returns text language sql immutable strict parallel safe as $$ "
    "select translate(lower(texto collate \"und-x-icu\"), "
    "'áàâãäåéèêëíìîïóòôõöúùûüçñýÿÁÀÂÃÄÅÉÈÊËÍÌÎÏÓÒÔÕÖÚÙÛÜÇÑÝ', "
    "'aaaaaaeeeeiiiiooooouuuucnyyaaaaaaeeeeiiiiooooouuuucny') $$";

// The name searches of queries.h, with both sides folded.
constexpr char SERVER_PRODUCT_SEARCH[] =
    "select rowid, * from Productos where tenduca_dobra(NombreProducto) like '%' || tenduca_dobra(?) || '%' "
    "escape '\\' order by rowid";
constexpr char SERVER_NAME_SEARCH[] =
    "select rowid, NombreProducto from Productos where tenduca_dobra(NombreProducto) like '%' || "
    "tenduca_dobra(?) || '%' escape '\\' order by rowid";

constexpr char SERVER_ID_SEARCH[] =
    "select rowid from Productos where tenduca_dobra(NombreProducto) like '%' || tenduca_dobra(?) || '%' "
    "escape '\\' order by rowid";
constexpr char SERVER_VALUE_SEARCH[] =
    "select rowid, Cantidad, PrecioCosto, PrecioVenta from Productos where tenduca_dobra(NombreProducto) like '%' || "
    "tenduca_dobra(?1) || '%' escape '\\' and rowid > ?2 and rowid <= ?3 order by rowid";
// The server has no unary "+" for texts; its planner needs no hint.
constexpr char SERVER_CRITICAL_IDS[] =
    "select rowid from Productos where Cantidad <= StockCritico order by NombreProducto, rowid";
constexpr char SERVER_CRITICAL_PRODUCTS[] =
    "select rowid, * from Productos where Cantidad <= StockCritico order by NombreProducto, rowid";

class ServerDialect : public Dialect {
public:
    const char* queryText(const QueryText& query) const override
    {
        if (qstrcmp(query.sql, Query::ProductosBusqueda.sql) == 0)
            return SERVER_PRODUCT_SEARCH;
        if (qstrcmp(query.sql, Query::NombresBusqueda.sql) == 0)
            return SERVER_NAME_SEARCH;
        if (qstrcmp(query.sql, Query::IdsBusqueda.sql) == 0)
            return SERVER_ID_SEARCH;
        if (qstrcmp(query.sql, Query::CantidadYCostoBusqueda.sql) == 0)
            return SERVER_VALUE_SEARCH;
        if (qstrcmp(query.sql, Query::IdsCriticos.sql) == 0)
            return SERVER_CRITICAL_IDS;
        if (qstrcmp(query.sql, Query::ProductosCriticos.sql) == 0)
            return SERVER_CRITICAL_PRODUCTS;
        return query.sql;
    }

    // "?" numbered in order, "?N" kept as "$N"; marks inside quotes are text.
    QByteArray preparedText(const QByteArray& sql) const override
    {
        QByteArray converted;
        converted.reserve(sql.size() + 16);
        int next = 0;
        char quote = 0;
        for (qsizetype i = 0; i < sql.size(); ++i) {
            const char c = sql[i];
            if (quote) {
                converted += c;
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
                converted += c;
            } else if (c == '?') {
                qsizetype digits = i + 1;
                while (digits < sql.size() && sql[digits] >= '0' && sql[digits] <= '9')
                    ++digits;
                if (digits > i + 1) {
                    converted += '$' + sql.mid(i + 1, digits - i - 1);
                    i = digits - 1;
                } else {
                    converted += '$' + QByteArray::number(++next);
                }
            } else {
                converted += c;
            }
        }
        return converted;
    }

    // The new row's id comes back with the row, without a second request.
    QString insertText(const QString& table, const QStringList& fields) const override
    {
        return fieldsAndMarks(table, fields) + QStringLiteral(" returning rowid");
    }
    QByteArray beginWriting() const override { return QByteArrayLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ"); }
    QByteArray beginReading() const override
    {
        return QByteArrayLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }

    QStringList setupStatements() const override
    {
        QStringList statements;
        for (const char* collation : SERVER_COLLATIONS)
            statements.append(QString::fromUtf8(collation));
        statements.append(QString::fromUtf8(SERVER_FOLDING));
        return statements;
    }

    QStringList createTable(const TableDefinition& table) const override
    {
        QStringList columns{QStringLiteral("rowid bigint generated by default as identity primary key")};
        for (const FieldDefinition& field : table.fields) {
            QString column = plainName(field.name) + u' ' + columnType(field.type) + collation(field.collation);
            if (field.defaultValue)
                column += QStringLiteral(" default ") + QString::number(*field.defaultValue);
            if (field.name == FieldName::Caixa)
                column += QStringLiteral(" not null");
            columns.append(column);
        }
        QStringList statements{
            QStringLiteral("create table %1 (%2)").arg(plainName(table.name), columns.join(QStringLiteral(", ")))};
        for (const QString& field : table.indexedFields)
            statements.append(createIndex(table, field));
        // Each till's lookups of its own day session.
        if (findField(table, FieldName::Caixa) && !table.indexedFields.isEmpty())
            statements.append(QStringLiteral("create index %1 on %2 (%3, %4)")
                                  .arg(indexName(table, FieldName::Caixa), plainName(table.name),
                                       plainName(FieldName::Caixa), plainName(table.indexedFields.first())));
        for (const PartialIndex& index : table.partialIndexes)
            statements.append(createIndex(table, index));
        return statements;
    }

    QString createIndex(const TableDefinition& table, const QString& field) const override
    {
        return QStringLiteral("create index %1 on %2 (%3)")
            .arg(indexName(table, field), plainName(table.name), plainName(field));
    }

    // The row id after the field, as the listings order; made at a till's
    // start on a shop made before it, so "if not exists".
    QString createIndex(const TableDefinition& table, const PartialIndex& index) const override
    {
        return QStringLiteral("create index if not exists %1 on %2 (%3, rowid) where %4")
            .arg(plainName(index.name), plainName(table.name), plainName(index.field), index.condition);
    }

    bool sessionsPerTill() const override { return true; }
    bool hasOlderLayouts() const override { return false; }
    bool backedUpByProgram() const override { return false; }
    bool readsListingsInTableOrder() const override { return false; }

private:
    static QString columnType(FieldType type)
    {
        switch (type) {
        case FieldType::Number:
            return QStringLiteral("double precision");
        case FieldType::WholeNumber:
            return QStringLiteral("integer");
        case FieldType::Text:
        case FieldType::DateTime:
            break;
        }
        return QStringLiteral("text");
    }

    static QString collation(const QString& storeCollation)
    {
        if (storeCollation == QLatin1String(ORDER_COLLATION))
            return QStringLiteral(" collate portugues");
        if (storeCollation == QLatin1String(GROUP_COLLATION))
            return QStringLiteral(" collate portugues_grupo");
        return {};
    }
};

}   // namespace

const Dialect& Dialect::file()
{
    static const FileDialect dialect;
    return dialect;
}

const Dialect& Dialect::server()
{
    static const ServerDialect dialect;
    return dialect;
}
