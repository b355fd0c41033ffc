#include "store/transaction.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/store_error.h"

namespace {

// The till's copy is read while the shop's server is away; only the server takes writes.
Engine& writableEngine(Connection& connection)
{
    if (connection.onTillCopy())
        throw ServerAway(QStringLiteral("Sem conexão com o servidor da loja: nada foi gravado. Tente de novo quando o "
                                        "servidor voltar."));
    return connection.engine();
}

}   // namespace

Transaction::Transaction(Connection& connection) : Transaction(writableEngine(connection))
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

ReadSnapshot::ReadSnapshot(Connection& connection) : engine_(connection.engine())
{
    engine_.execute(engine_.dialect().beginReading());
}

ReadSnapshot::~ReadSnapshot()
{
    engine_.rollback();
}
