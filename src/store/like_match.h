#pragma once

#include <QString>

// The engine's LIKE with letter case ignored for every letter, not only A–Z:
// "%" matches any run of characters, "_" exactly one; a character after the
// escape character (when not 0) stands for itself.
bool likeMatches(const QString& pattern, const QString& text, char32_t escape = 0);

// The escape character of the store's searches for typed text.
inline constexpr char16_t LIKE_ESCAPE = u'\\';

// The pattern that finds a typed text anywhere in a field: "%" and "_" typed
// by the user stand for themselves ("50%" finds "Desconto 50%", not "500 g").
// Used with a "like ? escape '\'" query (Query::ProductosBusquedaLiteral).
QString likePatternContaining(const QString& typed);
