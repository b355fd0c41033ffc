#pragma once

#include "store/operations.h"

#include <QList>
#include <QString>

// A product of a new bd1's catalogue.
using NewProduct = ProductValues;

struct NewDatabaseOptions {
    QList<NewProduct> products;
    // A Temporal of the older 10-field layout, without ValorUnitario (for
    // testing the upgrade); as all older layouts, without till numbers.
    bool olderTemporal = false;
    // The sale tables without their till numbers, as files made before a
    // shop could have several tills (for testing that upgrade).
    bool olderTills = false;
    // Takings without their Pix field, as files made before the till took
    // Pix (for testing that upgrade); older tills' files lack it too.
    bool olderTakings = false;
    // Text fields declared without their collations, as files made before the
    // texts were ordered as a Brazilian reads them (for testing that upgrade).
    bool olderTextOrder = false;
    // Only the indexes of files made before the categories were indexed (for
    // testing that upgrade).
    bool olderIndexes = false;
    // The administrator's receipt choice: 0 prints none, 58 or 80 that layout.
    int administratorReceipt = 0;
};

// Writes a new bd1, keyed with the program's password, into folder (made if
// missing): the five tables, the indexes of the lookups, the user "admin"
// with password "admin", and the given products. Refuses to overwrite an
// existing bd1. On any failure nothing is left behind. Returns the file's path.
QString createDatabase(const QString& folder, const NewDatabaseOptions& options = {});
