#include "store/record_set.h"
#include "store/fields.h"

#include "common/date_text.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/statement.h"
#include "store/store_error.h"

#include <QMutex>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace {

// Whole-number fields hold what a 32-bit whole number holds; a value is
// rounded to the nearest whole, halves away from zero ("2,5" is 3).
constexpr double WHOLE_MIN = -2147483648.0;
constexpr double WHOLE_MAX = 2147483647.0;

QVariant wholeNumber(double value, const QString& typed)
{
    const double rounded = std::round(value);
    if (!(rounded >= WHOLE_MIN && rounded <= WHOLE_MAX))
        throw ConversionError(QStringLiteral("\"%1\" está fora do intervalo de um número inteiro "
                                             "(de -2147483648 a 2147483647)")
                                  .arg(typed));
    return static_cast<qlonglong>(rounded);
}

QString withField(const ConversionError& error, const QString& field)
{
    return QStringLiteral("%1 (campo %2)").arg(error.message(), field);
}

}   // namespace

namespace {

// A till's copy holds the catalogue and the users; the day's lines and
// takings are the server's, and a copy's empty tables would read as a wrong total.
void refuseDaySessionOnCopy(const Connection& connection, const QueryText& query)
{
    if (!connection.onTillCopy())
        return;
    for (const char* table : {"Temporal", "TipoPago", "Recaudacion"}) {
        if (qstrcmp(query.table, table) == 0)
            throw ServerAway(QStringLiteral("Sem conexão com o servidor: as vendas e a receita do dia ficam no "
                                            "servidor e aparecem quando ele voltar a responder."));
    }
}

}   // namespace

RecordSet::RecordSet(Connection& connection, const QueryText& query, Mode mode)
    : RecordSet(connection, query, std::nullopt, {}, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QueryText& query, const Equals& filter, Mode mode)
    : RecordSet(connection, query, filter, {}, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QueryText& query, const QVariantList& parameters, Mode mode)
    : RecordSet(connection, query, std::nullopt, parameters, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QueryText& query, const std::optional<Equals>& filter,
                     const QVariantList& parameters, Mode mode)
    : connection_(connection), readOnly_(mode == Mode::ReadOnlyList)
{
    refuseDaySessionOnCopy(connection, query);
    open(query, filter, parameters);
    if (mode == Mode::AppendOnly)
        finishStatement();
}

RecordSet::~RecordSet()
{
    finishStatement();
}

void RecordSet::open(const QueryText& query, const std::optional<Equals>& filter, const QVariantList& parameters)
{
    hasRowIds_ = !query.grouped;
    table_ = QString::fromLatin1(query.table);
    if (!hasRowIds_)
        readOnly_ = true;
    const Engine& engine = connection_.engine();
    const char* sql = engine.dialect().queryText(query);
    tillScoped_ = query.tillScoped;
    QVariantList allParameters = parameters;
    if (filter) {
        const QueryFilter* filtered = query.filterOn(filter->field);
        if (!filtered)
            throw StoreError(QStringLiteral("A consulta não tem filtro pelo campo %1: %2").arg(filter->field, query.sql));
        sql = filtered->sql;
        tillScoped_ = filtered->tillScoped;
        const FieldType type = fieldTypeOf(table_, filter->field).value_or(FieldType::Text);
        try {
            allParameters.append(storedValue(type, filter->value));
        } catch (const ConversionError& error) {
            throw ConversionError(withField(error, filter->field));
        }
    }
    if (tillScoped_)
        allParameters.prepend(engine.till());
    statement_ = std::make_unique<Statement>(connection_, sql);
    for (int i = 0; i < allParameters.size(); ++i)
        statement_->bind(i + 1, allParameters[i]);
    readColumns(sql);
}

// What the program knows of each field of a query's rows, worked out once
// per query text: its name, its type, the value a new row gets when nothing
// is assigned to it.
struct RecordSet::Columns {
    QStringList names;
    QStringList lowerNames;
    QList<FieldType> types;
    QList<QVariant> defaults;
};

