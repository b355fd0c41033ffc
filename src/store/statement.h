#pragma once

#include "store/engine.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <memory>

class Connection;

// One statement on a connection lease: bound by 1-based position, stepped,
// its current row read by column. Statements are prepared once per held
// connection: one destroyed goes back to the connection, reset, for the next
// use of the same text. An engine error is a StoreError in Portuguese.
class Statement {
public:
    Statement(Connection& connection, QByteArrayView sql);
    Statement(Engine& engine, QByteArrayView sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bindNull(int position);
    void bind(int position, const QString& value);
    void bind(int position, double value);
    void bind(int position, qint64 value);
    // A null, a number, a whole number or a text, by the value's own type.
    void bind(int position, const QVariant& value);
    // The field of another statement's current row, as it is: a null, a
    // number, a whole number, or a text's bytes unchanged.
    void bind(int position, const Statement& row, int column);

    // True while a row is current, false at the end (the statement is then
    // finished and may be bound and run again).
    bool next();
    // Runs a statement that returns no rows, then resets it for the next bindings.
    void run();
    // Back to before the first step, bindings kept cleared.
    void reset();
    // Rows changed by the last run.
    qint64 changes() const;

    int columnCount() const;
    QString columnName(int column) const;
    CellKind kind(int column) const;
    bool isNull(int column) const { return kind(column) == CellKind::Null; }
    QString text(int column) const;
    double number(int column) const;
    qint64 whole(int column) const;
    // A text as UTF-8 or a blob, valid until the next step.
    QByteArrayView bytes(int column) const;

private:
    Engine& engine_;
    QByteArray sql_;
    std::unique_ptr<EngineStatement> statement_;
};

// Runs statements that return no rows (schema changes, a test's set-up).
void execute(Connection& connection, const QString& sql);
