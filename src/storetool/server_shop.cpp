#include "storetool/server_shop.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/schema.h"
#include "store/server_engine.h"
#include "store/statement.h"
#include "store/till_copy.h"

#include <libpq-fe.h>

#include <QStringList>

#include <cmath>
#include <memory>

namespace {

// A connection of the tool's own, closed however the work ends.
struct ServerConnection {
    explicit ServerConnection(const QString& connection) : handle(connectToServer(connection, place)) {}
    ~ServerConnection() { PQfinish(handle); }
    void run(const QByteArray& sql) const { runOnServer(handle, sql, place); }
    qint64 count(const QByteArray& sql) const
    {
        PGresult* result = PQexec(handle, sql.constData());
        const qint64 value = PQresultStatus(result) == PGRES_TUPLES_OK ? std::atoll(PQgetvalue(result, 0, 0)) : -1;
        PQclear(result);
        return value;
    }

    QString place;
    pg_conn* handle;
};

// One field as the server's copy format writes it: "\N" for nothing, a
// number with every digit it needs, a text with its special characters escaped.
void appendField(QByteArray& line, const Statement& row, int column)
{
    switch (row.kind(column)) {
    case CellKind::Null:
        line += "\\N";
        return;
    case CellKind::Integer:
        line += QByteArray::number(row.whole(column));
        return;
    case CellKind::Real:
        line += QByteArray::number(row.number(column), 'g', 17);
        return;
    case CellKind::Text:
    case CellKind::Blob:
        break;
    }
    for (const char c : row.bytes(column)) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
}

// Copies every row of a bd1 table, its row id first, in row id order;
// returns how many.
int copyTable(Connection& file, const ServerConnection& server, const TableDefinition& table)
{
    QStringList fields{QStringLiteral("rowid")};
    for (const FieldDefinition& field : table.fields)
        fields.append(plainName(field.name));
    const QString list = fields.join(QStringLiteral(", "));
    PGresult* copying =
        PQexec(server.handle, QStringLiteral("copy %1 (%2) from stdin").arg(plainName(table.name), list).toUtf8());
    const bool started = PQresultStatus(copying) == PGRES_COPY_IN;
    PQclear(copying);
    if (!started)
        throw StoreError(serverFailure(server.place, QStringLiteral("a tabela %1 não pôde ser copiada (%2)")
                                                         .arg(table.name, QString::fromUtf8(PQerrorMessage(server.handle)))));
    Statement rows(file, QStringLiteral("select %1 from %2 order by rowid").arg(list, plainName(table.name)).toUtf8());
    int count = 0;
    QByteArray chunk;
    auto flush = [&] {
        if (PQputCopyData(server.handle, chunk.constData(), static_cast<int>(chunk.size())) != 1)
            throw StoreError(serverFailure(server.place, QStringLiteral("a cópia foi interrompida")));
        chunk.clear();
    };
    while (rows.next()) {
        for (int column = 0; column < fields.size(); ++column) {
            if (column > 0)
                chunk += '\t';
            appendField(chunk, rows, column);
        }
        chunk += '\n';
        ++count;
        if (chunk.size() > 1 << 20)
            flush();
    }
    flush();
    PQputCopyEnd(server.handle, nullptr);
    PGresult* result = PQgetResult(server.handle);
    const bool copied = PQresultStatus(result) == PGRES_COMMAND_OK;
    const QString message = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
    PQclear(result);
    while ((result = PQgetResult(server.handle)))
        PQclear(result);
    if (!copied)
        throw StoreError(serverFailure(server.place, QStringLiteral("a tabela %1 não pôde ser copiada (%2)")
                                                         .arg(table.name, message)));
    server.run(QStringLiteral("select setval(pg_get_serial_sequence('%1', 'rowid'), coalesce(max(rowid), 0) + 1, false) "
                              "from %1")
                   .arg(plainName(table.name).toLower())
                   .toUtf8());
    return count;
}

// The shop the server was created with: its tables empty but for the one admin.
bool holdsNoShopYet(const ServerConnection& server)
{
    for (const char* table : {"Productos", "Temporal", "TipoPago", "Recaudacion"}) {
        if (server.count(QByteArray("select count(*) from ") + table) != 0)
            return false;
    }
    return server.count("select count(*) from Usuarios where not (NombreUsuario = 'admin' and Contraseña = 'admin')") == 0;
}

qint64 countOf(Connection& file, const char* sql)
{
    Statement count(file, sql);
    return count.next() ? count.whole(0) : 0;
}

}   // namespace

void createServerShop(const QString& connection)
{
    const ServerConnection server(connection);
    if (server.count("select count(*) from pg_tables where schemaname = current_schema()") != 0)
        throw StoreError(serverFailure(server.place, QStringLiteral("o banco de dados já tem tabelas; crie a loja num "
                                                                    "banco de dados novo e vazio")));
    QStringList statements = Dialect::server().setupStatements();
    for (const TableDefinition& table : storeTables())
        statements += Dialect::server().createTable(table);
    statements += changeCounterStatements();
    statements += QString::fromLatin1(RECEIVED_SALES_TABLE);
    statements += QStringLiteral("insert into Usuarios (NombreUsuario, Contraseña, PermisoCruce) values ('admin', 'admin', 0)");
    server.run("begin");
    server.run(statements.join(u';').toUtf8());
    server.run("commit");
}

ShopSent sendShopToServer(const QString& folder, const QString& connection)
{
    Connection file(folder);
    if (file.sharedByTills())
        throw StoreError(QStringLiteral("A pasta %1 já trabalha com o servidor da loja; indique a pasta do caixa que "
                                        "tem o arquivo de dados bd1.")
                             .arg(folder));
    if (countOf(file, "select count(*) from Temporal") != 0)
        throw StoreError(QStringLiteral("O dia ainda está aberto no bd1 de %1: feche o dia nesse caixa (confirmando o "
                                        "fim das vendas) e envie depois; nada foi enviado.")
                             .arg(folder));
    const ServerConnection server(connection);
    if (!holdsNoShopYet(server))
        throw StoreError(serverFailure(server.place, QStringLiteral("o servidor já guarda os dados de uma loja; nada "
                                                                    "foi enviado")));
    {
        // A shop made by an older tool gets what its tills' copies are refreshed by.
        ServerEngine shop(connection, 1);
        addChangeCounters(shop);
    }
    ShopSent sent;
    server.run("begin");
    server.run("delete from Usuarios");
    for (const TableDefinition& table : storeTables()) {
        if (table.name == QLatin1String("Temporal"))
            continue;
        const int rows = copyTable(file, server, table);
        if (table.name == QLatin1String("Productos"))
            sent.products = rows;
        else if (table.name == QLatin1String("Usuarios"))
            sent.users = rows;
        else if (table.name == QLatin1String("TipoPago"))
            sent.sessions = rows;
        else if (table.name == QLatin1String("Recaudacion"))
            sent.lines = rows;
    }
    server.run("commit");
    return sent;
}
