#include "store/record_set.h"

#include "common/date_text.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/store_error.h"

#include <sqlite3.h>

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QString ROW_ID_COLUMN = QStringLiteral("tenduca_row_id");

// A query of the program: "select <columns> from <table> [where …] [group by …] [order by …]".
struct QueryParts {
    QString columns;
    QString table;
    QString condition;   // without the word "where"
    QString tail;        // "group by …" and/or "order by …"
    bool grouped = false;
    bool ordered = false;
};

std::optional<QueryParts> splitQuery(const QString& query)
{
    static const QRegularExpression select(QStringLiteral(R"(^\s*select\s+(.+?)\s+from\s+(\w+)(.*)$)"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression clause(QStringLiteral(R"(\b(group|order)\s+by\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression where(QStringLiteral(R"(^where\b)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression groupBy(QStringLiteral(R"(\bgroup\s+by\b)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression orderBy(QStringLiteral(R"(\border\s+by\b)"), QRegularExpression::CaseInsensitiveOption);

    const QRegularExpressionMatch match = select.match(query);
    if (!match.hasMatch())
        return std::nullopt;
    QueryParts parts;
    parts.columns = match.captured(1).trimmed();
    parts.table = match.captured(2);
    const QString rest = match.captured(3).trimmed();
    const QRegularExpressionMatch tailStart = clause.match(rest);
    const qsizetype split = tailStart.hasMatch() ? tailStart.capturedStart() : rest.size();
    QString condition = rest.left(split).trimmed();
    if (!condition.isEmpty()) {
        const QRegularExpressionMatch whereWord = where.match(condition);
        if (!whereWord.hasMatch())
            return std::nullopt;
        condition = condition.mid(whereWord.capturedEnd()).trimmed();
    }
    parts.condition = condition;
    parts.tail = rest.mid(split).trimmed();
    parts.grouped = groupBy.match(parts.tail).hasMatch();
    parts.ordered = orderBy.match(parts.tail).hasMatch();
    return parts;
}

int bindValue(sqlite3_stmt* statement, int position, const QVariant& value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, position);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, position, value.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, position, text.constData(), static_cast<int>(text.size()),
                                 SQLITE_TRANSIENT);
    }
    }
}

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

RecordSet::RecordSet(Connection& connection, const QString& query, Mode mode)
    : RecordSet(connection, query, std::nullopt, {}, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QString& query, const Equals& filter, Mode mode)
    : RecordSet(connection, query, filter, {}, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QString& query, const QVariantList& parameters, Mode mode)
    : RecordSet(connection, query, std::nullopt, parameters, mode)
{
}

RecordSet::RecordSet(Connection& connection, const QString& query, const std::optional<Equals>& filter,
                     const QVariantList& parameters, Mode mode)
    : connection_(connection), readOnly_(mode == Mode::ReadOnlyList)
{
    open(query, filter, parameters);
    if (mode == Mode::AppendOnly)
        finishStatement();
}

RecordSet::~RecordSet()
{
    finishStatement();
}

void RecordSet::open(const QString& query, const std::optional<Equals>& filter, const QVariantList& parameters)
{
    const std::optional<QueryParts> parts = splitQuery(query);
    if (!parts) {
        if (filter)
            throw StoreError(QStringLiteral("Consulta sem filtro possível: %1").arg(query));
        readOnly_ = true;
        prepare(query, parameters);
        return;
    }
    table_ = parts->table;
    hasRowIds_ = !parts->grouped;
    if (!hasRowIds_)
        readOnly_ = true;

    QString condition = parts->condition;
    QVariantList allParameters = parameters;
    if (filter) {
        const QString test = quotedName(filter->field) + QStringLiteral(" = ?");
        condition = condition.isEmpty() ? test : QStringLiteral("(%1) and %2").arg(condition, test);
        const FieldType type = fieldTypeOf(table_, filter->field).value_or(FieldType::Text);
        try {
            allParameters.append(storedValue(type, filter->value));
        } catch (const ConversionError& error) {
            throw ConversionError(withField(error, filter->field));
        }
    }
    QString sql = QStringLiteral("select ");
    if (hasRowIds_)
        sql += QStringLiteral("rowid AS %1, ").arg(ROW_ID_COLUMN);
    sql += parts->columns + QStringLiteral(" from ") + parts->table;
    if (!condition.isEmpty())
        sql += QStringLiteral(" where ") + condition;
    if (!parts->tail.isEmpty())
        sql += u' ' + parts->tail;
    // Rows that tie on the order keep the table's own order, whichever way the engine reaches them.
    if (hasRowIds_)
        sql += parts->ordered ? QStringLiteral(", rowid") : QStringLiteral(" order by rowid");
    prepare(sql, allParameters);
}

void RecordSet::prepare(const QString& sql, const QVariantList& parameters)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection_.handle(), text.constData(), static_cast<int>(text.size()), &statement_,
                           nullptr) != SQLITE_OK)
        fail();
    for (int i = 0; i < parameters.size(); ++i) {
        if (bindValue(statement_, i + 1, parameters[i]) != SQLITE_OK)
            fail();
    }
    readColumns();
}

