#include "store/server_engine.h"

#include "store/dialect.h"
#include "store/schema.h"
#include "store/statement.h"
#include "store/till_copy.h"

#include <libpq-fe.h>

#include <QStringList>

#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

// Type numbers of the server's own types that read as numbers.
constexpr Oid BOOL_TYPE = 16;
constexpr Oid INT8_TYPE = 20;
constexpr Oid INT2_TYPE = 21;
constexpr Oid INT4_TYPE = 23;
constexpr Oid FLOAT4_TYPE = 700;
constexpr Oid FLOAT8_TYPE = 701;
constexpr Oid NUMERIC_TYPE = 1700;

// After this long unused, a connection is checked before an action uses it:
// a server restarted overnight is reconnected to, not reported.
constexpr qint64 CHECK_AFTER_IDLE_MS = 10'000;

const QString NOT_ANSWERING =
    QStringLiteral("o servidor não responde (verifique se ele está ligado e a rede até ele)");

QString placeOf(PGconn* connection)
{
    const QString host = QString::fromUtf8(PQhost(connection));
    const QString where = host.startsWith(u'/') ? QStringLiteral("soquete local %1").arg(host) : host;
    return QStringLiteral("%1, porta %2, banco %3")
        .arg(where, QString::fromUtf8(PQport(connection)), QString::fromUtf8(PQdb(connection)));
}

// Why a connection could not be made, from libpq's own words.
QString connectionCause(const QString& message)
{
    if (message.contains(QLatin1String("password authentication failed")) ||
        message.contains(QLatin1String("no password supplied")))
        return QStringLiteral("o servidor recusou a senha do usuário (confira o arquivo de senhas ~/.pgpass ou a "
                              "variável PGPASSWORD)");
    if (message.contains(QLatin1String("pg_hba.conf")) || message.contains(QLatin1String("not permitted")) ||
        (message.contains(QLatin1String("role")) && message.contains(QLatin1String("does not exist"))))
        return QStringLiteral("o servidor recusou a conexão deste caixa (usuário ou endereço não autorizado)");
    if (message.contains(QLatin1String("database")) && message.contains(QLatin1String("does not exist")))
        return QStringLiteral("o banco de dados não existe no servidor");
    // Not there, or going down or coming up (a restart): the server does not answer yet.
    static const QStringList away{QStringLiteral("Connection refused"),   QStringLiteral("No such file"),
                                  QStringLiteral("timeout"),              QStringLiteral("could not translate host"),
                                  QStringLiteral("unreachable"),          QStringLiteral("No route to host"),
                                  QStringLiteral("terminating connection"), QStringLiteral("shutting down"),
                                  QStringLiteral("starting up"),          QStringLiteral("closed the connection"),
                                  QStringLiteral("Connection reset"),     QStringLiteral("recovery mode")};
    for (const QString& sign : away)
        if (message.contains(sign))
            return NOT_ANSWERING;
    return QStringLiteral("a conexão falhou (%1)").arg(message.trimmed());
}

// What a failed statement means for the shop, from its SQLSTATE.
QString statementCause(const QString& state, const QString& message)
{
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") || state == QLatin1String("57P02") ||
        state == QLatin1String("57P03"))
        return QStringLiteral("A conexão com o servidor de banco de dados foi perdida. Verifique o servidor e a rede "
                              "e repita a operação.");
    if (state == QLatin1String("40001") || state == QLatin1String("40P01"))
        return QStringLiteral("Outro caixa alterou os mesmos dados ao mesmo tempo; nada foi gravado. Repita a "
                              "operação.");
    if (state == QLatin1String("55P03") || state == QLatin1String("57014"))
        return QStringLiteral("O servidor de banco de dados está ocupado; nada foi feito. Aguarde um momento e "
                              "tente de novo.");
    if (state == QLatin1String("53100"))
        return QStringLiteral("O disco do servidor de banco de dados está cheio; nada foi gravado.");
    if (state.startsWith(QLatin1String("53")))
        return QStringLiteral("O servidor de banco de dados está sem recursos (memória ou conexões); nada foi "
                              "gravado. Tente de novo em instantes.");
    if (state == QLatin1String("42501"))
        return QStringLiteral("O usuário deste caixa não tem permissão para esta operação no servidor; nada foi "
                              "gravado.");
    return QStringLiteral("Erro no banco de dados: %1").arg(message.trimmed());
}

