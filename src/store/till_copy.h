#pragma once

#include <QStringList>
#include <QtGlobal>

class Engine;

// What one refresh of a till's copy brought over from the shop's server.
struct CopyRefresh {
    qint64 productsChanged = 0;   // added or changed since the last refresh
    qint64 productsRemoved = 0;
    qint64 usersChanged = 0;
    qint64 usersRemoved = 0;
};

// Brings a till's own bd1 (its copy of what it needs to sell: the catalogue
// and the users) up to date with the shop's server. Only the rows the server
// changed or removed since the copy's last refresh are read, in one read of
// the server; they are written into the copy in one transaction, together
// with the server's change counter they were read at, so that a refresh cut
// halfway leaves the copy as it was. The copy is the till's and read-only for
// it: only this writes its catalogue and users. A server that does not
// answer is a StoreError and leaves the copy as it was.
//
// The copy keeps the server's row ids, so that its lookups find the same row
// first when codes or names repeat. The first refresh, and one after the
// server went back in time (restored from a dump), replaces the copy's
// catalogue and users whole and counts every row it writes as changed.
CopyRefresh refreshTillCopy(Engine& server, Engine& copy);

// Gives a shop's server what the refresh needs (a change counter on every
// product and user row, kept by the server itself, and a record of removed
// rows), when it lacks it: one transaction, nothing done when it is there.
// Run when a till starts on the server, and by the tool's "servidor criar".
void addChangeCounters(Engine& server);

// The statements addChangeCounters runs, for a new shop made with them.
QStringList changeCounterStatements();
