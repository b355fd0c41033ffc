#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

// A new bd1 being written under a temporary name by the database tool, keyed
// and set up like every bd1; closed on destruction. Nobody else can see the
// file until it is renamed into place, so it is written without the store's
// connection and unit of work.
class NewDatabaseFile {
public:
    explicit NewDatabaseFile(const QString& path);
    ~NewDatabaseFile();
    NewDatabaseFile(const NewDatabaseFile&) = delete;
    NewDatabaseFile& operator=(const NewDatabaseFile&) = delete;

    void close();
    // The file and its side files, gone.
    void removeFiles() const;
    void execute(const QString& sql);
    // Runs one insert per row of values with a single prepared statement.
    void insertRows(const QString& sql, const QList<QList<QVariant>>& rows);

private:
    static void bind(sqlite3_stmt* statement, int position, const QVariant& value);
    [[noreturn]] void fail() const;

    QString path_;
    sqlite3* db_ = nullptr;
};
