#include "store/transaction.h"

#include "store/connection.h"
#include "store/engine.h"

Transaction::Transaction(Connection& connection) : connection_(connection)
{
    connection_.engine().beginWriting();
}

Transaction::~Transaction()
{
    if (open_)
        connection_.engine().rollback();
}

void Transaction::commit()
{
    connection_.engine().commit();
    open_ = false;
}
