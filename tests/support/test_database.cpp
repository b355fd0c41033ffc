#include "support/test_database.h"

#include "store/connection.h"

#include <sqlite3.h>

#include <QtTest>

TestDatabase::TestDatabase(const NewDatabaseOptions& options)
{
    if (!dir_.isValid())
        qFatal("no temporary directory");
    createDatabase(dir_.path(), options);
}

QString TestDatabase::path() const
{
    return databasePath(folder());
}

void TestDatabase::execute(const QString& sql) const
{
    Connection connection(folder());
    connection.execute(sql);
}

QVariant TestDatabase::scalar(const QString& sql) const
{
    Connection connection(folder());
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection.handle(), sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        connection.fail();
    QVariant value;
    if (sqlite3_step(statement) == SQLITE_ROW) {
        switch (sqlite3_column_type(statement, 0)) {
        case SQLITE_INTEGER:
            value = static_cast<qlonglong>(sqlite3_column_int64(statement, 0));
            break;
        case SQLITE_FLOAT:
            value = sqlite3_column_double(statement, 0);
            break;
        case SQLITE_TEXT:
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            break;
        default:
            break;
        }
    }
    sqlite3_finalize(statement);
    return value;
}

int TestDatabase::count(const QString& table) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table)).toInt();
}

QStringList storedRows(const QString& folder)
{
    Connection connection(folder);
    QStringList rows;
    for (const char* table : {"Productos", "Temporal", "TipoPago", "Recaudacion", "Usuarios"}) {
        sqlite3_stmt* statement = nullptr;
        const QByteArray sql = QByteArray("SELECT * FROM \"") + table + "\" ORDER BY rowid";
        if (sqlite3_prepare_v2(connection.handle(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
            connection.fail();
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList values{QString::fromLatin1(table)};
            for (int i = 0; i < sqlite3_column_count(statement); ++i)
                values.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
            rows.append(values.join(u'|'));
        }
        sqlite3_finalize(statement);
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
    sqlite3_stmt* statement = nullptr;
    const QByteArray sql = QStringLiteral("PRAGMA table_info(\"%1\")").arg(table).toUtf8();
    if (sqlite3_prepare_v2(connection.handle(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        connection.fail();
    QStringList columns;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))) + u':' +
                       QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 2))));
    }
    sqlite3_finalize(statement);
    return columns;
}