RecordSet::Columns RecordSet::columnsOf(const Statement& statement, int first, const QString& table)
{
    Columns columns;
    const TableDefinition* definition = findTable(table);
    for (int column = first; column < statement.columnCount(); ++column) {
        const QString name = statement.columnName(column);
        const FieldDefinition* field = definition ? findField(*definition, name) : nullptr;
        columns.names.append(name);
        columns.lowerNames.append(name.toLower());
        columns.types.append(field ? field->type : FieldType::Text);
        columns.defaults.append(field && field->defaultValue ? QVariant(*field->defaultValue) : QVariant());
    }
    return columns;
}

// A layout upgrade may add a field to a table after a query text was first
// used: the fields are worked out again when the statement's differ.
void RecordSet::readColumns(const char* sql)
{
    static QMutex knownLock;   // the window thread's and the sender's record sets
    const QMutexLocker locked(&knownLock);
    static QHash<const char*, Columns> known;
    const int first = hasRowIds_ ? 1 : 0;
    auto found = known.find(sql);
    bool same = found != known.end() && found->names.size() == statement_->columnCount() - first;
    for (int column = first; same && column < statement_->columnCount(); ++column)
        same = statement_->columnName(column) == found->names[column - first];
    if (!same)
        found = known.insert(sql, columnsOf(*statement_, first, table_));
    names_ = found->names;
    lowerNames_ = found->lowerNames;
    types_ = found->types;
    defaults_ = found->defaults;
}

bool RecordSet::fetchUpTo(qsizetype index) const
{
    while (statement_ && static_cast<qsizetype>(rows_.size()) <= index) {
        bool hasRow = false;
        try {
            hasRow = statement_->next();
        } catch (...) {
            finishStatement();
            throw;
        }
        if (!hasRow) {
            finishStatement();
            break;
        }
        const int first = hasRowIds_ ? 1 : 0;
        rows_.push_back({hasRowIds_ ? statement_->whole(0) : 0, false});
        for (int column = 0; column < names_.size(); ++column)
            cells_.push_back(fetchedCell(column + first));
    }
    return index >= 0 && index < static_cast<qsizetype>(rows_.size());
}

RecordSet::Cell RecordSet::fetchedCell(int column) const
{
    Cell cell;
    cell.kind = statement_->kind(column);
    switch (cell.kind) {
    case CellKind::Integer:
        cell.integer = statement_->whole(column);
        break;
    case CellKind::Real:
        cell.real = statement_->number(column);
        break;
    case CellKind::Text:
    case CellKind::Blob: {
        const QByteArrayView bytes = statement_->bytes(column);
        appendBytes(cell, bytes.data(), static_cast<int>(bytes.size()));
        break;
    }
    case CellKind::Null:
        break;
    }
    return cell;
}

void RecordSet::appendBytes(Cell& cell, const void* data, int length) const
{
    cell.offset = bytes_.size();
    cell.length = length;
    bytes_.append(static_cast<const char*>(data), length);
}

// An assigned value as the engine gives it back once stored; its text or
// blob is put in scratch.
RecordSet::Value RecordSet::valueOf(const QVariant& assigned, QByteArray& scratch)
{
    if (assigned.isNull())
        return {};
    switch (assigned.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return {CellKind::Real, 0, assigned.toDouble(), {}};
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return {CellKind::Integer, assigned.toLongLong(), 0, {}};
    case QMetaType::QByteArray:
        scratch = assigned.toByteArray();
        return {CellKind::Blob, 0, 0, scratch};
    default:
        scratch = assigned.toString().toUtf8();
        return {CellKind::Text, 0, 0, scratch};
    }
}

RecordSet::Cell RecordSet::storedCell(const QVariant& assigned) const
{
    QByteArray scratch;
    const Value value = valueOf(assigned, scratch);
    Cell cell;
    cell.kind = value.kind;
    if (value.kind == CellKind::Integer)
        cell.integer = value.integer;
    else if (value.kind == CellKind::Real)
        cell.real = value.real;
    else if (value.kind != CellKind::Null)
        appendBytes(cell, value.bytes.data(), static_cast<int>(value.bytes.size()));
    return cell;
}

void RecordSet::fetchAll() const
{
    fetchUpTo(std::numeric_limits<qsizetype>::max() - 1);
}

void RecordSet::finishStatement() const
{
    statement_.reset();
}

