#include "store/engine.h"

namespace {

// Statements kept for later actions; the program uses a few dozen texts.
constexpr int MOST_KEPT = 200;

}   // namespace

Engine::~Engine()
{
    dropKeptStatements();
}

std::unique_ptr<EngineStatement> Engine::acquire(const QByteArray& sql)
{
    auto found = kept_.find(sql);
    if (found != kept_.end() && !found->isEmpty()) {
        --keptCount_;
        return std::unique_ptr<EngineStatement>(found->takeLast());
    }
    return prepare(sql);
}

void Engine::giveBack(const QByteArray& sql, std::unique_ptr<EngineStatement> statement)
{
    if (!statement)
        return;
    statement->reset();
    if (keptCount_ >= MOST_KEPT)
        dropKeptStatements();
    kept_[sql].append(statement.release());
    ++keptCount_;
}

void Engine::dropKeptStatements()
{
    for (const QList<EngineStatement*>& statements : std::as_const(kept_))
        qDeleteAll(statements);
    kept_.clear();
    keptCount_ = 0;
}
