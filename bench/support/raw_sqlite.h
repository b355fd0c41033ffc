#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// A connection straight to the engine, keyed with a ready key statement value
// (derivedKeyFor()), without any of the store's checks. Closed on destruction.
class RawConnection {
public:
    RawConnection(const QString& path, const QByteArray& key);
    ~RawConnection();
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    sqlite3* handle() const { return db_; }
    void execute(const char* sql);
    [[noreturn]] void fail(const char* doing) const;

private:
    sqlite3* db_ = nullptr;
};

// One prepared statement, finalized on destruction.
class RawStatement {
public:
    RawStatement(const RawConnection& connection, const char* sql);
    ~RawStatement();
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;

    RawStatement& bindText(int position, const QByteArray& utf8);
    RawStatement& bindNumber(int position, double value);
    RawStatement& bindWhole(int position, qint64 value);
    // True while a row is current, false at the end; throws on an engine error.
    bool step();
    // Steps a statement that returns no rows, then resets it for the next bindings.
    void run();
    void reset();

    int columnCount() const;
    // A column of the current row as the engine writes it as text.
    QString text(int column) const;

private:
    const RawConnection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};
