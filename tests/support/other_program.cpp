#include "support/other_program.h"

#include "store/collation.h"
#include "store/connection.h"
#include "store/keys.h"
#include "store/sqlite_engine.h"

#include <sqlite3.h>

#include <QFile>

OtherProgram::OtherProgram(const QString& path)
{
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = derivedKeyFor(path);
    sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
    pinCipherSettings(db_);
    registerCollations(db_);
}

OtherProgram::~OtherProgram()
{
    sqlite3_close(db_);
}

int OtherProgram::execute(const char* sql)
{
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
}

QString OtherProgram::text(const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    QString value;
    if (sqlite3_step(statement) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return value;
}
