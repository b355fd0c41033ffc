#include "devices/escpos_text.h"

#include "common/control_characters.h"
#include "common/plain_text.h"

#include <QHash>

namespace {

// The upper half of the code page: the letters and signs a Portuguese text
// uses, at the bytes the printer draws them with.
const QHash<char16_t, char>& upperHalf()
{
    static const QHash<char16_t, char> table = [] {
        const char16_t letters[] = u"ÇüéâãàÁçêÊèÍÔìÃÂÉÀÈôõòÚùÌÕÜ¢£Ù₧ÓáíóúñÑªº¿Ò¬½¼¡«»";
        QHash<char16_t, char> bytes;
        for (int i = 0; letters[i] != 0; ++i)
            bytes.insert(letters[i], static_cast<char>(0x80 + i));
        const std::pair<char16_t, unsigned char> signs[] = {
            {u'ß', 0xe1}, {u'µ', 0xe6}, {u'±', 0xf1}, {u'÷', 0xf6}, {u'°', 0xf8}, {u'·', 0xfa}, {u'²', 0xfd},
        };
        for (const auto& [sign, byte] : signs)
            bytes.insert(sign, static_cast<char>(byte));
        return bytes;
    }();
    return table;
}

QString nearestPlain(QChar c)
{
    if (const QString plain = plainSpelling(c); !plain.isEmpty())
        return plain;
    QString base;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
        if (part.unicode() < 0x80 || upperHalf().contains(part.unicode()))
            base += part;
    }
    return base.isEmpty() ? QStringLiteral("?") : base;
}

}   // namespace

namespace EscPos {

QString printable(const QString& text)
{
    QString result;
    result.reserve(text.size());
    // Composed first, so that a letter typed as base and accent finds its own byte.
    for (const QChar c : text.normalized(QString::NormalizationForm_C)) {
        if (c.isMark())
            continue;
        if (isControlCharacter(c))
            result += u' ';
        else if (c.unicode() < 0x80 || upperHalf().contains(c.unicode()))
            result += c;
        else if (!c.isSurrogate() || c.isHighSurrogate())
            result += nearestPlain(c);
    }
    return result;
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : upperHalf().value(c.unicode(), '?');
    return bytes;
}

}   // namespace EscPos
