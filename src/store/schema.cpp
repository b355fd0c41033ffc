#include "store/schema.h"

#include "store/collation.h"
#include "store/fields.h"
#include "store/store_error.h"

#include <algorithm>

namespace {

QList<TableDefinition> buildTables()
{
    using T = FieldType;
    namespace F = FieldName;
    const QList<FieldDefinition> saleLineFields = {
        {F::CodigoProducto, T::Text}, {F::NombreProducto, T::Text}, {F::Cantidad, T::Number},
        {F::TotalCosto, T::Number},   {F::TotalVenta, T::Number},   {F::TipoPago, T::Text},
        {F::NombreUsuario, T::Text},  {F::Categoria, T::Text},      {F::FechaInicio, T::DateTime},
        {F::FechaVenta, T::DateTime},
    };
    // Each till of a shop has its own day session: its open lines, its takings
    // row and its archived lines carry its number (1 on a till alone with bd1).
    const FieldDefinition till{F::Caixa, T::WholeNumber, 1.0};
    QList<FieldDefinition> temporalFields = saleLineFields;
    temporalFields.append({F::ValorUnitario, T::Number});
    temporalFields.append(till);
    QList<FieldDefinition> archiveFields = saleLineFields;
    archiveFields.append(till);

    // Lists are ordered by these texts as a Brazilian reads them; equality stays exact.
    const QString ordered = QString::fromLatin1(ORDER_COLLATION);
    // One category however its letters were typed ("Bebidas", "bebidas").
    const QString grouped = QString::fromLatin1(GROUP_COLLATION);
    return {
        {"Productos",
         {{F::CodigoProducto, T::Text, std::nullopt, ordered},
          {F::NombreProducto, T::Text, std::nullopt, ordered},
          {F::Cantidad, T::Number},
          {F::PrecioCosto, T::Number},
          {F::PrecioVenta, T::Number},
          {F::StockCritico, T::WholeNumber},
          {F::Categoria, T::Text, std::nullopt, grouped},
          {F::ParteDeOferta, T::Number, 0.0}},
         // The category box is filled by grouping the categories: the index serves it.
         {F::CodigoProducto, F::NombreProducto, F::Categoria},
         // The critical stock listing, by name.
         {{QStringLiteral("idx_Productos_Critico"), F::NombreProducto,
           QStringLiteral("%1 <= %2").arg(F::Cantidad, F::StockCritico)}}},
        {"Temporal", temporalFields, {F::FechaVenta}},
        {"TipoPago",
         {{F::FechaInicio, T::DateTime},
          {F::efectivo, T::Number, 0.0},
          {F::tarjeta, T::Number, 0.0},
          {F::CajaInicial, T::Number, 0.0},
          {F::FechaCierre, T::DateTime},
          till,
          {F::pix, T::Number, 0.0}},
         {F::FechaInicio}},
        {"Recaudacion", archiveFields, {F::FechaInicio}},
        {"Usuarios",
         {{F::NombreUsuario, T::Text, std::nullopt, ordered}, {F::Contrasena, T::Text}, {F::PermisoCruce, T::Number}},
         {F::NombreUsuario}},
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
