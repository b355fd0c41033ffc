#pragma once

#include "store/store_error.h"

#include <QByteArray>
#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

inline const QString DATABASE_FILE_NAME = QStringLiteral("bd1");

QString databasePath(const QString& folder);

// An open, keyed connection to the bd1 of a folder, closed on destruction.
// It never creates the file: a missing, foreign, locked or damaged file is a
// StoreError that names the file and the cause.
class Connection {
public:
    explicit Connection(const QString& folder);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // Runs a statement that returns no rows (pragmas, transaction control, schema changes).
    void execute(const QString& sql);

    // The engine's last error as a message for the user.
    QString engineMessage() const;
    // The engine's last error on this connection, in Portuguese and naming the
    // file: a lock held too long by another program, a write-protected file or
    // folder, a damaged file, a full disk; the engine's own text only for a
    // statement the engine refused.
    StoreError error() const;
    [[noreturn]] void fail() const;

    // A statement that writes, prepared once per connection and shared by
    // its record sets: the caller binds, steps and resets it. One user
    // action writing many rows prepares each statement once.
    sqlite3_stmt* writeStatement(const QString& sql);

private:
    void applyKey(const QByteArray& key);
    void checkOpensWithKey();
    void useWriteAheadLog();
    void registerFunctions();
    void upgradeLayoutOnce(const QByteArray& key);
    void closeAfterFailure();

    QString path_;
    sqlite3* db_ = nullptr;
    QHash<QString, sqlite3_stmt*> writeStatements_;
};

// The cipher settings every bd1 is written with, set on a keyed connection
// before its first read, so that a later engine with other defaults still
// opens every file. Returns the engine's result code.
int pinCipherSettings(sqlite3* db);
// The same settings made the engine's defaults for every connection this
// process keys afterwards (set once; call before the key). Returns the
// engine's result code.
int pinCipherDefaults(sqlite3* db);

// The program's database password, for creating new files.
QByteArray databasePassword();

// The key statement value ("x'…'") for the file at path: the password's key
// derived once per file salt, so that opening a connection stays cheap.
QByteArray derivedKeyFor(const QString& path);
