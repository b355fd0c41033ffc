#include "common/plain_text.h"

#include "common/control_characters.h"

#include <QHash>

QString plainSpelling(QChar c)
{
    static const QHash<char16_t, QString> table = {
        {u'Æ', "AE"}, {u'æ', "ae"}, {u'Œ', "OE"}, {u'œ', "oe"}, {u'Ø', "O"},   {u'ø', "o"},
        {u'Ł', "L"},  {u'ł', "l"},  {u'Đ', "D"},  {u'đ', "d"},  {u'Ð', "D"},   {u'ð', "d"},
        {u'Þ', "Th"}, {u'þ', "th"}, {u'ı', "i"},  {u'€', "EUR"}, {u'‘', "'"},  {u'’', "'"},
        {u'‚', ","},  {u'“', "\""}, {u'”', "\""}, {u'„', "\""}, {u'–', "-"},   {u'—', "-"},
        {u'…', "..."}, {u'•', "*"}, {u'×', "x"},  {u'\u00a0', " "},
    };
    return table.value(c.unicode());
}

QString toPlainAscii(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text.normalized(QString::NormalizationForm_C)) {
        if (c.isMark() || c.isLowSurrogate())
            continue;
        if (isControlCharacter(c)) {
            result += u' ';
        } else if (c.unicode() < 0x80) {
            result += c;
        } else if (const QString plain = plainSpelling(c); !plain.isEmpty()) {
            result += plain;
        } else {
            QString base;
            for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
                if (part.unicode() < 0x80 && !isControlCharacter(part))
                    base += part;
            }
            result += base.isEmpty() ? QStringLiteral("?") : base;
        }
    }
    return result;
}
