#pragma once

#include <QString>

struct sqlite3;

// Text in the order a Brazilian reads it. Letters are compared without regard
// to letter case and accents ("abacate" < "Água" < "banana"); texts that differ
// only there are then ordered by their exact characters, so the order is total
// and two texts are equal only when identical: "=" stays exact.
inline constexpr char ORDER_COLLATION[] = "PORTUGUES";
// The same first-level comparison without the exact tie-break: "Bebidas" and
// "bebidas" are one value. Declared where texts are grouped into one entry.
inline constexpr char GROUP_COLLATION[] = "PORTUGUES_GRUPO";

// A character as the Portuguese order compares it: a letter without its
// case and accents ("Á" -> "a", "Ç" -> "c"); any other character as it is.
char32_t foldedLetter(char32_t c);

// Makes both collations known to a connection; every connection that reads or
// writes the tables needs them. Returns the engine's result code.
int registerCollations(sqlite3* db);

// Negative, zero or positive as a comes before, with or after b.
int comparePortuguese(const QString& a, const QString& b);
int comparePortugueseIgnoringCase(const QString& a, const QString& b);