bool isConflict(const QString& state)
{
    return state == QLatin1String("40001") || state == QLatin1String("40P01");
}

CellKind kindOf(Oid type)
{
    switch (type) {
    case BOOL_TYPE:
    case INT2_TYPE:
    case INT4_TYPE:
    case INT8_TYPE:
        return CellKind::Integer;
    case FLOAT4_TYPE:
    case FLOAT8_TYPE:
    case NUMERIC_TYPE:
        return CellKind::Real;
    default:
        return CellKind::Text;
    }
}

// A prepared statement of the server. Its rows are fetched whole at the
// first step: one connection runs one command at a time, and a window may
// walk one record set while it runs another statement.
class ServerStatement : public EngineStatement {
public:
    ServerStatement(const ServerEngine& engine, QByteArray name, PGresult* description)
        : engine_(engine), name_(std::move(name)), parameters_(PQnparams(description))
    {
        for (int column = 0; column < PQnfields(description); ++column) {
            names_.append(QString::fromUtf8(PQfname(description, column)));
            kinds_.push_back(kindOf(PQftype(description, column)));
        }
    }
    ~ServerStatement() override
    {
        reset();
        if (PQstatus(engine_.handle()) == CONNECTION_OK)
            PQclear(PQexec(engine_.handle(), ("DEALLOCATE " + name_).constData()));
    }

    void bindNull(int position) override { value(position).reset(); }
    void bindInteger(int position, qint64 number) override { value(position) = QByteArray::number(number); }
    void bindReal(int position, double number) override
    {
        value(position) = std::isfinite(number) ? QByteArray::number(number, 'g', 17)
                          : std::isnan(number)  ? QByteArray("NaN")
                          : number > 0          ? QByteArray("Infinity")
                                                : QByteArray("-Infinity");
    }
    void bindText(int position, QByteArrayView utf8) override { value(position) = utf8.toByteArray(); }

    bool step() override
    {
        if (!result_)
            runStatement();
        return ++row_ < PQntuples(result_);
    }

    void reset() override
    {
        PQclear(result_);
        result_ = nullptr;
        row_ = -1;
        for (std::optional<QByteArray>& parameter : values_)
            parameter.reset();
    }

    qint64 changes() const override { return changes_; }
    int columnCount() const override { return static_cast<int>(names_.size()); }
    QString columnName(int column) const override { return names_.value(column); }

    CellKind kind(int column) const override
    {
        if (!result_ || PQgetisnull(result_, row_, column))
            return CellKind::Null;
        return kinds_[column];
    }
    qint64 integer(int column) const override
    {
        const char* text = PQgetvalue(result_, row_, column);
        return text[0] == 't' ? 1 : text[0] == 'f' ? 0 : std::strtoll(text, nullptr, 10);
    }
    double real(int column) const override { return std::strtod(PQgetvalue(result_, row_, column), nullptr); }
    QByteArrayView bytes(int column) const override
    {
        if (!result_ || PQgetisnull(result_, row_, column))
            return {};
        return QByteArrayView(PQgetvalue(result_, row_, column), PQgetlength(result_, row_, column));
    }

private:
    std::optional<QByteArray>& value(int position)
    {
        if (position < 1 || position > parameters_)
            throw StoreError(QStringLiteral("O comando não tem o parâmetro %1.").arg(position));
        values_.resize(parameters_);
        return values_[position - 1];
    }

