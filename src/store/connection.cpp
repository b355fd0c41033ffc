#include "store/connection.h"

#include "common/shop_settings.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/schema_upgrade.h"
#include "store/server_engine.h"
#include "store/sqlite_engine.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>

namespace {

// How long the program's actions read a till's copy after the server was
// found away, when nothing reached it since.
constexpr qint64 AWAY_AT_MOST_MS = 30'000;

// When each folder's server was found away (a steady clock's milliseconds);
// the window thread and the sender's thread both note it.
std::mutex awayLock;
std::map<QString, qint64> awaySince;

qint64 steadyMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The connections held to one data folder, and how many leases are out on them.
struct Held {
    bool settingsRead = false;
    QString server;   // the shop's server, empty for a till alone with its bd1
    int till = 0;
    std::unique_ptr<Engine> shop;       // bd1, or the shop's server
    std::unique_ptr<Engine> tillFile;   // a till on a server: its own bd1, copy and outbox
    bool chosen = false;                // the outermost lease picked where this action reads
    bool onCopy = false;                // ...and it is the till's copy
    int leases = 0;
};

std::map<QString, Held>& heldConnections()
{
    static std::map<QString, Held> held;
    return held;
}

void readSettings(Held& held, const QString& folder)
{
    if (held.settingsRead)
        return;
    const ShopSettingsRead shop = Ler_Configuracao_Loja(folder);
    if (!shop.refusal.isEmpty())
        throw StoreError(shop.refusal);
    held.server = shop.settings.server;
    held.till = shop.settings.till;
    held.settingsRead = true;
}

std::unique_ptr<Engine> openFile(const QString& path)
{
    auto engine = std::make_unique<SqliteEngine>(path);
    if (engine->dialect().hasOlderLayouts())
        upgradeFileLayout(*engine);
    return engine;
}

void dropIfStale(std::unique_ptr<Engine>& engine)
{
    if (engine && !engine->stillCurrent())
        engine.reset();
}

// The till's own bd1; checked as the outermost lease checks every file.
Engine& tillFileOf(Held& held, const QString& path)
{
    if (held.leases == 0)
        dropIfStale(held.tillFile);
    if (!held.tillFile)
        held.tillFile = openFile(path);
    return *held.tillFile;
}

// Where an action reads the shop's data: bd1, the server when it answers, or
// the till's copy while the server is away. A till with no bd1 of its own
// has no copy: the server's failure stands.
void chooseShopData(Held& held, const QString& folder, const QString& path)
{
    held.chosen = true;
    held.onCopy = false;
    if (held.server.isEmpty()) {
        if (held.leases == 0)
            dropIfStale(held.shop);
        if (!held.shop)
            held.shop = openFile(path);
        return;
    }
    if (!Connection::serverAway(folder) || !QFileInfo::exists(path)) {
        try {
            if (held.leases == 0)
                dropIfStale(held.shop);
            if (!held.shop)
                held.shop = std::make_unique<ServerEngine>(held.server, held.till);
            return;
        } catch (const ServerAway&) {
            held.shop.reset();
            Connection::noteServerAway(folder);
            if (!QFileInfo::exists(path))
                throw;
        }
    }
    // A connection held from before the server went away is not trusted
    // when it answers again: the next action connects anew.
    if (held.leases == 0)
        held.shop.reset();
    tillFileOf(held, path);
    held.onCopy = true;
}

QString absoluteCleanPath(const QString& folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

void closeQuietly(std::unique_ptr<Engine>& engine)
{
    if (!engine)
        return;
    try {
        if (engine->stillCurrent())
            engine->checkpoint();
    } catch (const StoreError&) {
        // What the log still holds stays there, safe, for the next open.
    }
    engine.reset();
}

// Nothing may still run at the end of an action. A statement left running
// would keep a connection on old data, an open transaction would hold every
// other program off the file.
void bringToRest(Engine& engine)
{
    if (engine.atRest())
        return;
#ifndef NDEBUG
    qFatal("An action of the store ended with a statement running or a transaction open.");
#else
    qWarning("An action of the store ended with a statement running or a transaction open; it was rolled back.");
    engine.bringToRest();
#endif
}

// A connection that failed is closed, to be opened again by the next action;
// a shop's server whose connection broke is away until it is reached again.
void endAction(Held& held, const QString& folder)
{
    held.chosen = false;
    for (std::unique_ptr<Engine>* engine : {&held.shop, &held.tillFile}) {
        if (!*engine)
            continue;
        bringToRest(**engine);
        if (!(*engine)->failed())
            continue;
        if (engine == &held.shop && !held.server.isEmpty())
            Connection::noteServerAway(folder);
        engine->reset();
    }
}

}   // namespace

QString databasePath(const QString& folder)
{
    return QDir(folder).filePath(DATABASE_FILE_NAME);
}

Connection::Connection(const QString& folder, Place place) : folder_(absoluteCleanPath(folder)), path_(databasePath(folder_))
{
    Held& held = heldConnections()[folder_];
    try {
        readSettings(held, folder_);
        if (place == Place::TillFile && !held.server.isEmpty()) {
            engine_ = &tillFileOf(held, path_);
        } else {
            if (held.leases == 0 || !held.chosen)
                chooseShopData(held, folder_, path_);
            onCopy_ = held.onCopy;
            engine_ = onCopy_ ? held.tillFile.get() : held.shop.get();
        }
    } catch (...) {
        if (held.leases == 0)
            endAction(held, folder_);
        throw;
    }
    ++held.leases;
}

Connection::Connection(Engine& engine) : engine_(&engine)
{
}

Connection::~Connection()
{
    if (folder_.isEmpty()) {
        bringToRest(*engine_);
        return;
    }
    const auto found = heldConnections().find(folder_);
    if (found == heldConnections().end())
        return;
    Held& held = found->second;
    if (--held.leases == 0)
        endAction(held, folder_);
}

bool Connection::tillOnServer(const QString& folder)
{
    Held& held = heldConnections()[absoluteCleanPath(folder)];
    readSettings(held, absoluteCleanPath(folder));
    return !held.server.isEmpty();
}

bool Connection::serverAway(const QString& folder)
{
    const std::lock_guard locked(awayLock);
    const auto found = awaySince.find(absoluteCleanPath(folder));
    return found != awaySince.end() && steadyMs() - found->second < AWAY_AT_MOST_MS;
}

void Connection::noteServerAway(const QString& folder)
{
    const std::lock_guard locked(awayLock);
    awaySince[absoluteCleanPath(folder)] = steadyMs();
}

void Connection::noteServerAnswers(const QString& folder)
{
    const std::lock_guard locked(awayLock);
    awaySince.erase(absoluteCleanPath(folder));
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
    closeQuietly(found->second.shop);
    closeQuietly(found->second.tillFile);
    heldConnections().erase(found);
}

void Connection::releaseAll()
{
    for (auto it = heldConnections().begin(); it != heldConnections().end();) {
        if (it->second.leases > 0) {
            ++it;
            continue;
        }
        closeQuietly(it->second.shop);
        closeQuietly(it->second.tillFile);
        it = heldConnections().erase(it);
    }
}

PagesHeld::PagesHeld(Connection& connection, PageHold hold) : connection_(connection)
{
    connection_.engine().holdPages(hold);
}

// A connection that failed meanwhile is closed at the end of the action,
// taking its pages with it: nothing is left to give back then.
PagesHeld::~PagesHeld()
{
    try {
        connection_.engine().holdPages(PageHold::Usual);
    } catch (const StoreError&) {
    }
}
