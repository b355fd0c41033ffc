#pragma once

#include "store/schema.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

struct QueryText;

// Where bd1's engine and a shop's server differ, in one place. The store
// sends the same text to both everywhere else: every query of queries.h but
// the name searches, the record sets' updates and deletes, the day close's
// archive. What differs:
//
// - A query's text: the name searches fold letter case and accents on both
//   sides with the server's function tenduca_dobra, where bd1 registers its
//   own accent-blind like (queryText).
// - Parameters: "?" and "?N" on bd1, "$N" on the server (preparedText).
// - Adding a row: the server gives the new row's id back with it
//   (insertText); bd1 is asked for it after.
// - Tables: bd1 quotes its names and orders texts with the collations each
//   connection registers (PORTUGUES, PORTUGUES_GRUPO); the server folds
//   unquoted names to lower case, orders with the ICU collations made with
//   the shop (portugues, portugues_grupo), gives every table a rowid identity
//   column and indexes each till's day session (setupStatements,
//   createTable).
// - Writing: bd1 begins with BEGIN IMMEDIATE, so that a second writer waits
//   at the start, never half-way; the server at repeatable read, where two
//   tills writing the same rows make one fail whole with a ConflictError
//   that runInTransaction runs again (beginWriting).
// - Day sessions: one till on bd1; on the server each till keeps its own,
//   its number on the session's rows (sessionsPerTill).
// - Older files: bd1 files made by older versions of the program are brought
//   up to date at open; a server is made with the current layout
//   (hasOlderLayouts).
// - Backups: the program copies bd1, keyed like it, through the engine's
//   online backup; a server is backed up with its own dump tool
//   (backedUpByProgram).
// - The key: bd1 is keyed with the program's password and the file's salt
//   (store/keys.h); a server's login lives in libpq's password file.
// - A checkpoint writes bd1's write-ahead log into the file
//   (Engine::checkpoint); a server has nothing to write.
class Dialect {
public:
    virtual ~Dialect() = default;

    // bd1's engine, and a shop's server.
    static const Dialect& file();
    static const Dialect& server();

    // The statement the engine runs for a query of queries.h.
    virtual const char* queryText(const QueryText& query) const = 0;
    // A statement with "?" and "?N" parameters as the engine prepares it.
    virtual QByteArray preparedText(const QByteArray& sql) const = 0;
    // The statement that adds a row to table with the fields given, one "?"
    // each (none: the fields' defaults).
    virtual QString insertText(const QString& table, const QStringList& fields) const = 0;
    // The statement that begins a writing transaction.
    virtual QByteArray beginWriting() const = 0;
    // A transaction that only reads: its statements see the data as one.
    virtual QByteArray beginReading() const = 0;

    // What a new store needs before its tables: on a server, the collations
    // and the name searches' folding function; none on bd1, whose
    // connections register their own.
    virtual QStringList setupStatements() const = 0;
    // The statements that create a table of the store and its indexes.
    virtual QStringList createTable(const TableDefinition& table) const = 0;
    // The statement that creates the index of one field of a table.
    virtual QString createIndex(const TableDefinition& table, const QString& field) const = 0;
    virtual QString createIndex(const TableDefinition& table, const PartialIndex& index) const = 0;

    // Each till of the shop keeps its own day session.
    virtual bool sessionsPerTill() const = 0;
    // Files made by older versions of the program exist and are brought up
    // to date at open.
    virtual bool hasOlderLayouts() const = 0;
    // The program writes the backups itself, as keyed copies of the file.
    virtual bool backedUpByProgram() const = 0;
    // A long listing in an index's order is read faster by walking the table
    // in its own order and putting the rows in order in memory: on bd1 each
    // row read out of order is a page to read and decipher again.
    virtual bool readsListingsInTableOrder() const = 0;
};
