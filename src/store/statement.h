#pragma once

#include <QString>

class Connection;
struct sqlite3_stmt;

// One statement of the store's own, prepared once and run for many rows
// (bulk catalogue import and export): bind by position, step, read columns.
// An engine error is a StoreError with the connection's message. Finalized
// on destruction.
class Statement {
public:
    Statement(Connection& connection, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // True while a row is current, false at the end.
    bool next();
    QString text(int column) const;
    double number(int column) const;
    qint64 whole(int column) const;

    void bind(int position, const QString& value);
    void bind(int position, double value);
    void bind(int position, qint64 value);
    // Runs a statement that returns no rows, then resets it for the next bindings.
    void run();

private:
    Connection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};
