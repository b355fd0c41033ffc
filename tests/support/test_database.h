#pragma once

#include "storetool/database_creator.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>

// A program folder in a temporary directory holding a new bd1.
class TestDatabase {
public:
    explicit TestDatabase(const NewDatabaseOptions& options = {});
    // Closes the store's connection to the folder's bd1 before the folder goes.
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    QString folder() const { return dir_.path(); }
    QString path() const;

    // Statements and single values, straight through the engine, for setting
    // up and checking what is stored.
    void execute(const QString& sql) const;
    QVariant scalar(const QString& sql) const;
    int count(const QString& table) const;
    // The table's columns as "name:type", in stored order.
    QStringList columns(const QString& table) const;

private:
    QTemporaryDir dir_;
};

class Connection;

// The rows of a statement, each field as the engine writes it as text.
QList<QStringList> rowsOf(Connection& connection, const QByteArray& sql);

// Every row of the five tables of the bd1 in folder, one text per row
// ("Table|value|value|…", by table and row order), for comparing two files.
QStringList storedRows(const QString& folder);

NewProduct product(const QString& code, const QString& name, double salePrice, double quantity = 100,
                   int criticalStock = 0, double costPrice = 0, const QString& category = QStringLiteral("Geral"));
