#pragma once

#include "store/engine.h"

#include <QElapsedTimer>
#include <QString>

struct pg_conn;
struct pg_result;

// A till's connection to the database server its shop's tills share, held
// for the run like bd1's. The catalogue, the stock and the users are the
// shop's; the day session is this till's (its number on the session's rows).
// Writing transactions run at repeatable read: two tills writing the same
// rows at the same moment make one of them fail with a ConflictError, to be
// run again (runInTransaction).
class ServerEngine : public Engine {
public:
    // Connects with a libpq connection string or URI; refuses, in
    // Portuguese and naming the server, a server that cannot be reached, a
    // refused or wrong login, and a database that is not a shop's.
    ServerEngine(const QString& connection, int till);
    ~ServerEngine() override;
    ServerEngine(const ServerEngine&) = delete;
    ServerEngine& operator=(const ServerEngine&) = delete;

    QString place() const override { return place_; }
    int till() const override { return till_; }
    const Dialect& dialect() const override;

    void execute(QByteArrayView sql) override;
    qint64 lastInsertRowId() const override;
    void beginWriting() override;
    void commit() override;
    void rollback() override;
    bool stillCurrent() const override;
    bool atRest() const override;
    void bringToRest() override;
    void checkpoint() override {}
    std::optional<DataMark> dataMark() override { return std::nullopt; }
    void writeCopy(const QString& path) override;
    QString declaredCollation(const QString& table, const QString& field) override;
    void runScript(QTextStream& in, ScriptOutput& output) override;
    StoreError lastError() const override;

    pg_conn* handle() const { return connection_; }
    // Remembers a failed result's cause, frees it, and throws the error (a
    // ConflictError for a conflict with another till); a connection lost is
    // marked failed, to be made again by the next action.
    [[noreturn]] void fail(pg_result* result) const;
    // Runs a statement given whole, with text parameters; returns its result
    // (the caller frees it) or throws.
    pg_result* run(const QByteArray& sql) const;
    // The row id an insert returned, for lastInsertRowId() to give without asking the server.
    void inserted(qint64 rowId) const { inserted_ = rowId; }

protected:
    std::unique_ptr<EngineStatement> prepare(const QByteArray& sql) override;

private:
    void checkIsAShop();
    void addPixTakings();
    void keepChangeCounters();
    void addPartialIndexes();
    void addReceivedSales();
    bool connectionLost() const;
    void touched() const { idle_.start(); }

    pg_conn* connection_ = nullptr;
    QString place_;
    int till_;
    int prepared_ = 0;
    mutable QString lastState_;     // SQLSTATE of the last failure
    mutable QString lastMessage_;   // the server's text of it
    mutable QElapsedTimer idle_;
    // The row id an insert gave back ("returning rowid"), until the next is read.
    mutable std::optional<qint64> inserted_;
};

// The ids of the sales the server received from its tills, each once: a sale
// sent again (its answer lost, its till stopped while sending) is recognised.
inline constexpr char RECEIVED_SALES_TABLE[] =
    "create table if not exists ventasrecebidas (idvenda text primary key, caixa integer not null, recebida "
    "timestamp not null default localtimestamp)";

// What failed when the server could not be used, in words for the shop.
QString serverFailure(const QString& place, const QString& cause);

// A new connection to a server, or a StoreError naming the server and what
// failed (unreachable, refused, wrong password, no such database). Sets place
// to the server's description for later messages. The server's notices and
// warnings are dropped, never printed.
pg_conn* connectToServer(const QString& connection, QString& place);
// Runs a statement given whole on a connection of the tools; a refusal is a
// StoreError in Portuguese naming the server. The result is freed.
void runOnServer(pg_conn* connection, const QByteArray& sql, const QString& place);
