#pragma once

class Engine;

// What a bd1 of an older layout lacks, added to the file an engine has just
// opened. Every step is cheap when there is nothing to do.

// An older Temporal has 10 fields and lacks the unit sale price of a line:
// give it the ValorUnitario column (a double). A table that already has the
// column is left alone. Returns true when the column was added.
bool addUnitPriceField(Engine& engine);

// A bd1 made before its texts were ordered as a Brazilian reads them declares
// its text fields without a collation. Rebuilds each such table with the
// collations of the current layout, keeping every row, row id, extra field and
// index, in one transaction. Returns true when a table was rebuilt.
bool upgradeTextCollations(Engine& engine);

// A bd1 made before an index of the current layout existed (the categories'
// index, which the category boxes' grouping walks) gets the missing indexes.
// Returns true when an index was made.
bool addMissingIndexes(Engine& engine);

// A bd1 made before a shop could have several tills gets the till number on
// its open lines, takings rows and archived lines, 1 on every row. Returns
// true when a field was added.
bool addTillNumbers(Engine& engine);

// A bd1 made before the till took Pix gets the takings' Pix field, 0 on
// every row. Returns true when the field was added.
bool addPixTakings(Engine& engine);

// The collations, the indexes, the till numbers and the Pix takings, at the first open of a
// file in a run (the unit price waits for the sale window's load).
void upgradeFileLayout(Engine& engine);
