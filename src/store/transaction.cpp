#include "store/transaction.h"

#include "store/connection.h"

Transaction::Transaction(Connection& connection) : connection_(connection)
{
    connection_.execute(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (!open_)
        return;
    try {
        connection_.execute(QStringLiteral("ROLLBACK"));
    } catch (...) {
        // The engine already rolled back after the error that brought us here.
    }
}

void Transaction::commit()
{
    connection_.execute(QStringLiteral("COMMIT"));
    open_ = false;
}
