#pragma once

class Connection;

// An older Temporal has 10 fields and lacks the unit sale price of a line:
// give it the ValorUnitario column (a double). A table that already has the
// column is left alone. Returns true when the column was added.
bool Actualizar_Temporal(Connection& connection);

// A bd1 made before its texts were ordered as a Brazilian reads them declares
// its text fields without a collation. Rebuilds each such table with the
// collations of the current layout, keeping every row, row id, extra field and
// index, in one transaction. Cheap when nothing is to be done. Returns true
// when a table was rebuilt.
bool upgradeTextCollations(Connection& connection);

// A bd1 made before an index of the current layout existed (the categories'
// index, which the category boxes' grouping walks) gets the missing indexes.
// Cheap when nothing is to be done. Returns true when an index was made.
bool addMissingIndexes(Connection& connection);

// A bd1 made before a shop could have several tills gets the till number on
// its open lines, takings rows and archived lines, 1 on every row. Returns
// true when a field was added.
bool addTillNumbers(Connection& connection);

// What a bd1 of an older layout lacks, added at the connection's open.
void upgradeFileLayout(Connection& connection);
