#include "store/connection.h"

#include "common/shop_settings.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/schema_upgrade.h"
#include "store/server_engine.h"
#include "store/sqlite_engine.h"

#include <QDir>
#include <QFileInfo>

#include <map>
#include <memory>

namespace {

// The connection held to one data folder, and how many leases are out on it.
struct Held {
    std::unique_ptr<Engine> engine;
    int leases = 0;
};

std::map<QString, Held>& heldConnections()
{
    static std::map<QString, Held> held;
    return held;
}

// bd1 in the folder, or the shop's server when the folder's settings name one.
std::unique_ptr<Engine> openEngine(const QString& folder, const QString& path)
{
    const ShopSettingsRead shop = Ler_Configuracao_Loja(folder);
    if (!shop.refusal.isEmpty())
        throw StoreError(shop.refusal);
    if (!shop.settings.server.isEmpty())
        return std::make_unique<ServerEngine>(shop.settings.server, shop.settings.till);
    return std::make_unique<SqliteEngine>(path);
}

QString absoluteCleanPath(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

void closeQuietly(Held& held)
{
    try {
        if (held.engine->stillCurrent())
            held.engine->checkpoint();
    } catch (const StoreError&) {
        // What the log still holds stays there, safe, for the next open.
    }
    held.engine.reset();
}

// The end of an action: nothing may still run. A statement left running
// would keep this connection on old data, an open transaction would hold
// every other program off the file.
void endAction(Held& held)
{
    if (!held.engine->atRest()) {
#ifndef NDEBUG
        qFatal("An action of the store ended with a statement running or a transaction open.");
#else
        qWarning("An action of the store ended with a statement running or a transaction open; it was rolled back.");
        held.engine->bringToRest();
#endif
    }
    if (held.engine->failed())
        held.engine.reset();
}

}   // namespace

QString databasePath(const QString& folder)
{
    return QDir(folder).filePath(DATABASE_FILE_NAME);
}

Connection::Connection(const QString& folder) : folder_(absoluteCleanPath(folder)), path_(databasePath(folder_))
{
    Held& held = heldConnections()[folder_];
    if (held.engine && held.leases == 0 && !held.engine->stillCurrent())
        held.engine.reset();
    const bool opening = !held.engine;
    if (opening)
        held.engine = openEngine(folder_, path_);
    engine_ = held.engine.get();
    ++held.leases;
    if (!opening)
        return;
    try {
        if (engine_->dialect().hasOlderLayouts())
            upgradeFileLayout(*engine_);
    } catch (...) {
        --held.leases;
        held.engine.reset();
        throw;
    }
}

Connection::~Connection()
{
    const auto found = heldConnections().find(folder_);
    if (found == heldConnections().end())
        return;
    Held& held = found->second;
    if (--held.leases == 0 && held.engine)
        endAction(held);
}

bool Connection::sharedByTills() const
{
    return engine_->dialect().sessionsPerTill();
}

std::optional<DataMark> Connection::dataMark() const
{
    return engine_->dataMark();
}

void Connection::checkpoint(const QString& folder)
{
    try {
        Connection connection(folder);
        connection.engine().checkpoint();
    } catch (const StoreError&) {
    }
}

void Connection::release(const QString& folder)
{
    const auto found = heldConnections().find(absoluteCleanPath(folder));
    if (found == heldConnections().end() || found->second.leases > 0)
        return;
    if (found->second.engine)
        closeQuietly(found->second);
    heldConnections().erase(found);
}

void Connection::releaseAll()
{
    for (auto it = heldConnections().begin(); it != heldConnections().end();) {
        if (it->second.leases > 0) {
            ++it;
            continue;
        }
        if (it->second.engine)
            closeQuietly(it->second);
        it = heldConnections().erase(it);
    }
}