    void runStatement()
    {
        values_.resize(parameters_);
        std::vector<const char*> texts;
        for (const std::optional<QByteArray>& parameter : values_)
            texts.push_back(parameter ? parameter->constData() : nullptr);
        PGresult* result = PQexecPrepared(engine_.handle(), name_.constData(), parameters_, texts.data(), nullptr,
                                          nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            engine_.fail(result);
        const char* changed = PQcmdTuples(result);
        changes_ = changed && *changed ? std::strtoll(changed, nullptr, 10) : 0;
        if (status == PGRES_TUPLES_OK && PQntuples(result) == 1 && PQnfields(result) == 1 &&
            qstrcmp(PQfname(result, 0), "rowid") == 0 && qstrncmp(PQcmdStatus(result), "INSERT", 6) == 0)
            engine_.inserted(std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10));
        result_ = result;
        row_ = -1;
    }

    const ServerEngine& engine_;
    QByteArray name_;
    int parameters_;
    QStringList names_;
    std::vector<CellKind> kinds_;
    std::vector<std::optional<QByteArray>> values_;
    PGresult* result_ = nullptr;
    int row_ = -1;
    qint64 changes_ = 0;
};

}   // namespace

QString serverFailure(const QString& place, const QString& cause)
{
    return QStringLiteral("Não foi possível usar o servidor de banco de dados da loja (%1): %2.").arg(place, cause);
}

pg_conn* connectToServer(const QString& connection, QString& place)
{
    // A server that does not answer is noticed within about three seconds,
    // also when a cable was pulled and nothing refuses the connection: a
    // bounded connect, keepalives after one idle second, and a bound on data
    // the server never acknowledged. The shop's own settings, given after
    // these, may change them.
    const QByteArray given = connection.toUtf8();
    const char* keywords[] = {"connect_timeout", "keepalives",         "keepalives_idle", "keepalives_interval",
                              "keepalives_count", "tcp_user_timeout", "dbname",          nullptr};
    const char* values[] = {"2", "1", "1", "1", "2", "2500", given.constData(), nullptr};
    PGconn* server = PQconnectdbParams(keywords, values, 1);
    place = server ? placeOf(server) : connection;
    if (!server || PQstatus(server) != CONNECTION_OK) {
        const QString message = server ? QString::fromUtf8(PQerrorMessage(server)) : QString();
        PQfinish(server);
        const QString cause = connectionCause(message);
        if (cause == NOT_ANSWERING)
            throw ServerAway(serverFailure(place, cause));
        throw StoreError(serverFailure(place, cause));
    }
    PQsetClientEncoding(server, "UTF8");
    // The server's notices and warnings (a standby not answering, a
    // statement's note) are in English and meant for its administrator: libpq
    // would print them on the program's error output.
    PQsetNoticeProcessor(server, [](void*, const char*) {}, nullptr);
    return server;
}

void runOnServer(pg_conn* connection, const QByteArray& sql, const QString& place)
{
    PGresult* result = PQexec(connection, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK || status == PGRES_EMPTY_QUERY) {
        PQclear(result);
        return;
    }
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const QString cause = statementCause(QString::fromLatin1(state ? state : ""),
                                         QString::fromUtf8(primary ? primary : PQerrorMessage(connection)));
    PQclear(result);
    throw StoreError(QStringLiteral("%1\nServidor: %2").arg(cause, place));
}

ServerEngine::ServerEngine(const QString& connection, int till) : till_(till)
{
    connection_ = connectToServer(connection, place_);
    try {
        PQclear(run("SET application_name = 'tenduca, caixa " + QByteArray::number(till_) + "'"));
        checkIsAShop();
        addPixTakings();
        keepChangeCounters();
        addPartialIndexes();
        addReceivedSales();
    } catch (...) {
        PQfinish(connection_);
        connection_ = nullptr;
        throw;
    }
    touched();
}

ServerEngine::~ServerEngine()
{
    dropKeptStatements();
    PQfinish(connection_);
}