bool RecordSet::isEmpty() const
{
    if (fetchUpTo(0))
        return false;
    return rows_.empty();
}

bool RecordSet::bof() const
{
    return position_ < 0 || isEmpty();
}

bool RecordSet::eof() const
{
    return !fetchUpTo(position_) && position_ >= 0;
}

qsizetype RecordSet::liveRowFrom(qsizetype index) const
{
    while (fetchUpTo(index) && rows_[index].deleted)
        ++index;
    return index;
}

qsizetype RecordSet::liveRowBefore(qsizetype index) const
{
    --index;
    while (index >= 0 && rows_[index].deleted)
        --index;
    return index;
}

void RecordSet::moveFirst()
{
    storePending();
    position_ = liveRowFrom(0);
}

void RecordSet::moveNext()
{
    storePending();
    if (position_ < 0)
        position_ = liveRowFrom(0);
    else if (fetchUpTo(position_))
        position_ = liveRowFrom(position_ + 1);
}

void RecordSet::movePrevious()
{
    storePending();
    if (position_ >= 0)
        position_ = liveRowBefore(position_);
}

void RecordSet::moveLast()
{
    storePending();
    fetchAll();
    const qsizetype end = static_cast<qsizetype>(rows_.size());
    const qsizetype last = liveRowBefore(end);
    position_ = last >= 0 ? last : end;
}

int RecordSet::recordCount() const
{
    fetchAll();
    return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const Row& row) { return !row.deleted; }));
}

// A name is looked for as written, then in lower case; when two fields share
// a name, the later one is read.
int RecordSet::column(const QString& field) const
{
    for (qsizetype i = names_.size() - 1; i >= 0; --i) {
        if (names_[i] == field || lowerNames_[i] == field)
            return static_cast<int>(i);
    }
    const QString lower = field.toLower();
    for (qsizetype i = names_.size() - 1; i >= 0; --i) {
        if (names_[i] == lower || lowerNames_[i] == lower)
            return static_cast<int>(i);
    }
    throw StoreError(QStringLiteral("O campo %1 não existe na consulta.").arg(field));
}

FieldType RecordSet::typeOf(int index) const
{
    return types_[index];
}

qint64 RecordSet::rowId() const
{
    if (editing_ == Editing::Adding || bof() || eof())
        throw StoreError(QStringLiteral("Não há registro atual: o conjunto está no início ou no fim."));
    return rows_[size_t(position_)].rowId;
}

void RecordSet::requireCurrentRow() const
{
    if (editing_ == Editing::Adding)
        return;
    if (bof() || eof())
        throw StoreError(QStringLiteral("Não há registro atual: o conjunto está no início ou no fim."));
    if (rows_[position_].deleted)
        throw StoreError(QStringLiteral("O registro atual foi excluído."));
}

void RecordSet::requireWritable() const
{
    if (readOnly_)
        throw StoreError(QStringLiteral("Esta consulta é somente de leitura; nada foi alterado."));
}

QVariant RecordSet::assignedValue(int column) const
{
    const auto pending = pending_.constFind(column);
    if (pending != pending_.constEnd())
        return *pending;
    if (editing_ == Editing::Adding)
        return defaults_[column];
    QByteArray scratch;
    return variantOf(valueAt(column, scratch));
}

// The current row's field: an assignment not yet stored, the field's default
// on a new row, else the row as fetched. Texts assigned are put in scratch.
RecordSet::Value RecordSet::valueAt(int column, QByteArray& scratch) const
{
    if (column < 0 || column >= names_.size())
        throw StoreError(QStringLiteral("A consulta não tem o campo de número %1.").arg(column));
    requireCurrentRow();
    if (editing_ == Editing::Adding || (editing_ == Editing::Changing && pending_.contains(column)))
        return valueOf(assignedValue(column), scratch);
    const Cell& cell = cellAt(position_, column);
    switch (cell.kind) {
    case CellKind::Integer:
        return {cell.kind, cell.integer, 0, {}};
    case CellKind::Real:
        return {cell.kind, 0, cell.real, {}};
    case CellKind::Text:
    case CellKind::Blob:
        return {cell.kind, 0, 0, QByteArrayView(bytes_.constData() + cell.offset, cell.length)};
    case CellKind::Null:
        break;
    }
    return {};
}