void RecordSet::readColumns()
{
    const int first = hasRowIds_ ? 1 : 0;
    const int count = sqlite3_column_count(statement_);
    for (int column = first; column < count; ++column) {
        const QString name = QString::fromUtf8(sqlite3_column_name(statement_, column));
        names_.append(name);
        lowerNames_.append(name.toLower());
        types_.append(fieldTypeOf(table_, name).value_or(FieldType::Text));
    }
}

bool RecordSet::fetchUpTo(qsizetype index) const
{
    while (statement_ && static_cast<qsizetype>(rows_.size()) <= index) {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_DONE) {
            finishStatement();
            break;
        }
        if (rc != SQLITE_ROW) {
            const StoreError failure = connection_.error();
            finishStatement();
            throw failure;
        }
        const int first = hasRowIds_ ? 1 : 0;
        rows_.push_back({hasRowIds_ ? sqlite3_column_int64(statement_, 0) : 0, false});
        for (int column = 0; column < names_.size(); ++column)
            cells_.push_back(fetchedCell(column + first));
    }
    return index >= 0 && index < static_cast<qsizetype>(rows_.size());
}

RecordSet::Cell RecordSet::fetchedCell(int column) const
{
    Cell cell;
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        cell.kind = Cell::Integer;
        cell.integer = sqlite3_column_int64(statement_, column);
        break;
    case SQLITE_FLOAT:
        cell.kind = Cell::Real;
        cell.real = sqlite3_column_double(statement_, column);
        break;
    case SQLITE_TEXT:
        cell.kind = Cell::Text;
        appendBytes(cell, sqlite3_column_text(statement_, column), sqlite3_column_bytes(statement_, column));
        break;
    case SQLITE_BLOB:
        cell.kind = Cell::Blob;
        appendBytes(cell, sqlite3_column_blob(statement_, column), sqlite3_column_bytes(statement_, column));
        break;
    default:
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
        return {Cell::Real, 0, assigned.toDouble(), {}};
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return {Cell::Integer, assigned.toLongLong(), 0, {}};
    case QMetaType::QByteArray:
        scratch = assigned.toByteArray();
        return {Cell::Blob, 0, 0, scratch};
    default:
        scratch = assigned.toString().toUtf8();
        return {Cell::Text, 0, 0, scratch};
    }
}

RecordSet::Cell RecordSet::storedCell(const QVariant& assigned) const
{
    QByteArray scratch;
    const Value value = valueOf(assigned, scratch);
    Cell cell;
    cell.kind = value.kind;
    if (value.kind == Cell::Integer)
        cell.integer = value.integer;
    else if (value.kind == Cell::Real)
        cell.real = value.real;
    else if (value.kind != Cell::Null)
        appendBytes(cell, value.bytes.data(), static_cast<int>(value.bytes.size()));
    return cell;
}

void RecordSet::fetchAll() const
{
    fetchUpTo(std::numeric_limits<qsizetype>::max() - 1);
}

