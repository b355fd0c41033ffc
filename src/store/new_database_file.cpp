#include "store/new_database_file.h"

#include "store/collation.h"
#include "store/keys.h"
#include "store/sqlite_engine.h"
#include "store/store_error.h"

#include <sqlite3.h>

#include <QFile>

NewDatabaseFile::NewDatabaseFile(const QString& path) : path_(path)
{
    removeFiles();
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        fail();
    const QByteArray password = databasePassword();
    if (sqlite3_key(db_, password.constData(), static_cast<int>(password.size())) != SQLITE_OK ||
        pinCipherSettings(db_) != SQLITE_OK || registerCollations(db_) != SQLITE_OK)
        fail();
}

NewDatabaseFile::~NewDatabaseFile()
{
    close();
}

void NewDatabaseFile::close()
{
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void NewDatabaseFile::removeFiles() const
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path_ + QLatin1String(suffix));
}

void NewDatabaseFile::execute(const QString& sql)
{
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail();
}

void NewDatabaseFile::insertRows(const QString& sql, const QList<QList<QVariant>>& rows)
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

void NewDatabaseFile::bind(sqlite3_stmt* statement, int position, const QVariant& value)
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

void NewDatabaseFile::fail() const
{
    const QString message = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("sem memória");
    throw StoreError(QStringLiteral("Erro ao criar o banco de dados: %1").arg(message));
}
