#pragma once

#include "store/schema.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

class Connection;
struct sqlite3_stmt;

// The rows of one query, walked both ways, read and changed field by field.
// Rows are fetched as the walk reaches them; each carries its row id, so that
// a change reaches exactly the row it was made on. A record set must not
// outlive its connection, and until it is read to its end or destroyed it
// keeps its connection on the data as they were when it opened.
class RecordSet {
public:
    enum class Mode {
        Updatable,      // rows may be changed, added and deleted
        ReadOnlyList,   // listings that never change rows
        AppendOnly,     // opened only to add rows: none of the query's rows is read
    };

    // Only the rows whose field equals the value, still in the query's order:
    // the same rows a walk comparing that field would stop at, found through
    // the table's index. The value is a text converted as an assignment to
    // that field would convert it.
    struct Equals {
        QString field;
        QString value;
    };

    RecordSet(Connection& connection, const QString& query, Mode mode = Mode::Updatable);
    RecordSet(Connection& connection, const QString& query, const Equals& filter, Mode mode = Mode::Updatable);
    // For a query with "?" parameters (the name search binds its search text).
    RecordSet(Connection& connection, const QString& query, const QVariantList& parameters,
              Mode mode = Mode::Updatable);
    ~RecordSet();
    RecordSet(const RecordSet&) = delete;
    RecordSet& operator=(const RecordSet&) = delete;

    // Position. At open the first row is current; an empty set is at both ends.
    bool bof() const;
    bool eof() const;
    bool isEmpty() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    // Every row of the set, fetching what is still pending.
    int recordCount() const;


    // Reading the current row. A null field reads as an empty text but
    // isNull() tells it apart; number() of a null field is a ConversionError.
    bool isNull(const QString& field) const;
    QString text(const QString& field) const;
    double number(const QString& field) const;
    std::optional<QDateTime> dateTime(const QString& field) const;

    // Changing. Assignments convert by the field's type (a text that is not a
    // number, for a number field, is a ConversionError and nothing is kept);
    // update() stores them in the current row, or appends the row after addNew().
    // Moving with assignments pending stores them first.
    void addNew();
    void setText(const QString& field, const QString& value);
    void setNumber(const QString& field, double value);
    void setNull(const QString& field);
    void update();
    void deleteCurrent();

private:
    struct Row {
        qint64 rowId = 0;
        QVariantList values;
        bool deleted = false;
    };
    enum class Editing { None, Changing, Adding };

    RecordSet(Connection& connection, const QString& query, const std::optional<Equals>& filter,
              const QVariantList& parameters, Mode mode);
    void open(const QString& query, const std::optional<Equals>& filter, const QVariantList& parameters);
    void prepare(const QString& sql, const QVariantList& parameters);
    void readColumns();
    bool fetchUpTo(qsizetype index) const;
    void fetchAll() const;
    void finishStatement() const;
    void storePending();
    void requireWritable() const;
    void requireCurrentRow() const;
    int fieldIndex(const QString& field) const;
    FieldType typeOf(int index) const;
    static QVariant storedValue(FieldType type, const QString& text);
    qsizetype liveRowFrom(qsizetype index) const;
    qsizetype liveRowBefore(qsizetype index) const;
    void runWrite(const QString& sql, const QVariantList& values);
    sqlite3_stmt* writeStatement(const QString& sql);
    QVariant currentValue(const QString& field) const;
    void assign(const QString& field, const QVariant& stored);
    void insertPending();
    void updatePending();
    [[noreturn]] void fail() const;

    Connection& connection_;
    QString table_;
    bool hasRowIds_ = false;
    bool readOnly_ = false;
    QStringList names_;
    QHash<QString, int> indexByName_;   // field name as the query gives it, and in lower case -> column
    QList<FieldType> types_;

    mutable sqlite3_stmt* statement_ = nullptr;
    mutable std::vector<Row> rows_;
    qsizetype position_ = 0;   // -1 before the first row, rows_.size() after the last

    Editing editing_ = Editing::None;
    QHash<int, QVariant> pending_;
    QHash<QString, sqlite3_stmt*> writeStatements_;
};