void RecordSet::finishStatement() const
{
    if (statement_) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
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
    if (editing_ == Editing::Adding) {
        const TableDefinition* table = findTable(table_);
        const FieldDefinition* definition = table ? findField(*table, names_[column]) : nullptr;
        return definition && definition->defaultValue ? QVariant(*definition->defaultValue) : QVariant();
    }
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
    case Cell::Integer:
        return {cell.kind, cell.integer, 0, {}};
    case Cell::Real:
        return {cell.kind, 0, cell.real, {}};
    case Cell::Text:
    case Cell::Blob:
        return {cell.kind, 0, 0, QByteArrayView(bytes_.constData() + cell.offset, cell.length)};
    case Cell::Null:
        break;
    }
    return {};
}

QVariant RecordSet::variantOf(const Value& value)
{
    switch (value.kind) {
    case Cell::Integer:
        return static_cast<qlonglong>(value.integer);
    case Cell::Real:
        return value.real;
    case Cell::Text:
        return QString::fromUtf8(value.bytes);
    case Cell::Blob:
        return value.bytes.toByteArray();
    case Cell::Null:
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
    return valueAt(column, scratch).kind == Cell::Null;
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
    case Cell::Null:
        return {};
    case Cell::Integer:
        return A_Texto(static_cast<double>(value.integer));
    case Cell::Real:
        return A_Texto(value.real);
    case Cell::Blob:
        return QString::fromUtf8(value.bytes);
    case Cell::Text:
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
    case Cell::Null:
        throw ConversionError(QStringLiteral("O campo %1 está vazio e não pode ser lido como número.").arg(field));
    case Cell::Integer:
        return static_cast<double>(value.integer);
    case Cell::Real:
        return value.real;
    case Cell::Text:
    case Cell::Blob:
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
    if (value.kind == Cell::Null)
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
    case FieldType::DateTime:
        if (const std::optional<QDateTime> moment = parseDateTime(text))
            return toStoredDateTime(*moment);
        throw ConversionError(QStringLiteral("\"%1\" não é uma data e hora válida").arg(text));
    }
    return text;
}

void RecordSet::addNew()
{
    requireWritable();
    storePending();
    editing_ = Editing::Adding;
    pending_.clear();
}

void RecordSet::setText(const QString& field, const QString& value)
{
    const int index = fieldIndex(field);
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
    const int index = fieldIndex(field);
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
    const int index = fieldIndex(field);
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

void RecordSet::insertPending()
{
    // Rows still to be read would otherwise race with the new one.
    fetchAll();
    QStringList columns;
    QStringList marks;
    QVariantList values;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        columns.append(quotedName(names_[it.key()]));
        marks.append(QStringLiteral("?"));
        values.append(it.value());
    }
    const QString sql =
        columns.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedName(table_))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quotedName(table_), columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    runWrite(sql, values);

    for (int index = 0; index < names_.size(); ++index)
        cells_.push_back(storedCell(assignedValue(index)));
    rows_.push_back({sqlite3_last_insert_rowid(connection_.handle()), false});
    position_ = static_cast<qsizetype>(rows_.size()) - 1;
}

void RecordSet::updatePending()
{
    fetchAll();
    QStringList assignments;
    QVariantList values;
    for (auto it = pending_.cbegin(); it != pending_.cend(); ++it) {
        assignments.append(quotedName(names_[it.key()]) + QStringLiteral(" = ?"));
        values.append(it.value());
    }
    Row& row = rows_[position_];
    values.append(row.rowId);
    runWrite(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                 .arg(quotedName(table_), assignments.join(QStringLiteral(", "))),
             values);
    if (sqlite3_changes(connection_.handle()) != 1)
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
    runWrite(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quotedName(table_)), {row.rowId});
    row.deleted = true;
    if (sqlite3_changes(connection_.handle()) != 1)
        throw StoreError(QStringLiteral("O registro já tinha sido excluído por outra operação; nada foi excluído."));
}

void RecordSet::runWrite(const QString& sql, const QVariantList& values)
{
    sqlite3_stmt* statement = connection_.writeStatement(sql);
    int rc = SQLITE_OK;
    for (int i = 0; rc == SQLITE_OK && i < values.size(); ++i)
        rc = bindValue(statement, i + 1, values[i]);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        const StoreError failure = connection_.error();
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        throw failure;
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
}

void RecordSet::fail() const
{
    connection_.fail();
}
