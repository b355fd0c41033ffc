// The support staff's shell on bd1: statements typed by hand, run as the
// program would run them.

#include "store/sqlite_engine.h"

#include <sqlite3.h>

#include <QList>
#include <QRegularExpression>
#include <QTextStream>

#include <utility>

namespace {

QStringList rowOf(sqlite3_stmt* statement)
{
    QStringList fields;
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        fields.append(text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString());
    }
    return fields;
}

}   // namespace

// The engine's words for the statements people mistype, in Portuguese; its
// own text for anything else, after the file.
QString SqliteEngine::refusal() const
{
    static const QList<std::pair<QRegularExpression, QString>> known = {
        {QRegularExpression(QStringLiteral("^no such table: (.+)$")), QStringLiteral("a tabela %1 não existe")},
        {QRegularExpression(QStringLiteral("^no such column: (.+)$")), QStringLiteral("o campo %1 não existe")},
        {QRegularExpression(QStringLiteral("^near \"(.+)\": syntax error$")),
         QStringLiteral("erro de sintaxe perto de \"%1\"")},
        {QRegularExpression(QStringLiteral("^incomplete input$")), QStringLiteral("o comando está incompleto")},
    };
    const QString message = engineMessage();
    for (const auto& [pattern, words] : known) {
        const QRegularExpressionMatch match = pattern.match(message);
        if (match.hasMatch())
            return words.arg(match.captured(1));
    }
    return lastError().message();
}

// Runs every statement of the text in turn.
void SqliteEngine::runScriptText(const QByteArray& text, ScriptOutput& output)
{
    const char* next = text.constData();
    const char* end = next + text.size();
    while (next < end) {
        sqlite3_stmt* statement = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db_, next, static_cast<int>(end - next), &statement, &tail);
        next = tail;
        if (rc == SQLITE_OK && statement) {
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
                output.row(rowOf(statement));
        }
        if (rc != SQLITE_OK && rc != SQLITE_DONE)
            output.refused(refusal());
        sqlite3_finalize(statement);
        output.statementEnded();
        if (!tail)
            break;
    }
}

void SqliteEngine::runScript(QTextStream& in, ScriptOutput& output)
{
    QByteArray pending;
    QString line;
    while (in.readLineInto(&line)) {
        pending += line.toUtf8() + '\n';
        if (!sqlite3_complete(pending.constData()))
            continue;
        runScriptText(std::exchange(pending, {}), output);
    }
    if (!pending.trimmed().isEmpty())
        runScriptText(pending, output);
}
