#pragma once

#include <QString>

// Creates a shop on an empty database of a PostgreSQL server: the five tables
// of bd1 with the same fields and types (names unquoted, so the server folds
// them to lower case), the till number on the day session's tables, a row id
// on every table, the Portuguese text orders, the accent-blind folding the
// name searches use, the indexes of the lookups, the change counters the
// tills' copies are refreshed by, and the user admin
// (password admin). Refuses a database that already has tables. All of it,
// or nothing, is created.
void createServerShop(const QString& connection);

struct ShopSent {
    int products = 0;
    int users = 0;
    int sessions = 0;
    int lines = 0;
};

// Copies the catalogue, the users and the archived takings (the sessions and
// their lines) of a folder's bd1 into the shop just created on a server, in
// one transaction, keeping every row's order. Refuses a server that already
// holds a shop's data (anything but the admin it was created with), and a
// bd1 whose day is still open (close the day at its till first).
ShopSent sendShopToServer(const QString& folder, const QString& connection);
