#include "store/till_copy.h"

#include "store/engine.h"
#include "store/schema.h"
#include "store/server_engine.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <QRegularExpression>

#include <limits>

// How the server knows what changed since a copy's last refresh.
//
// Every product and user row carries the transaction that last wrote it
// (changed_in, set by a trigger, so rows written by other programs carry it
// too), and removed_rows lists the rows deleted or emptied out, with their
// transaction. A refresh reads the server in one snapshot and keeps that
// snapshot as the copy's mark; the next one reads the rows whose transaction
// that snapshot did not see. A plain counter taken from a sequence would not
// do: a transaction still open at a refresh may have taken a lower number
// than one already committed, and the copy would miss its change for good.

namespace {

// Rows read from the server at a time: a large catalogue is never held whole.
constexpr int BATCH_ROWS = 5000;
// Serialises the tills that add the change counters at the same moment.
constexpr char COUNTERS_LOCK[] = "select pg_advisory_xact_lock(7402028)";

constexpr char MARK_TABLE[] = "create table if not exists TillCopyMark (ServerSnapshot TEXT NOT NULL)";

const QList<const TableDefinition*>& copiedTables()
{
    static const QList<const TableDefinition*> tables{findTable(QStringLiteral("Productos")),
                                                      findTable(QStringLiteral("Usuarios"))};
    return tables;
}

// "rowid, Field, Field…": the row id first, then the layout's fields.
QString fieldList(const TableDefinition& table)
{
    QStringList fields{QStringLiteral("rowid")};
    for (const FieldDefinition& field : table.fields)
        fields.append(plainName(field.name));
    return fields.join(QStringLiteral(", "));
}

bool hasChangeCounters(Engine& server)
{
    Statement present(server, "select to_regclass('removed_rows') is not null");
    return present.next() && present.whole(0) != 0;
}

// The server as one refresh reads it.
struct ServerView {
    QString snapshot;   // what this read sees, the copy's next mark
    QString since;      // the copy's mark: what the last refresh saw
    bool whole = false;   // the copy is filled anew
};

QString markOf(Engine& copy)
{
    Statement mark(copy, "select ServerSnapshot from TillCopyMark");
    return mark.next() ? mark.text(0) : QString();
}

void keepMark(Engine& copy, const QString& snapshot)
{
    copy.execute("delete from TillCopyMark");
    Statement mark(copy, "insert into TillCopyMark (ServerSnapshot) values (?)");
    mark.bind(1, snapshot);
    mark.run();
}

// The first statement of the read: it fixes the snapshot every later one sees.
ServerView viewOf(Engine& server, const QString& since)
{
    static const QRegularExpression snapshotForm(QStringLiteral("^\\d+:\\d+:(\\d+(,\\d+)*)?$"));
    ServerView view;
    view.since = snapshotForm.match(since).hasMatch() ? since : QString();
    Statement read(server, "select pg_current_snapshot()::text, to_regclass('removed_rows') is not null, "
                           "coalesce(pg_snapshot_xmax(pg_current_snapshot()) < pg_snapshot_xmax(?::pg_snapshot), "
                           "true)");
    if (view.since.isEmpty())
        read.bindNull(1);
    else
        read.bind(1, view.since);
    read.next();
    if (read.whole(1) == 0)
        throw StoreError(serverFailure(server.place(), QStringLiteral("o servidor não registra as alterações do "
                                                                      "catálogo e dos usuários que a cópia do caixa "
                                                                      "precisa (um caixa do Tenduca o prepara ao "
                                                                      "iniciar com um usuário que possa alterar as "
                                                                      "tabelas)")));
    view.snapshot = read.text(0);
    view.whole = read.whole(2) != 0;
    return view;
}

// The server's rows of a table in row id order, BATCH_ROWS at a time: every
// row when the copy is filled anew, else those the last refresh did not see.
// Calls take(row) for each; returns how many.
template <typename Take>
qint64 walkServerRows(Engine& server, const QByteArray& sql, const ServerView& view, Take take)
{
    Statement rows(server, sql);
    qint64 last = std::numeric_limits<qint64>::min();
    qint64 count = 0;
    for (int read = BATCH_ROWS; read == BATCH_ROWS; count += read) {
        rows.reset();
        rows.bind(1, last);
        if (!view.whole)
            rows.bind(2, view.since);
        for (read = 0; rows.next(); ++read) {
            take(rows);
            last = rows.whole(0);
        }
    }
    return count;
}

// Rows whose transaction the copy's mark did not see.
QString unseen(const QString& field)
{
    return QStringLiteral("%1 >= pg_snapshot_xmin(?2::pg_snapshot) and not pg_visible_in_snapshot(%1, "
                          "?2::pg_snapshot)")
        .arg(field);
}

qint64 copyChangedRows(Engine& server, Engine& copy, const TableDefinition& table, const ServerView& view)
{
    const QString fields = fieldList(table);
    const QString changed = view.whole ? QString() : QStringLiteral(" and ") + unseen(QStringLiteral("changed_in"));
    const QString select = QStringLiteral("select %1 from %2 where rowid > ?1%3 order by rowid limit %4")
                               .arg(fields, plainName(table.name), changed)
                               .arg(BATCH_ROWS);
    const QStringList marks(table.fields.size() + 1, QStringLiteral("?"));
    Statement upsert(copy, QStringLiteral("insert or replace into %1 (%2) values (%3)")
                               .arg(quotedName(table.name), fields, marks.join(QStringLiteral(", ")))
                               .toUtf8());
    return walkServerRows(server, select.toUtf8(), view, [&](const Statement& row) {
        for (int column = 0; column < row.columnCount(); ++column)
            upsert.bind(column + 1, row, column);
        upsert.run();
    });
}

qint64 emptyCopyTable(Engine& copy, const TableDefinition& table)
{
    Statement empty(copy, QStringLiteral("delete from %1").arg(quotedName(table.name)).toUtf8());
    empty.run();
    return empty.changes();
}

// The rows the server removed since the mark, taken out of the copy; a table
// emptied out on the server (truncated) is emptied in the copy.
qint64 removeRemovedRows(Engine& server, Engine& copy, const TableDefinition& table, const ServerView& view)
{
    const QString name = table.name.toLower();
    Statement emptied(server, QStringLiteral("select exists (select from removed_rows where table_name = ?1 and row_id "
                                             "is null and %1)")
                                  .arg(unseen(QStringLiteral("changed_in")))
                                  .toUtf8());
    emptied.bind(1, name);
    emptied.bind(2, view.since);
    if (emptied.next() && emptied.whole(0) != 0)
        return emptyCopyTable(copy, table);

    Statement remove(copy, QStringLiteral("delete from %1 where rowid = ?").arg(quotedName(table.name)).toUtf8());
    qint64 removed = 0;
    const QString select = QStringLiteral("select distinct row_id from removed_rows where row_id > ?1 and %1 and "
                                          "table_name = '%2' order by row_id limit %3")
                               .arg(unseen(QStringLiteral("changed_in")), name)
                               .arg(BATCH_ROWS);
    walkServerRows(server, select.toUtf8(), view, [&](const Statement& row) {
        remove.bind(1, row.whole(0));
        remove.run();
        removed += remove.changes();
    });
    return removed;
}

struct TableRefresh {
    qint64 changed = 0;
    qint64 removed = 0;
};

// Removals first: a row removed and then written again under the same id is
// among the changed rows, and comes back.
TableRefresh refreshTable(Engine& server, Engine& copy, const TableDefinition& table, const ServerView& view)
{
    TableRefresh refreshed;
    if (view.whole)
        emptyCopyTable(copy, table);
    else
        refreshed.removed = removeRemovedRows(server, copy, table, view);
    refreshed.changed = copyChangedRows(server, copy, table, view);
    return refreshed;
}

}   // namespace