QVariant RecordSet::variantOf(const Value& value)
{
    switch (value.kind) {
    case CellKind::Integer:
        return static_cast<qlonglong>(value.integer);
    case CellKind::Real:
        return value.real;
    case CellKind::Text:
        return QString::fromUtf8(value.bytes);
    case CellKind::Blob:
        return value.bytes.toByteArray();
    case CellKind::Null:
        break;
    }
    return {};
}

bool RecordSet::isNull(const QString& field) const
{
    return isNull(column(field));
}

bool RecordSet::isNull(int column) const
{
    QByteArray scratch;
    return valueAt(column, scratch).kind == CellKind::Null;
}

QString RecordSet::text(const QString& field) const
{
    return text(column(field));
}

QString RecordSet::text(int column) const
{
    QByteArray scratch;
    const Value value = valueAt(column, scratch);
    switch (value.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
        return A_Texto(static_cast<double>(value.integer));
    case CellKind::Real:
        return A_Texto(value.real);
    case CellKind::Blob:
        return QString::fromUtf8(value.bytes);
    case CellKind::Text:
        break;
    }
    const QString stored = QString::fromUtf8(value.bytes);
    if (typeOf(column) == FieldType::DateTime) {
        if (const std::optional<QDateTime> moment = fromStoredDateTime(stored))
            return formatDateTime(*moment);
    }
    return stored;
}

double RecordSet::number(const QString& field) const
{
    return numberAt(column(field), field);
}

double RecordSet::numberOrZero(const QString& field) const
{
    return isNull(field) ? 0 : number(field);
}

double RecordSet::number(int column) const
{
    return numberAt(column, column >= 0 && column < names_.size() ? names_[column] : QString());
}

double RecordSet::numberAt(int column, const QString& field) const
{
    QByteArray scratch;
    const Value value = valueAt(column, scratch);
    switch (value.kind) {
    case CellKind::Null:
        throw ConversionError(QStringLiteral("O campo %1 está vazio e não pode ser lido como número.").arg(field));
    case CellKind::Integer:
        return static_cast<double>(value.integer);
    case CellKind::Real:
        return value.real;
    case CellKind::Text:
    case CellKind::Blob:
        break;
    }
    if (typeOf(column) == FieldType::DateTime)
        throw ConversionError(QStringLiteral("O campo %1 guarda uma data, não um número.").arg(field));
    try {
        return A_Numero(QString::fromUtf8(value.bytes));
    } catch (const ConversionError& error) {
        throw ConversionError(withField(error, field));
    }
}

std::optional<QDateTime> RecordSet::dateTime(const QString& field) const
{
    return dateTime(column(field));
}

std::optional<QDateTime> RecordSet::dateTime(int column) const
{
    QByteArray scratch;
    const Value value = valueAt(column, scratch);
    if (value.kind == CellKind::Null)
        return std::nullopt;
    const QString stored = variantOf(value).toString();
    if (std::optional<QDateTime> moment = fromStoredDateTime(stored))
        return moment;
    return parseDateTime(stored);
}

QVariant RecordSet::storedValue(FieldType type, const QString& text)
{
    switch (type) {
    case FieldType::Text:
        return text;
    case FieldType::Number:
        return A_Numero(text);
    case FieldType::WholeNumber:
        return wholeNumber(A_Numero(text), text);
    case FieldType::DateTime: {
        // The lines of one sale carry the same two moments: each is read once.
        static thread_local QHash<QString, QString> read;
        if (const auto found = read.constFind(text); found != read.constEnd())
            return *found;
        if (const std::optional<QDateTime> moment = parseDateTime(text)) {
            if (read.size() >= 64)
                read.clear();
            return *read.insert(text, toStoredDateTime(*moment));
        }
        throw ConversionError(QStringLiteral("\"%1\" não é uma data e hora válida").arg(text));
    }
    }
    return text;
}

// A row added to this till's rows carries the till's number.
void RecordSet::addNew()
{
    requireWritable();
    storePending();
    editing_ = Editing::Adding;
    pending_.clear();
    if (tillScoped_)
        pending_.insert(column(FieldName::Caixa), connection_.engine().till());
}

