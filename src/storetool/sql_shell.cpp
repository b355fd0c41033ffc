#include "storetool/sql_shell.h"

#include "store/connection.h"
#include "store/sqlite_engine.h"

#include <sqlite3.h>

#include <QRegularExpression>
#include <QTextStream>

namespace {

void printRow(sqlite3_stmt* statement, QTextStream& out)
{
    QStringList fields;
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        fields.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString());
    }
    out << fields.join(u'|') << '\n';
}

// The engine's words for the statements people mistype, in Portuguese; its
// own text for anything else, after the file.
QString refusal(SqliteEngine& engine)
{
    static const QList<std::pair<QRegularExpression, QString>> known = {
        {QRegularExpression(QStringLiteral("^no such table: (.+)$")), QStringLiteral("a tabela %1 não existe")},
        {QRegularExpression(QStringLiteral("^no such column: (.+)$")), QStringLiteral("o campo %1 não existe")},
        {QRegularExpression(QStringLiteral("^near \"(.+)\": syntax error$")),
         QStringLiteral("erro de sintaxe perto de \"%1\"")},
        {QRegularExpression(QStringLiteral("^incomplete input$")), QStringLiteral("o comando está incompleto")},
    };
    const QString message = engine.engineMessage();
    for (const auto& [pattern, words] : known) {
        const QRegularExpressionMatch match = pattern.match(message);
        if (match.hasMatch())
            return words.arg(match.captured(1));
    }
    return engine.lastError().message();
}

// Runs every statement of the text in turn; returns false when one was refused.
bool runText(SqliteEngine& engine, const QByteArray& text, QTextStream& out, QTextStream& err)
{
    bool allRan = true;
    const char* next = text.constData();
    const char* end = next + text.size();
    while (next < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(engine.handle(), next, static_cast<int>(end - next), &statement, &tail);
        next = tail;
        if (rc == SQLITE_OK && statement) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
                printRow(statement, out);
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE) {
            err << QStringLiteral("Comando recusado: %1\n").arg(refusal(engine));
            allRan = false;
        }
        sqlite3_finalize(statement);
        out.flush();
        if (!tail)
            break;
    }
    return allRan;
}

// A transaction the statements began and did not end is not left holding
// the file: it is rolled back, and said so.
bool endOpenTransaction(Connection& connection, QTextStream& err)
{
    if (connection.engine().atRest())
        return true;
    connection.engine().bringToRest();
    err << QStringLiteral("Uma transação aberta sem COMMIT foi desfeita; nada dela foi gravado.\n");
    return false;
}

SqliteEngine& fileOf(Connection& connection)
{
    auto* engine = dynamic_cast<SqliteEngine*>(&connection.engine());
    if (!engine)
        throw StoreError(QStringLiteral("Esta instalação usa um servidor de banco de dados; use o programa do "
                                        "servidor (psql) para consultá-lo."));
    return *engine;
}

}   // namespace

bool runSqlStatements(const QString& folder, const QString& sql, QTextStream& out, QTextStream& err)
{
    Connection connection(folder);
    const bool allRan = runText(fileOf(connection), sql.toUtf8(), out, err);
    return endOpenTransaction(connection, err) && allRan;
}

bool runSqlStatements(const QString& folder, QTextStream& in, QTextStream& out, QTextStream& err)
{
    Connection connection(folder);
    SqliteEngine& file = fileOf(connection);
    bool allRan = true;
    QByteArray pending;
    QString line;
    while (in.readLineInto(&line)) {
        pending += line.toUtf8() + '\n';
        if (!sqlite3_complete(pending.constData()))
            continue;
        allRan = runText(file, pending, out, err) && allRan;
        pending.clear();
    }
    if (!pending.trimmed().isEmpty())
        allRan = runText(file, pending, out, err) && allRan;
    return endOpenTransaction(connection, err) && allRan;
}
