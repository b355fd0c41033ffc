#include "storetool/sql_shell.h"

#include "store/connection.h"
#include "store/engine.h"

#include <QIODevice>
#include <QTextStream>

namespace {

// Rows on out, fields separated by "|"; refusals on err.
class PrintedScript : public ScriptOutput {
public:
    PrintedScript(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    void row(const QStringList& fields) override { out_ << fields.join(u'|') << '\n'; }
    void refused(const QString& reason) override
    {
        err_ << QStringLiteral("Comando recusado: %1\n").arg(reason);
        allRan_ = false;
    }
    void statementEnded() override { out_.flush(); }
    bool allRan() const { return allRan_; }

private:
    QTextStream& out_;
    QTextStream& err_;
    bool allRan_ = true;
};

// A transaction the statements began and did not end is not left holding
// the file: it is rolled back, and said so.
bool endOpenTransaction(Engine& engine, QTextStream& err)
{
    if (engine.atRest())
        return true;
    engine.bringToRest();
    err << QStringLiteral("Uma transação aberta sem COMMIT foi desfeita; nada dela foi gravado.\n");
    return false;
}

}   // namespace

bool runSqlStatements(const QString& folder, const QString& sql, QTextStream& out, QTextStream& err)
{
    QString text = sql;
    QTextStream in(&text, QIODevice::ReadOnly);
    return runSqlStatements(folder, in, out, err);
}

bool runSqlStatements(const QString& folder, QTextStream& in, QTextStream& out, QTextStream& err)
{
    Connection connection(folder);
    PrintedScript printed(out, err);
    connection.engine().runScript(in, printed);
    return endOpenTransaction(connection.engine(), err) && printed.allRan();
}
