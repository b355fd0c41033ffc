#include "store/statement.h"

#include "store/connection.h"

Statement::Statement(Connection& connection, QByteArrayView sql) : Statement(connection.engine(), sql)
{
}

Statement::Statement(Engine& engine, QByteArrayView sql)
    : engine_(engine), sql_(sql.toByteArray()), statement_(engine_.acquire(sql_))
{
}

Statement::~Statement()
{
    engine_.giveBack(sql_, std::move(statement_));
}

void Statement::bindNull(int position)
{
    statement_->bindNull(position);
}

void Statement::bind(int position, const QString& value)
{
    statement_->bindText(position, value.toUtf8());
}

void Statement::bind(int position, double value)
{
    statement_->bindReal(position, value);
}

void Statement::bind(int position, qint64 value)
{
    statement_->bindInteger(position, value);
}

void Statement::bind(int position, const QVariant& value)
{
    if (value.isNull())
        return bindNull(position);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return bind(position, value.toDouble());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        return bind(position, static_cast<qint64>(value.toLongLong()));
    case QMetaType::QByteArray:
        return statement_->bindText(position, value.toByteArray());
    default:
        return bind(position, value.toString());
    }
}

void Statement::bind(int position, const Statement& row, int column)
{
    switch (row.kind(column)) {
    case CellKind::Null:
        return bindNull(position);
    case CellKind::Integer:
        return bind(position, row.whole(column));
    case CellKind::Real:
        return bind(position, row.number(column));
    case CellKind::Text:
    case CellKind::Blob:
        break;
    }
    statement_->bindText(position, row.bytes(column));
}

bool Statement::next()
{
    return statement_->step();
}

void Statement::run()
{
    while (statement_->step()) {
    }
    statement_->reset();
}

void Statement::reset()
{
    statement_->reset();
}

qint64 Statement::changes() const
{
    return statement_->changes();
}

int Statement::columnCount() const
{
    return statement_->columnCount();
}

QString Statement::columnName(int column) const
{
    return statement_->columnName(column);
}

CellKind Statement::kind(int column) const
{
    return statement_->kind(column);
}

QString Statement::text(int column) const
{
    return QString::fromUtf8(statement_->bytes(column));
}

double Statement::number(int column) const
{
    return statement_->real(column);
}

qint64 Statement::whole(int column) const
{
    return statement_->integer(column);
}

QByteArrayView Statement::bytes(int column) const
{
    return statement_->bytes(column);
}

void execute(Connection& connection, const QString& sql)
{
    connection.engine().execute(sql.toUtf8());
}