// The five tables and the store's folding function tell a shop's database.
void ServerEngine::checkIsAShop()
{
    PGresult* result = run("select count(*) from pg_tables where schemaname = current_schema() and tablename in "
                           "('productos', 'temporal', 'tipopago', 'recaudacion', 'usuarios')");
    const bool tables = PQntuples(result) == 1 && QByteArray(PQgetvalue(result, 0, 0)) == "5";
    PQclear(result);
    result = run("select count(*) from pg_proc where proname = 'tenduca_dobra'");
    const bool folding = PQntuples(result) == 1 && QByteArray(PQgetvalue(result, 0, 0)) != "0";
    PQclear(result);
    if (!tables || !folding)
        throw StoreError(serverFailure(place_, QStringLiteral("o banco de dados não é o de uma loja do Tenduca "
                                                              "(crie-o com \"tenduca-db servidor criar\")")));
}

// A shop made before Pix was taken gets its takings' Pix field at a till's
// start, as bd1 gets it at its first open. A login that may not alter the
// table leaves it as it is: cash and card go on, and a Pix sale is refused.
void ServerEngine::addPixTakings()
{
    PGresult* result = run("select count(*) from information_schema.columns where table_schema = current_schema() "
                           "and table_name = 'tipopago' and column_name = 'pix'");
    const bool present = PQntuples(result) == 1 && QByteArray(PQgetvalue(result, 0, 0)) != "0";
    PQclear(result);
    if (!present)
        PQclear(PQexec(connection_, "alter table tipopago add column if not exists pix double precision default 0"));
}

// A shop made before the tills kept their own copies gets the change
// counters their refreshes read, at a till's start. A login that may not
// alter the tables leaves them as they are: the till sells on the server, and
// a refresh of its copy says what the server lacks.
void ServerEngine::keepChangeCounters()
{
    try {
        addChangeCounters(*this);
    } catch (const StoreError&) {
        if (failed())
            throw;
    }
}

// A shop made before an index of part of a table gets it at a till's start,
// in one statement; a login that may not create it leaves the shop without
// it (its listing walks the table instead).
void ServerEngine::addPartialIndexes()
{
    for (const TableDefinition& table : storeTables()) {
        for (const PartialIndex& index : table.partialIndexes) {
            // Only when missing: making it holds every till's writes off the table.
            PGresult* result = run("select count(*) from pg_indexes where schemaname = current_schema() and "
                                   "indexname = '" + index.name.toLower().toUtf8() + "'");
            const bool present = PQntuples(result) == 1 && QByteArray(PQgetvalue(result, 0, 0)) != "0";
            PQclear(result);
            if (!present)
                PQclear(PQexec(connection_, dialect().createIndex(table, index).toUtf8().constData()));
        }
    }
}

// A shop made before its tills kept sales while it was away gets the record
// of received sale ids at a till's start; a login that may not create it
// leaves the shop as it is, and a sale with an id is then refused.
void ServerEngine::addReceivedSales()
{
    PQclear(PQexec(connection_, RECEIVED_SALES_TABLE));
}

PGresult* ServerEngine::run(const QByteArray& sql) const
{
    touched();
    PGresult* result = PQexec(connection_, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_EMPTY_QUERY)
        fail(result);
    return result;
}

void ServerEngine::fail(PGresult* result) const
{
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    lastState_ = state ? QString::fromLatin1(state) : QString();
    lastMessage_ = QString::fromUtf8(primary ? primary : PQerrorMessage(connection_));
    // libpq's own report of a connection that broke carries no state.
    if (PQstatus(connection_) != CONNECTION_OK)
        lastState_ = QStringLiteral("08006");
    PQclear(result);
    if (isConflict(lastState_))
        throw ConflictError(statementCause(lastState_, lastMessage_));
    if (connectionLost()) {
        markFailed();
        throw ServerAway(lastError().message());
    }
    throw lastError();
}

