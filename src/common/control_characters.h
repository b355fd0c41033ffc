#pragma once

#include <QString>

// Characters below 32, and 127: line breaks, tabs, escapes, bells. None
// belongs in a name or a category: a list would squeeze them into one line
// and a roll printer would take them as commands.
inline bool isControlCharacter(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7f;
}

// The first control character of the text, or -1.
qsizetype firstControlCharacter(const QString& text);

// The text with a space in place of each control character, so that it
// prints on one line and in its own columns.
QString controlCharactersAsSpaces(const QString& text);

// Which control character it is, in words for the shop: "quebra de linha",
// "tabulação" or its code ("código 27").
QString controlCharacterName(QChar c);
