#pragma once

#include "store/store_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// What one field of a row holds, as the engine gives it.
enum class CellKind : quint8 { Null, Integer, Real, Text, Blob };

// A mark of the data as a connection sees them: two equal marks taken by
// the program mean that nothing was written in between, by the program or by
// any other program.
struct DataMark {
    quint64 connection = 0;   // which opening of the connection
    qint64 othersVersion = 0;   // bumped by every commit of another connection
    qint64 ownChanges = 0;      // rows this connection changed since it opened
    friend bool operator==(const DataMark&, const DataMark&) = default;
};

// One prepared statement of an engine: bound by 1-based position, stepped,
// its current row read column by column. An engine error is a StoreError in
// Portuguese.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;

    virtual void bindNull(int position) = 0;
    virtual void bindInteger(int position, qint64 value) = 0;
    virtual void bindReal(int position, double value) = 0;
    virtual void bindText(int position, QByteArrayView utf8) = 0;

    // True when a row is current, false once the statement has run to its end.
    virtual bool step() = 0;
    // Back to before its first step, with no bindings: ready to run again.
    virtual void reset() = 0;
    // Rows changed by the last run of a statement that writes.
    virtual qint64 changes() const = 0;

    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    virtual CellKind kind(int column) const = 0;
    virtual qint64 integer(int column) const = 0;
    virtual double real(int column) const = 0;
    // A text as UTF-8, or a blob; valid until the next step.
    virtual QByteArrayView bytes(int column) const = 0;
};

// The connection to the shop's data that the program holds for the whole
// run; user actions lease it (Connection). Prepared statements are kept for
// the next action: a statement given back is reset and prepared again only
// when it was never prepared before.
class Engine {
public:
    virtual ~Engine();

    // Where the data live, for messages: the file's path or the server.
    virtual QString place() const = 0;
    // This till's number: the rows of its day session carry it.
    virtual int till() const = 0;
    // A database server shared by a shop's tills, whose language differs
    // from bd1's engine in a few statements (QueryText::serverSql).
    virtual bool isServer() const = 0;

    virtual void execute(QByteArrayView sql) = 0;
    virtual qint64 lastInsertRowId() const = 0;
    virtual void beginWriting() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // False once the data this connection was opened on were replaced or
    // removed: it must be closed and opened again.
    virtual bool stillCurrent() const = 0;
    // No statement running and no transaction open, as at the end of every action.
    virtual bool atRest() const = 0;
    // Stops every statement still running and rolls back an open transaction.
    virtual void bringToRest() = 0;
    // Writes what only the write-ahead log holds into the main file, so that
    // the file alone holds everything.
    virtual void checkpoint() = 0;

    // The data as they are now; nothing when the engine cannot tell, and a
    // window must then read again whatever it shows.
    virtual std::optional<DataMark> dataMark() = 0;

    // The engine's last error, in Portuguese and naming the file. Asking for
    // it marks the connection as failed: it is closed at the end of the
    // action and opened again by the next one.
    virtual StoreError lastError() const = 0;
    bool failed() const { return failed_; }

    // A prepared statement for sql, one kept from an earlier use when there is one.
    std::unique_ptr<EngineStatement> acquire(const QByteArray& sql);
    // Gives a statement back for a later use of the same sql.
    void giveBack(const QByteArray& sql, std::unique_ptr<EngineStatement> statement);

protected:
    virtual std::unique_ptr<EngineStatement> prepare(const QByteArray& sql) = 0;
    // Drops every kept statement (before the connection closes).
    void dropKeptStatements();
    void markFailed(bool failed = true) const { failed_ = failed; }

private:
    QHash<QByteArray, QList<EngineStatement*>> kept_;
    int keptCount_ = 0;
    mutable bool failed_ = false;
};
