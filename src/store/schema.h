#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The logical type of a field: how texts assigned to it are converted and how
// it reads back as text.
enum class FieldType {
    Text,
    Number,        // a double
    WholeNumber,   // an integer
    DateTime,      // kept as "yyyy-mm-dd hh:mm:ss"; read and written as "dd/mm/yyyy h:mm:ss"
};

struct FieldDefinition {
    QString name;
    FieldType type;
    std::optional<double> defaultValue = std::nullopt;
    // The collation the field is declared with (empty: the engine's byte order).
    QString collation = {};
};

// An index of the rows that meet a condition alone, by one field: a listing
// of those rows in that field's order walks it instead of the whole table.
struct PartialIndex {
    QString name;
    QString field;
    QString condition;   // plain names, meaning the same on bd1 and a server
};

struct TableDefinition {
    QString name;
    QList<FieldDefinition> fields;
    QStringList indexedFields;   // fields the lookups search by
    QList<PartialIndex> partialIndexes = {};
};

// The five tables of bd1, their fields in stored order.
const QList<TableDefinition>& storeTables();
const TableDefinition* findTable(const QString& name);
std::optional<FieldType> fieldTypeOf(const QString& table, const QString& field);
const FieldDefinition* findField(const TableDefinition& table, const QString& field);

QString quotedName(const QString& name);
// A table or field name written as it stands, so that it means the same to
// bd1's engine and to a server that folds names to lower case; a name that is
// not a plain word (letters, digits, "_") is a StoreError.
QString plainName(const QString& name);
QString indexName(const TableDefinition& table, const QString& field);

// Fields of Temporal in the layout the unit price belongs to, the till number not counted.
inline constexpr int TEMPORAL_FIELD_COUNT = 11;
