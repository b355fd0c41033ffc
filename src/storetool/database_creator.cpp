#include "storetool/database_creator.h"

#include "store/collation.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/fields.h"
#include "store/keys.h"
#include "store/schema.h"
#include "store/sqlite_engine.h"
#include "store/store_error.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A new file being written under a temporary name; closed on destruction.
class NewFile {
public:
    explicit NewFile(const QString& path) : path_(path)
    {
        removeFiles();
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            fail();
        const QByteArray password = databasePassword();
        if (sqlite3_key(db_, password.constData(), static_cast<int>(password.size())) != SQLITE_OK ||
            pinCipherSettings(db_) != SQLITE_OK || registerCollations(db_) != SQLITE_OK)
            fail();
    }
    ~NewFile() { close(); }

    void close()
    {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    void removeFiles() const
    {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(path_ + QLatin1String(suffix));
    }

    void execute(const QString& sql)
    {
        if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }

    // Runs one insert per row of values with a single prepared statement.
    void insertRows(const QString& sql, const QList<QList<QVariant>>& rows)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
            fail();
        for (const QList<QVariant>& row : rows) {
            for (int i = 0; i < row.size(); ++i)
                bind(statement, i + 1, row[i]);
            if (sqlite3_step(statement) != SQLITE_DONE) {
                const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
                sqlite3_finalize(statement);
                throw StoreError(QStringLiteral("Erro ao criar o banco de dados: %1").arg(message));
            }
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
    }

private:
    static void bind(sqlite3_stmt* statement, int position, const QVariant& value)
    {
        if (value.typeId() == QMetaType::Double) {
            sqlite3_bind_double(statement, position, value.toDouble());
        } else if (value.typeId() == QMetaType::Int) {
            sqlite3_bind_int64(statement, position, value.toInt());
        } else {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(statement, position, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        }
    }

    [[noreturn]] void fail() const
    {
        const QString message = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("sem memória");
        throw StoreError(QStringLiteral("Erro ao criar o banco de dados: %1").arg(message));
    }

    QString path_;
    sqlite3* db_ = nullptr;
};

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

void createSchema(NewFile& file, const NewDatabaseOptions& options)
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

void addAdministrator(NewFile& file, int receipt)
{
    file.insertRows(QStringLiteral("INSERT INTO \"Usuarios\" (\"NombreUsuario\", \"Contraseña\", \"PermisoCruce\") "
                                   "VALUES (?, ?, ?)"),
                    {{QStringLiteral("admin"), QStringLiteral("admin"), static_cast<double>(receipt)}});
}

void addProducts(NewFile& file, const QList<NewProduct>& products)
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
    NewFile file(temporary);
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