void RecordSet::setText(const QString& field, const QString& value)
{
    const int index = column(field);
    QVariant stored;
    try {
        stored = storedValue(typeOf(index), value);
    } catch (const ConversionError& error) {
        throw ConversionError(withField(error, names_[index]));
    }
    assign(field, stored);
}

void RecordSet::setNumber(const QString& field, double value)
{
    const int index = column(field);
    switch (typeOf(index)) {
    case FieldType::Number:
        assign(field, value);
        break;
    case FieldType::WholeNumber:
        try {
            assign(field, wholeNumber(value, A_Texto(value)));
        } catch (const ConversionError& error) {
            throw ConversionError(withField(error, names_[index]));
        }
        break;
    case FieldType::Text:
        assign(field, A_Texto(value));
        break;
    case FieldType::DateTime:
        throw ConversionError(QStringLiteral("O campo %1 guarda uma data, não um número.").arg(names_[index]));
    }
}

void RecordSet::setNull(const QString& field)
{
    assign(field, QVariant());
}

void RecordSet::assign(const QString& field, const QVariant& stored)
{
    const int index = column(field);
    requireWritable();
    if (editing_ == Editing::None) {
        requireCurrentRow();
        editing_ = Editing::Changing;
    }
    pending_.insert(index, stored);
}

void RecordSet::storePending()
{
    if (editing_ != Editing::None)
        update();
}

void RecordSet::update()
{
    if (editing_ == Editing::Adding)
        insertPending();
    else if (editing_ == Editing::Changing)
        updatePending();
    editing_ = Editing::None;
    pending_.clear();
}

// The statement that adds a row with the given fields; the same fields
// assigned row after row (a sale's lines) reuse the one made for the first.
Statement& RecordSet::insertStatement(const QList<int>& assigned)
{
    if (insertStatement_ && assigned == insertColumns_)
        return *insertStatement_;
    QStringList fields;
    for (int column : assigned)
        fields.append(names_[column]);
    insertColumns_ = assigned;
    insertStatement_.reset();
    const QString sql = connection_.engine().dialect().insertText(table_, fields);
    insertStatement_ = std::make_unique<Statement>(connection_, sql.toUtf8());
    return *insertStatement_;
}

void RecordSet::insertPending()
{
    // Rows still to be read would otherwise race with the new one.
    fetchAll();
    QList<int> assigned = pending_.keys();
    std::sort(assigned.begin(), assigned.end());
    Statement& insert = insertStatement(assigned);
    for (int i = 0; i < assigned.size(); ++i)
        insert.bind(i + 1, pending_.value(assigned[i]));
    insert.run();
    const qint64 rowId = connection_.engine().lastInsertRowId();

    for (int index = 0; index < names_.size(); ++index)
        cells_.push_back(storedCell(assignedValue(index)));
    rows_.push_back({rowId, false});
    position_ = static_cast<qsizetype>(rows_.size()) - 1;
}

void RecordSet::updatePending()
{
    fetchAll();
    QStringList assignments;
    QVariantList values;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        assignments.append(plainName(names_[it.key()]) + QStringLiteral(" = ?"));
        values.append(it.value());
    }
    Row& row = rows_[position_];
    values.append(row.rowId);
    const qint64 changed = runWrite(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                        .arg(plainName(table_), assignments.join(QStringLiteral(", "))),
                                    values);
    if (changed != 1)
        throw StoreError(QStringLiteral("O registro foi excluído por outra operação; a alteração não foi gravada."));
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it)
        cells_[position_ * names_.size() + it.key()] = storedCell(it.value());
}

void RecordSet::deleteCurrent()
{
    requireWritable();
    requireCurrentRow();
    fetchAll();
    editing_ = Editing::None;
    pending_.clear();
    Row& row = rows_[position_];
    const qint64 changed = runWrite(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(plainName(table_)), {row.rowId});
    row.deleted = true;
    if (changed != 1)
        throw StoreError(QStringLiteral("O registro já tinha sido excluído por outra operação; nada foi excluído."));
}

qint64 RecordSet::runWrite(const QString& sql, const QVariantList& values)
{
    Statement statement(connection_, sql.toUtf8());
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    statement.run();
    return statement.changes();
}
