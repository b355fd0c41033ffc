#include "store/like_match.h"

#include <algorithm>

namespace {

QList<uint> folded(const QString& text)
{
    return text.toCaseFolded().toUcs4();
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char foldedAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// ASCII text read as characters, not as signed bytes.
struct AsciiText {
    QByteArrayView bytes;
    qsizetype size() const { return bytes.size(); }
    char32_t operator[](qsizetype i) const { return static_cast<unsigned char>(bytes[i]); }
};

// Text characters are folded as they are read: only the ASCII fast path
// passes a fold other than the identity.
template <typename Pattern, typename Text, typename Fold>
bool matchFolded(const Pattern& pattern, const Text& text, char32_t escape, Fold fold)
{
    const qsizetype none = -1;
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype afterPercent = none;   // pattern position just after the last "%"
    qsizetype percentText = 0;       // text position that "%" currently covers up to
    const qsizetype patternSize = pattern.size();
    const qsizetype textSize = text.size();

    while (t < textSize) {
        if (p < patternSize) {
            const char32_t c = static_cast<char32_t>(pattern[p]);
            const char32_t here = static_cast<char32_t>(fold(text[t]));
            if (escape != 0 && c == escape && p + 1 < patternSize) {
                if (static_cast<char32_t>(pattern[p + 1]) == here) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (c == u'%') {
                afterPercent = ++p;
                percentText = t;
                continue;
            } else if (c == u'_' || c == here) {
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
    while (p < patternSize && static_cast<char32_t>(pattern[p]) == u'%')
        ++p;
    return p == patternSize;
}

}   // namespace

LikePattern::LikePattern(QByteArrayView utf8)
    : source_(utf8.toByteArray()), ascii_(isAscii(utf8)), folded_(folded(QString::fromUtf8(utf8)))
{
    if (ascii_) {
        foldedAscii_ = source_;
        std::transform(foldedAscii_.begin(), foldedAscii_.end(), foldedAscii_.begin(), foldedAscii);
    }
}

bool LikePattern::matches(QByteArrayView utf8Text, char32_t escape) const
{
    if (ascii_ && escape < 0x80 && isAscii(utf8Text)) {
        return matchFolded(AsciiText{foldedAscii_}, AsciiText{utf8Text}, escape,
                           [](char32_t c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; });
    }
    return matchFolded(folded_, folded(QString::fromUtf8(utf8Text)), escape, [](uint c) { return c; });
}

bool likeMatches(const QString& patternText, const QString& subjectText, char32_t escape)
{
    return LikePattern(patternText.toUtf8()).matches(subjectText.toUtf8(), escape);
}
QString likeLiteral(const QString& typed)
{
    QString pattern;
    pattern.reserve(typed.size());
    for (const QChar c : typed) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern.append(u'\\');
        pattern.append(c);
    }
    return pattern;
}
