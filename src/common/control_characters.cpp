#include "common/control_characters.h"

qsizetype firstControlCharacter(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isControlCharacter(text[i]))
            return i;
    }
    return -1;
}

QString controlCharactersAsSpaces(const QString& text)
{
    if (firstControlCharacter(text) < 0)
        return text;
    QString spaced = text;
    for (QChar& c : spaced) {
        if (isControlCharacter(c))
            c = u' ';
    }
    return spaced;
}

QString controlCharacterName(QChar c)
{
    if (c == u'\n' || c == u'\r')
        return QStringLiteral("quebra de linha");
    if (c == u'\t')
        return QStringLiteral("tabulação");
    return QStringLiteral("código %1").arg(c.unicode());
}
