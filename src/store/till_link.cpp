#include "store/till_link.h"

#include "common/shop_settings.h"
#include "store/connection.h"
#include "store/engine.h"
#include "store/server_engine.h"
#include "store/sqlite_engine.h"
#include "store/till_copy.h"

TillLink::TillLink(const QString& folder) : path_(databasePath(folder))
{
    const ShopSettingsRead shop = Ler_Configuracao_Loja(folder);
    if (!shop.refusal.isEmpty())
        throw StoreError(shop.refusal);
    server_ = shop.settings.server;
    till_ = shop.settings.till;
}

TillLink::~TillLink() = default;

void TillLink::onTillFile(const std::function<void(Connection&)>& work)
{
    if (!tillFile_ || !tillFile_->stillCurrent())
        tillFile_ = std::make_unique<SqliteEngine>(path_);
    use(tillFile_, work);
}

void TillLink::reachServer()
{
    const auto answers = [](Connection& server) { server.engine().execute("select 1"); };
    try {
        onServer(answers);
    } catch (const ServerAway&) {
        onServer(answers);
    }
}

void TillLink::refreshCopy()
{
    onServer([this](Connection& server) {
        onTillFile([&](Connection& copy) { refreshTillCopy(server.engine(), copy.engine()); });
    });
}

void TillLink::onServer(const std::function<void(Connection&)>& work)
{
    if (serverEngine_ && !serverEngine_->stillCurrent())
        serverEngine_.reset();
    if (!serverEngine_)
        serverEngine_ = std::make_unique<ServerEngine>(server_, till_);
    use(serverEngine_, work);
}

void TillLink::use(std::unique_ptr<Engine>& engine, const std::function<void(Connection&)>& work)
{
    try {
        Connection lease(*engine);
        work(lease);
    } catch (...) {
        if (engine->failed())
            engine.reset();
        throw;
    }
    if (engine->failed())
        engine.reset();
}
