#pragma once

#include "store/data_mark.h"
#include "store/page_hold.h"
#include "store/store_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

class Engine;

inline const QString DATABASE_FILE_NAME = QStringLiteral("bd1");

QString databasePath(const QString& folder);

// One user action's use of the store: a lease on the connection to a data
// folder's bd1 that the program opens once and holds for the whole run.
//
// The first lease opens the connection (a missing, foreign, locked or
// damaged file is a StoreError that names the file and the cause); every
// lease first checks that bd1 is still the file that was opened, and opens it
// again when it was replaced (a restore). Each statement of an action begins
// its own read of the file, so an action sees the file as it is now, while
// pages nobody changed stay decrypted in the engine's cache. Leases nest (a
// window that loads while a picker's list is open); when the outermost one
// ends no statement may still run and no transaction be open, and after an
// engine error the connection is closed, to be opened again by the next
// action. One thread uses the store.
//
// A till on a shop's server keeps its own bd1 beside: its copy of the
// catalogue and the users, and its outbox. While the server is known to be
// away (serverAway), an action reads the copy instead, and a unit of work
// begun on it is refused (ServerAway): the copy is the till's, read-only for
// the windows. The outbox and the copy's refresh lease the till's bd1 itself
// (Place::TillFile).
class Connection {
public:
    enum class Place {
        ShopData,   // bd1, or the shop's server (its copy while the server is away)
        TillFile,   // the till's own bd1: a till alone has only that one
    };

    explicit Connection(const QString& folder, Place place = Place::ShopData);
    // A lease on an engine its owner holds apart from the program's (a thread of its own).
    explicit Connection(Engine& engine);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const QString& path() const { return path_; }
    // The store's own road to the data: outside src/store (and the database
    // tool's src/storetool) nothing calls it, as the layer check sees to.
    Engine& engine() const { return *engine_; }

    // A server shared by a shop's tills, each with its own day session; false
    // for a till alone with its bd1.
    bool sharedByTills() const;

    // This action reads a till's copy because the shop's server is away.
    bool onTillCopy() const { return onCopy_; }
    // The folder's settings name a shop's server.
    static bool tillOnServer(const QString& folder);

    // Whether the server of a folder's till was found away (a connection
    // refused, timed out or broken) and has not been reached since: the
    // program's actions read the till's copy until it is, or half a minute
    // has passed. Any thread.
    static bool serverAway(const QString& folder);
    static void noteServerAway(const QString& folder);
    static void noteServerAnswers(const QString& folder);

    // The data as they are now (see DataMark); nothing when the engine cannot tell.
    std::optional<DataMark> dataMark() const;

    // Writes what the write-ahead log holds into bd1 itself (after the day
    // close), so that a copy of bd1 alone holds everything. Never fails: what
    // cannot be written now (another program is reading) stays safe in the
    // log for a later checkpoint or the last close.
    static void checkpoint(const QString& folder);
    // Closes the connection held to the folder's bd1, after a checkpoint: at
    // the end of the run, before its file is replaced, when its folder goes.
    static void release(const QString& folder);
    static void releaseAll();

private:
    QString folder_;   // the folder as the held connections know it: absolute, clean; empty for a borrowed engine
    QString path_;
    Engine* engine_ = nullptr;
    bool onCopy_ = false;
};

// For as long as it lives, the connection's engine keeps as many pages in
// memory as the action needs (see PageHold), then the usual number again.
class PagesHeld {
public:
    PagesHeld(Connection& connection, PageHold hold);
    ~PagesHeld();
    PagesHeld(const PagesHeld&) = delete;
    PagesHeld& operator=(const PagesHeld&) = delete;

private:
    Connection& connection_;
};
