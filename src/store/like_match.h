#pragma once

#include <QString>

// The engine's LIKE with letter case ignored for every letter, not only A–Z:
// "%" matches any run of characters, "_" exactly one; a character after the
// escape character (when not 0) stands for itself.
bool likeMatches(const QString& pattern, const QString& text, char32_t escape = 0);

// The typed text as a LIKE pattern that matches exactly itself, with the
// backslash as the escape character: "%", "_" and the backslash lose their
// special meaning.
QString likeLiteral(const QString& typed);
