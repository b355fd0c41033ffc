#pragma once

#include "store/cell_kind.h"
#include "store/data_mark.h"
#include "store/page_hold.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class Dialect;
class QTextStream;

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

// What a script the support staff typed gives back, statement by statement.
class ScriptOutput {
public:
    virtual ~ScriptOutput() = default;
    // A row of a statement, a null field as a null text.
    virtual void row(const QStringList& fields) = 0;
    // A statement the engine refused, why in Portuguese; the next ones still run.
    virtual void refused(const QString& reason) = 0;
    // After each statement, rows given or refused.
    virtual void statementEnded() {}
};

// The connection to the shop's data that the program holds for the whole
// run; user actions lease it (Connection). Prepared statements are kept for
// the next action: a statement given back is reset and prepared again only
// when it was never prepared before. What differs between bd1's engine and a
// shop's server in the text of a statement, and what each can do, is their
// Dialect's.
class Engine {
public:
    virtual ~Engine();

    // Where the data live, for messages: the file's path or the server.
    virtual QString place() const = 0;
    // This till's number: the rows of its day session carry it.
    virtual int till() const = 0;
    virtual const Dialect& dialect() const = 0;

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
    // How many of the data's pages the engine keeps in memory (PagesHeld).
    // Nothing for an engine that keeps no pages.
    virtual void holdPages(PageHold hold) { (void)hold; }

    // The data as they are now; nothing when the engine cannot tell, and a
    // window must then read again whatever it shows.
    virtual std::optional<DataMark> dataMark() = 0;

    // Writes a consistent copy of the data into a new file at path, keyed
    // like them, without holding a writer up; an old file of that name and
    // its side files are replaced, and nothing is left at path when the copy
    // fails (a StoreError naming the folder and the cause). A server is
    // copied with its own dump tool: a StoreError saying so.
    virtual void writeCopy(const QString& path) = 0;
    // The collation a table's field is declared with ("BINARY" for none on
    // bd1); empty for a field the table lacks.
    virtual QString declaredCollation(const QString& table, const QString& field) = 0;
    // The support staff's shell: runs the statements read from in, each as
    // soon as it is complete, with the program's key, collations and
    // functions. An engine that has a shell of its own (a server's) is a
    // StoreError saying which.
    virtual void runScript(QTextStream& in, ScriptOutput& output) = 0;

    // The engine's last error, in Portuguese and naming the file or the server.
    virtual StoreError lastError() const = 0;
    // Set where an error that leaves the connection unusable is thrown: it is
    // closed at the end of the action and opened again by the next one.
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
