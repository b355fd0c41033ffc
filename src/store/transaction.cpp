#include "store/transaction.h"

#include "store/connection.h"
#include "store/engine.h"

Transaction::Transaction(Connection& connection) : Transaction(connection.engine())
{
}

Transaction::Transaction(Engine& engine) : engine_(engine)
{
    engine_.beginWriting();
}

Transaction::~Transaction()
{
    if (open_)
        engine_.rollback();
}

void Transaction::commit()
{
    engine_.commit();
    open_ = false;
}
