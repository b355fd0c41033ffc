// A keyed copy of bd1 written through the engine's online backup.

#include "store/keys.h"
#include "store/sqlite_engine.h"
#include "store/store_error.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int BUSY_RETRIES = 50;
constexpr int BUSY_WAIT_MS = 100;

// What went wrong, in words for the shop, from the engine's result code.
QString causeOf(int rc, sqlite3* db)
{
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("o disco está cheio");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return QStringLiteral("a pasta não permite gravação");
    case SQLITE_IOERR:
        return QStringLiteral("erro de leitura ou gravação no disco");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("o arquivo de dados está ocupado");
    case SQLITE_NOMEM:
        return QStringLiteral("falta de memória");
    default:
        return QStringLiteral("erro do banco de dados (código %1%2)")
            .arg(rc)
            .arg(db ? QStringLiteral(", ") + QString::fromUtf8(sqlite3_errmsg(db)) : QString());
    }
}

// The new copy, open until it is complete; removed unless finished.
class CopyFile {
public:
    // Keyed with the source's key and salt: the copy opens with the program's
    // password like the source, without deriving the key once more.
    CopyFile(const QString& path, const QByteArray& sourceKey) : path_(path)
    {
        removeFiles();
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db_,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            fail(rc);
        if (sqlite3_key(db_, sourceKey.constData(), static_cast<int>(sourceKey.size())) != SQLITE_OK)
            fail(sqlite3_errcode(db_));
    }
    ~CopyFile()
    {
        sqlite3_close_v2(db_);
        if (!finished_)
            removeFiles();
    }
    CopyFile(const CopyFile&) = delete;
    CopyFile& operator=(const CopyFile&) = delete;

    void copyFrom(sqlite3* source)
    {
        sqlite3_backup* backup = sqlite3_backup_init(db_, "main", source, "main");
        if (!backup)
            fail(sqlite3_errcode(db_));
        // One step copies every page under one read of the source: a consistent copy
        // that writers in write-ahead mode do not wait for.
        int rc = SQLITE_OK;
        for (int attempt = 0; attempt < BUSY_RETRIES; ++attempt) {
            rc = sqlite3_backup_step(backup, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            sqlite3_sleep(BUSY_WAIT_MS);
        }
        const int finished = sqlite3_backup_finish(backup);
        if (rc != SQLITE_DONE)
            fail(rc);
        if (finished != SQLITE_OK)
            fail(finished);
    }

    void finish()
    {
        if (db_ && sqlite3_close(db_) != SQLITE_OK)
            fail(sqlite3_errcode(db_));
        db_ = nullptr;
        finished_ = true;
    }

private:
    void removeFiles() const
    {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(path_ + QLatin1String(suffix));
    }

    [[noreturn]] void fail(int rc)
    {
        const QString cause = causeOf(rc, db_);
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw StoreError(QStringLiteral("O backup do arquivo de dados não pôde ser gravado em %1: %2.")
                             .arg(QDir::toNativeSeparators(QFileInfo(path_).absolutePath()), cause));
    }

    QString path_;
    sqlite3* db_ = nullptr;
    bool finished_ = false;
};

}   // namespace

void SqliteEngine::writeCopy(const QString& path)
{
    CopyFile copy(path, keyWithSalt(salt_));
    copy.copyFrom(db_);
    copy.finish();
}
