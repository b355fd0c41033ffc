#include "store/schema.h"

#include "store/collation.h"
#include "store/store_error.h"

#include <algorithm>

namespace {

QList<TableDefinition> buildTables()
{
    using T = FieldType;
    const QList<FieldDefinition> saleLineFields = {
        {"CodigoProducto", T::Text},  {"NombreProducto", T::Text}, {"Cantidad", T::Number},
        {"TotalCosto", T::Number},    {"TotalVenta", T::Number},   {"TipoPago", T::Text},
        {"NombreUsuario", T::Text},   {"Categoria", T::Text},      {"FechaInicio", T::DateTime},
        {"FechaVenta", T::DateTime},
    };
    // Each till of a shop has its own day session: its open lines, its takings
    // row and its archived lines carry its number (1 on a till alone with bd1).
    const FieldDefinition till{TILL_FIELD, T::WholeNumber, 1.0};
    QList<FieldDefinition> temporalFields = saleLineFields;
    temporalFields.append({TEMPORAL_UNIT_PRICE_FIELD, T::Number});
    temporalFields.append(till);
    QList<FieldDefinition> archiveFields = saleLineFields;
    archiveFields.append(till);

    // Lists are ordered by these texts as a Brazilian reads them; equality stays exact.
    const QString ordered = QString::fromLatin1(ORDER_COLLATION);
    // One category however its letters were typed ("Bebidas", "bebidas").
    const QString grouped = QString::fromLatin1(GROUP_COLLATION);
    return {
        {"Productos",
         {{"CodigoProducto", T::Text, std::nullopt, ordered},
          {"NombreProducto", T::Text, std::nullopt, ordered},
          {"Cantidad", T::Number},
          {"PrecioCosto", T::Number},
          {"PrecioVenta", T::Number},
          {"StockCritico", T::WholeNumber},
          {"Categoria", T::Text, std::nullopt, grouped},
          {"ParteDeOferta", T::Number, 0.0}},
         // The category box is filled by grouping the categories: the index serves it.
         {"CodigoProducto", "NombreProducto", "Categoria"}},
        {"Temporal", temporalFields, {"FechaVenta"}},
        {"TipoPago",
         {{"FechaInicio", T::DateTime},
          {"efectivo", T::Number, 0.0},
          {"tarjeta", T::Number, 0.0},
          {"CajaInicial", T::Number, 0.0},
          {"FechaCierre", T::DateTime},
          till},
         {"FechaInicio"}},
        {"Recaudacion", archiveFields, {"FechaInicio"}},
        {"Usuarios",
         {{"NombreUsuario", T::Text, std::nullopt, ordered}, {QStringLiteral("Contraseña"), T::Text}, {"PermisoCruce", T::Number}},
         {"NombreUsuario"}},
    };
}

}   // namespace

const QList<TableDefinition>& storeTables()
{
    static const QList<TableDefinition> tables = buildTables();
    return tables;
}

const TableDefinition* findTable(const QString& name)
{
    for (const TableDefinition& table : storeTables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

const FieldDefinition* findField(const TableDefinition& table, const QString& field)
{
    for (const FieldDefinition& definition : table.fields) {
        if (definition.name.compare(field, Qt::CaseInsensitive) == 0)
            return &definition;
    }
    return nullptr;
}

std::optional<FieldType> fieldTypeOf(const QString& table, const QString& field)
{
    const TableDefinition* definition = findTable(table);
    const FieldDefinition* fieldDefinition = definition ? findField(*definition, field) : nullptr;
    if (!fieldDefinition)
        return std::nullopt;
    return fieldDefinition->type;
}

QString quotedName(const QString& name)
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString plainName(const QString& name)
{
    const bool plain = !name.isEmpty() && !name.front().isDigit() &&
                       std::all_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
    if (!plain)
        throw StoreError(QStringLiteral("O nome %1 não pode ser usado num comando do banco de dados.").arg(name));
    return name;
}

QString indexName(const TableDefinition& table, const QString& field)
{
    return QStringLiteral("idx_%1_%2").arg(table.name, field);
}
