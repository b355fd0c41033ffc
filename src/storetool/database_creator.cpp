#include "storetool/database_creator.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/fields.h"
#include "store/new_database_file.h"
#include "store/schema.h"
#include "store/store_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

TableDefinition withoutUnitPrice(TableDefinition table)
{
    table.fields.removeIf([](const FieldDefinition& field) { return field.name == Temporal::ValorUnitario; });
    return table;
}

TableDefinition withoutTill(TableDefinition table)
{
    table.fields.removeIf([](const FieldDefinition& field) { return field.name == FieldName::Caixa; });
    return table;
}

TableDefinition withoutPix(TableDefinition table)
{
    table.fields.removeIf([](const FieldDefinition& field) { return field.name == TipoPago::pix; });
    return table;
}

TableDefinition withoutCollations(TableDefinition table)
{
    for (FieldDefinition& field : table.fields)
        field.collation.clear();
    return table;
}

void createSchema(NewDatabaseFile& file, const NewDatabaseOptions& options)
{
    for (TableDefinition table : storeTables()) {
        if (options.olderTemporal && table.name == QLatin1String("Temporal"))
            table = withoutUnitPrice(table);
        if (options.olderTemporal || options.olderTills)
            table = withoutTill(table);
        if (options.olderTemporal || options.olderTills || options.olderTakings)
            table = withoutPix(table);
        if (options.olderTextOrder)
            table = withoutCollations(table);
        if (options.olderIndexes)
            table.indexedFields.removeAll(Productos::Categoria);
        for (const QString& statement : Dialect::file().createTable(table))
            file.execute(statement);
    }
}

void addAdministrator(NewDatabaseFile& file, int receipt)
{
    file.insertRows(QStringLiteral("INSERT INTO \"Usuarios\" (\"NombreUsuario\", \"Contraseña\", \"PermisoCruce\") "
                                   "VALUES (?, ?, ?)"),
                    {{QStringLiteral("admin"), QStringLiteral("admin"), static_cast<double>(receipt)}});
}

void addProducts(NewDatabaseFile& file, const QList<NewProduct>& products)
{
    QList<QList<QVariant>> rows;
    for (const NewProduct& p : products)
        rows.append({p.code, p.name, p.quantity, p.costPrice, p.salePrice, p.criticalStock, p.category});
    file.insertRows(QStringLiteral("INSERT INTO \"Productos\" (\"CodigoProducto\", \"NombreProducto\", \"Cantidad\", "
                                   "\"PrecioCosto\", \"PrecioVenta\", \"StockCritico\", \"Categoria\") "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?)"),
                    rows);
}

}   // namespace

QString createDatabase(const QString& folder, const NewDatabaseOptions& options)
{
    if (!QDir().mkpath(folder))
        throw StoreError(QStringLiteral("A pasta %1 não pôde ser criada.").arg(QDir::toNativeSeparators(folder)));
    const QString target = databasePath(folder);
    if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
        throw StoreError(QStringLiteral("Já existe um arquivo de dados em %1; nada foi alterado.")
                             .arg(QDir::toNativeSeparators(target)));

    const QString temporary = target + QStringLiteral(".novo-%1").arg(QCoreApplication::applicationPid());
    NewDatabaseFile file(temporary);
    try {
        file.execute(QStringLiteral("PRAGMA journal_mode = WAL"));
        file.execute(QStringLiteral("BEGIN"));
        createSchema(file, options);
        addAdministrator(file, options.administratorReceipt);
        addProducts(file, options.products);
        file.execute(QStringLiteral("COMMIT"));
        file.close();
        if (!QFile::rename(temporary, target))
            throw StoreError(QStringLiteral("O arquivo de dados %1 não pôde ser gravado.")
                                 .arg(QDir::toNativeSeparators(target)));
    } catch (...) {
        file.close();
        file.removeFiles();
        throw;
    }
    return target;
}
