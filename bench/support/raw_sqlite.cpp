#include "support/raw_sqlite.h"

#include "store/collation.h"
#include "store/connection.h"
#include "store/sqlite_engine.h"

#include <sqlite3.h>

#include <QFile>

#include <stdexcept>

RawConnection::RawConnection(const QString& path, const QByteArray& key)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string message = sqlite3_errmsg(db_);
        sqlite3_close_v2(db_);
        throw std::runtime_error("opening " + path.toStdString() + ": " + message);
    }
    // The file's cipher settings and the collations its text fields are declared with.
    if (pinCipherDefaults(db_) != SQLITE_OK || sqlite3_key(db_, key.constData(), static_cast<int>(key.size())) != SQLITE_OK ||
        registerCollations(db_) != SQLITE_OK) {
        sqlite3_close_v2(db_);
        throw std::runtime_error("keying " + path.toStdString());
    }
}

RawConnection::~RawConnection()
{
    sqlite3_close_v2(db_);
}

void RawConnection::execute(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(sql);
}

void RawConnection::fail(const char* doing) const
{
    throw std::runtime_error(std::string(doing) + ": " + sqlite3_errmsg(db_));
}

RawStatement::RawStatement(const RawConnection& connection, const char* sql) : connection_(connection)
{
    if (sqlite3_prepare_v2(connection.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK)
        connection.fail(sql);
}

RawStatement::~RawStatement()
{
    sqlite3_finalize(statement_);
}

RawStatement& RawStatement::bindText(int position, const QByteArray& utf8)
{
    if (sqlite3_bind_text(statement_, position, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        connection_.fail("binding a text");
    return *this;
}

RawStatement& RawStatement::bindNumber(int position, double value)
{
    if (sqlite3_bind_double(statement_, position, value) != SQLITE_OK)
        connection_.fail("binding a number");
    return *this;
}

RawStatement& RawStatement::bindWhole(int position, qint64 value)
{
    if (sqlite3_bind_int64(statement_, position, value) != SQLITE_OK)
        connection_.fail("binding a whole number");
    return *this;
}

bool RawStatement::step()
{
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        connection_.fail(sqlite3_sql(statement_));
    return false;
}

void RawStatement::run()
{
    while (step()) {
    }
    reset();
}

void RawStatement::reset()
{
    sqlite3_reset(statement_);
}

int RawStatement::columnCount() const
{
    return sqlite3_column_count(statement_);
}

QString RawStatement::text(int column) const
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement_, column)),
                             sqlite3_column_bytes(statement_, column));
}
