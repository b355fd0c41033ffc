#include "store/like_match.h"

#include <QList>

namespace {

QList<uint> folded(const QString& text)
{
    return text.toCaseFolded().toUcs4();
}

}   // namespace

bool likeMatches(const QString& patternText, const QString& subjectText, char32_t escape)
{
    const QList<uint> pattern = folded(patternText);
    const QList<uint> text = folded(subjectText);
    const qsizetype none = -1;
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype afterPercent = none;   // pattern position just after the last "%"
    qsizetype percentText = 0;       // text position that "%" currently covers up to

    while (t < text.size()) {
        if (p < pattern.size()) {
            const uint c = pattern[p];
            if (escape != 0 && c == escape && p + 1 < pattern.size()) {
                if (pattern[p + 1] == text[t]) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (c == u'%') {
                afterPercent = ++p;
                percentText = t;
                continue;
            } else if (c == u'_' || c == text[t]) {
                ++p;
                ++t;
                continue;
            }
        }
        if (afterPercent == none)
            return false;
        p = afterPercent;
        t = ++percentText;
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

QString likePatternContaining(const QString& typed)
{
    QString pattern = QStringLiteral("%");
    pattern.reserve(typed.size() * 2 + 2);
    for (const QChar c : typed) {
        if (c == u'%' || c == u'_' || c == LIKE_ESCAPE)
            pattern += LIKE_ESCAPE;
        pattern += c;
    }
    pattern += u'%';
    return pattern;
}