QStringList changeCounterStatements()
{
    QStringList statements{
        QStringLiteral("create table removed_rows (table_name text not null, row_id bigint, changed_in xid8 not null "
                       "default pg_current_xact_id())"),
        QStringLiteral("create index removed_rows_changed_in on removed_rows (changed_in)"),
        QStringLiteral("create function tenduca_mark_change() returns trigger language plpgsql as $$ begin "
                       "new.changed_in := pg_current_xact_id(); return new; end $$"),
        QStringLiteral("create function tenduca_record_removals() returns trigger language plpgsql as $$ begin "
                       "insert into removed_rows (table_name, row_id) select tg_table_name, rowid from removed; "
                       "return null; end $$"),
        // A row id left empty stands for every row of the table.
        QStringLiteral("create function tenduca_record_emptying() returns trigger language plpgsql as $$ begin "
                       "insert into removed_rows (table_name, row_id) values (tg_table_name, null); return null; "
                       "end $$"),
    };
    for (const TableDefinition* table : copiedTables()) {
        const QString name = plainName(table->name).toLower();
        statements += {
            QStringLiteral("alter table %1 add column changed_in xid8").arg(name),
            QStringLiteral("create index %1_changed_in on %1 (changed_in)").arg(name),
            QStringLiteral("create trigger %1_mark_change before insert or update on %1 for each row execute "
                           "function tenduca_mark_change()")
                .arg(name),
            QStringLiteral("create trigger %1_record_removals after delete on %1 referencing old table as removed "
                           "for each statement execute function tenduca_record_removals()")
                .arg(name),
            QStringLiteral("create trigger %1_record_emptying after truncate on %1 for each statement execute "
                           "function tenduca_record_emptying()")
                .arg(name),
        };
    }
    return statements;
}

void addChangeCounters(Engine& server)
{
    // Read committed: once the lock is held, the check sees what another
    // till committed while this one waited for it.
    server.execute("begin");
    try {
        server.execute(COUNTERS_LOCK);
        if (!hasChangeCounters(server)) {
            for (const QString& statement : changeCounterStatements())
                server.execute(statement.toUtf8());
        }
        server.commit();
    } catch (...) {
        server.rollback();
        throw;
    }
}

CopyRefresh refreshTillCopy(Engine& server, Engine& copy)
{
    Transaction writing(copy);
    copy.execute(MARK_TABLE);
    // A repeatable read: every statement of the refresh sees the server's one snapshot.
    Transaction reading(server);
    const ServerView view = viewOf(server, markOf(copy));
    const TableRefresh products = refreshTable(server, copy, *copiedTables().at(0), view);
    const TableRefresh users = refreshTable(server, copy, *copiedTables().at(1), view);
    keepMark(copy, view.snapshot);
    writing.commit();
    return {products.changed, products.removed, users.changed, users.removed};
}
