#include "store/statement.h"

#include "store/connection.h"

#include <sqlite3.h>

Statement::Statement(Connection& connection, const char* sql) : connection_(connection)
{
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK)
        connection.fail();
}

Statement::~Statement()
{
    sqlite3_finalize(statement_);
}

bool Statement::next()
{
    const int rc = sqlite3_step(statement_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        connection_.fail();
    return rc == SQLITE_ROW;
}

QString Statement::text(int column) const
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement_, column)));
}

double Statement::number(int column) const
{
    return sqlite3_column_double(statement_, column);
}

qint64 Statement::whole(int column) const
{
    return sqlite3_column_int64(statement_, column);
}

void Statement::bind(int position, const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(statement_, position, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void Statement::bind(int position, double value)
{
    sqlite3_bind_double(statement_, position, value);
}

void Statement::bind(int position, qint64 value)
{
    sqlite3_bind_int64(statement_, position, value);
}

void Statement::run()
{
    if (sqlite3_step(statement_) != SQLITE_DONE)
        connection_.fail();
    sqlite3_reset(statement_);
}
