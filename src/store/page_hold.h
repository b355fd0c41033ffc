#pragma once

// What an action needs of the engine's page cache: the usual; more for a
// write of many rows (an import growing the names' index out of order);
// little for a walk of a whole table in its own order, which reads each page
// once, so that the memory goes to what the walk keeps.
enum class PageHold { Usual, ForLargeWrite, ForTableWalk };