std::unique_ptr<EngineStatement> ServerEngine::prepare(const QByteArray& sql)
{
    const QByteArray name = "tenduca_" + QByteArray::number(++prepared_);
    touched();
    PGresult* prepared = PQprepare(connection_, name.constData(), dialect().preparedText(sql).constData(), 0, nullptr);
    if (PQresultStatus(prepared) != PGRES_COMMAND_OK)
        fail(prepared);
    PQclear(prepared);
    PGresult* description = PQdescribePrepared(connection_, name.constData());
    if (PQresultStatus(description) != PGRES_COMMAND_OK)
        fail(description);
    auto statement = std::make_unique<ServerStatement>(*this, name, description);
    PQclear(description);
    return statement;
}

void ServerEngine::execute(QByteArrayView sql)
{
    PQclear(run(sql.toByteArray()));
}

qint64 ServerEngine::lastInsertRowId() const
{
    if (const std::optional<qint64> given = std::exchange(inserted_, std::nullopt))
        return *given;
    PGresult* result = run("select lastval()");
    const qint64 id = std::strtoll(PQgetvalue(result, 0, 0), nullptr, 10);
    PQclear(result);
    return id;
}

void ServerEngine::beginWriting()
{
    execute(dialect().beginWriting());
}

// A connection lost while the server was committing leaves the outcome
// unknown: said apart, so that the writing is looked for before it is repeated.
void ServerEngine::commit()
{
    try {
        execute("COMMIT");
    } catch (const StoreError& error) {
        if (PQstatus(connection_) != CONNECTION_OK)
            throw UncertainCommit(error.message());
        throw;
    }
}

void ServerEngine::rollback()
{
    if (PQstatus(connection_) == CONNECTION_OK && PQtransactionStatus(connection_) != PQTRANS_IDLE)
        PQclear(PQexec(connection_, "ROLLBACK"));
}

// A connection unused for a while may have been cut (a server restarted
// overnight): it is tried before an action relies on it.
bool ServerEngine::stillCurrent() const
{
    if (PQstatus(connection_) != CONNECTION_OK)
        return false;
    if (idle_.isValid() && idle_.elapsed() < CHECK_AFTER_IDLE_MS)
        return true;
    PGresult* result = PQexec(connection_, "select 1");
    const bool alive = PQresultStatus(result) == PGRES_TUPLES_OK;
    PQclear(result);
    touched();
    return alive;
}

bool ServerEngine::atRest() const
{
    return PQstatus(connection_) != CONNECTION_OK || PQtransactionStatus(connection_) == PQTRANS_IDLE;
}

void ServerEngine::bringToRest()
{
    rollback();
}

// Only a connection lost is closed after an error: a refused statement or a
// conflict leaves it as good as before.
bool ServerEngine::connectionLost() const
{
    return PQstatus(connection_) != CONNECTION_OK || lastState_.startsWith(QLatin1String("08")) ||
           lastState_.startsWith(QLatin1String("57P"));
}

StoreError ServerEngine::lastError() const
{
    return StoreError(QStringLiteral("%1\nServidor: %2").arg(statementCause(lastState_, lastMessage_), place_));
}

const Dialect& ServerEngine::dialect() const
{
    return Dialect::server();
}

void ServerEngine::writeCopy(const QString&)
{
    throw StoreError(QStringLiteral("Esta instalação usa um servidor de banco de dados; faça o backup com a "
                                    "ferramenta do servidor."));
}

QString ServerEngine::declaredCollation(const QString& table, const QString& field)
{
    Statement collation(*this, "select coalesce(collation_name, 'default') from information_schema.columns where "
                               "table_schema = current_schema() and table_name = lower(?) and column_name = lower(?)");
    collation.bind(1, table);
    collation.bind(2, field);
    return collation.next() ? collation.text(0) : QString();
}

void ServerEngine::runScript(QTextStream&, ScriptOutput&)
{
    throw StoreError(QStringLiteral("Esta instalação usa um servidor de banco de dados; use o programa do servidor "
                                    "(psql) para consultá-lo."));
}
