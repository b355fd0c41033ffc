#include "support/test_database.h"

#include "store/connection.h"
#include "store/statement.h"

#include <QtTest>

TestDatabase::TestDatabase(const NewDatabaseOptions& options)
{
    if (!dir_.isValid())
        qFatal("no temporary directory");
    createDatabase(dir_.path(), options);
}

TestDatabase::~TestDatabase()
{
    Connection::release(folder());
}

QString TestDatabase::path() const
{
    return databasePath(folder());
}

void TestDatabase::execute(const QString& sql) const
{
    Connection connection(folder());
    ::execute(connection, sql);
}

QVariant TestDatabase::scalar(const QString& sql) const
{
    Connection connection(folder());
    Statement statement(connection, sql.toUtf8());
    if (!statement.next())
        return {};
    switch (statement.kind(0)) {
    case CellKind::Integer:
        return static_cast<qlonglong>(statement.whole(0));
    case CellKind::Real:
        return statement.number(0);
    case CellKind::Text:
        return statement.text(0);
    default:
        return {};
    }
}

int TestDatabase::count(const QString& table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

QList<QStringList> rowsOf(Connection& connection, const QByteArray& sql)
{
    Statement statement(connection, sql);
    QList<QStringList> rows;
    while (statement.next()) {
        QStringList row;
        for (int column = 0; column < statement.columnCount(); ++column)
            row.append(statement.text(column));
        rows.append(row);
    }
    return rows;
}

QStringList storedRows(const QString& folder)
{
    Connection connection(folder);
    QStringList rows;
    for (const char* table : {"Productos", "Temporal", "TipoPago", "Recaudacion", "Usuarios"}) {
        Statement statement(connection, QByteArray("SELECT * FROM \"") + table + "\" ORDER BY rowid");
        while (statement.next()) {
            QStringList values{QString::fromLatin1(table)};
            for (int i = 0; i < statement.columnCount(); ++i)
                values.append(statement.text(i));
            rows.append(values.join(u'|'));
        }
    }
    return rows;
}

NewProduct product(const QString& code, const QString& name, double salePrice, double quantity, int criticalStock,
                   double costPrice, const QString& category)
{
    return NewProduct{code, name, quantity, costPrice, salePrice, criticalStock, category};
}

QStringList TestDatabase::columns(const QString& table) const
{
    Connection connection(folder());
    Statement statement(connection, QStringLiteral("PRAGMA table_info(\"%1\")").arg(table).toUtf8());
    QStringList columns;
    while (statement.next())
        columns.append(statement.text(1) + u':' + statement.text(2));
    return columns;
}
