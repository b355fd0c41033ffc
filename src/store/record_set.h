#pragma once

#include "store/cell_kind.h"
#include "store/queries.h"
#include "store/schema.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class Connection;
class Statement;

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
    // the table's index (the query's filtered form for that field). The value
    // is a text converted as an assignment to that field would convert it.
    struct Equals {
        QString field;
        QString value;
    };

    RecordSet(Connection& connection, const QueryText& query, Mode mode = Mode::Updatable);
    RecordSet(Connection& connection, const QueryText& query, const Equals& filter, Mode mode = Mode::Updatable);
    // For a query with "?" parameters (the name search binds its search text).
    RecordSet(Connection& connection, const QueryText& query, const QVariantList& parameters,
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
    // The current row's id (after update() of a new row, that row's).
    qint64 rowId() const;

    // Reading the current row. A null field reads as an empty text but
    // isNull() tells it apart; number() of a null field is a ConversionError.
    bool isNull(const QString& field) const;
    QString text(const QString& field) const;
    double number(const QString& field) const;
    // A number field left empty counts as 0 (a stock or a takings total never set).
    double numberOrZero(const QString& field) const;
    std::optional<QDateTime> dateTime(const QString& field) const;

    // The same reads by the field's position in the query, found once with
    // column(): a listing that reads many rows looks each name up only once.
    // column() of a field the query lacks is a StoreError.
    int column(const QString& field) const;
    bool isNull(int column) const;
    QString text(int column) const;
    double number(int column) const;
    std::optional<QDateTime> dateTime(int column) const;

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
    // One field of a fetched row as the engine gave it; texts and blobs point
    // into one buffer shared by all rows, so a row costs no allocation.
    struct Cell {
        CellKind kind = CellKind::Null;
        int length = 0;
        union {
            qint64 integer = 0;
            double real;
            qint64 offset;
        };
    };
    struct Row {
        qint64 rowId = 0;
        bool deleted = false;
    };
    // A field of the current row, stored or assigned and not yet updated.
    struct Value {
        CellKind kind = CellKind::Null;
        qint64 integer = 0;
        double real = 0;
        QByteArrayView bytes;
    };
    enum class Editing { None, Changing, Adding };

    RecordSet(Connection& connection, const QueryText& query, const std::optional<Equals>& filter,
              const QVariantList& parameters, Mode mode);
    void open(const QueryText& query, const std::optional<Equals>& filter, const QVariantList& parameters);
    struct Columns;
    static Columns columnsOf(const Statement& statement, int first, const QString& table);
    void readColumns(const char* sql);
    Statement& insertStatement(const QList<int>& assigned);
    bool fetchUpTo(qsizetype index) const;
    void fetchAll() const;
    void finishStatement() const;
    void storePending();
    void requireWritable() const;
    void requireCurrentRow() const;
    const Cell& cellAt(qsizetype row, int column) const { return cells_[row * names_.size() + column]; }
    Cell fetchedCell(int column) const;
    Cell storedCell(const QVariant& assigned) const;
    void appendBytes(Cell& cell, const void* data, int length) const;
    Value valueAt(int column, QByteArray& scratch) const;
    static Value valueOf(const QVariant& assigned, QByteArray& scratch);
    static QVariant variantOf(const Value& value);
    double numberAt(int column, const QString& field) const;
    FieldType typeOf(int index) const;
    static QVariant storedValue(FieldType type, const QString& text);
    qsizetype liveRowFrom(qsizetype index) const;
    qsizetype liveRowBefore(qsizetype index) const;
    // Runs a statement that writes; returns the rows it changed.
    qint64 runWrite(const QString& sql, const QVariantList& values);
    QVariant assignedValue(int column) const;
    void assign(const QString& field, const QVariant& stored);
    void insertPending();
    void updatePending();

    Connection& connection_;
    QString table_;
    bool hasRowIds_ = false;
    bool readOnly_ = false;
    bool tillScoped_ = false;   // this till's rows only; a row added gets its number
    QStringList names_;        // field names as the query gives them
    QStringList lowerNames_;   // the same in lower case
    QList<FieldType> types_;
    QList<QVariant> defaults_;   // a new row's value of each field nothing is assigned to
    QList<int> insertColumns_;   // the fields of the last row added, and its statement
    std::unique_ptr<Statement> insertStatement_;

    mutable std::unique_ptr<Statement> statement_;
    mutable std::vector<Row> rows_;
    mutable std::vector<Cell> cells_;   // rows_.size() x names_.size(), row after row
    mutable QByteArray bytes_;          // the texts and blobs of every cell
    qsizetype position_ = 0;   // -1 before the first row, rows_.size() after the last

    Editing editing_ = Editing::None;
    QHash<int, QVariant> pending_;
};
