#include "store/like_match.h"

#include "store/collation.h"

#include <QVarLengthArray>

#include <algorithm>
#include <optional>

namespace {

// Character by character, as the Portuguese order folds them: a pattern
// typed without accents finds the accented names.
QList<uint> folded(const QString& text)
{
    QList<uint> characters = text.toUcs4();
    for (uint& c : characters)
        c = foldedLetter(c);
    return characters;
}

bool isAscii(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char foldedAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

char32_t foldedAsciiCharacter(char32_t c)
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

// ASCII text read as characters, not as signed bytes.
struct AsciiText {
    QByteArrayView bytes;
    qsizetype size() const { return bytes.size(); }
    char32_t operator[](qsizetype i) const { return static_cast<unsigned char>(bytes[i]); }
};

using FoldedText = QVarLengthArray<char32_t, 128>;

// The code point starting at text[i], advancing i; nothing for bytes that are
// not well-formed UTF-8.
std::optional<char32_t> nextCodePoint(QByteArrayView text, qsizetype& i)
{
    const auto lead = static_cast<unsigned char>(text[i++]);
    if (lead < 0x80)
        return lead;
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead > 0xF4 || i + extra > text.size())
        return std::nullopt;
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        const auto next = static_cast<unsigned char>(text[i++]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t SMALLEST[] = {0, 0x80, 0x800, 0x10000};
    if (c < SMALLEST[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        return std::nullopt;
    return c;
}

// The text folded character by character, as the full fold gives it for
// well-formed text; false for text the full fold must handle (malformed
// bytes, which it replaces, or a byte order mark, which it may drop).
bool foldCodePoints(QByteArrayView text, FoldedText& folded)
{
    constexpr char32_t BYTE_ORDER_MARK = 0xFEFF;
    folded.resize(text.size());   // never fewer bytes than characters
    char32_t* out = folded.data();
    for (qsizetype i = 0; i < text.size();) {
        const std::optional<char32_t> c = nextCodePoint(text, i);
        if (!c || *c == BYTE_ORDER_MARK)
            return false;
        *out++ = foldedLetter(*c);
    }
    folded.resize(out - folded.data());
    return true;
}

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


// The text between a leading and a trailing "%" when nothing else in the
// pattern is a wildcard ("%arroz%", escapes resolved): the pattern then
// matches exactly the texts that contain it.
std::optional<QList<uint>> containedLiteral(const QList<uint>& pattern, char32_t escape)
{
    const qsizetype size = pattern.size();
    qsizetype p = 0;
    while (p < size && pattern[p] == u'%')
        ++p;
    if (p == 0)
        return std::nullopt;
    QList<uint> literal;
    while (p < size) {
        const char32_t c = pattern[p];
        if (escape != 0 && c == escape && p + 1 < size) {
            literal.append(pattern[p + 1]);
            p += 2;
        } else if (c == u'%') {
            break;
        } else if (c == u'_') {
            return std::nullopt;
        } else {
            literal.append(c);
            ++p;
        }
    }
    if (p == size && !literal.isEmpty())
        return std::nullopt;   // no trailing "%": the text must end with the literal
    while (p < size && pattern[p] == u'%')
        ++p;
    if (p != size)
        return std::nullopt;
    return literal;
}

}   // namespace

LikePattern::LikePattern(QByteArrayView utf8, char32_t escape)
    : source_(utf8.toByteArray()),
      escape_(escape),
      ascii_(isAscii(utf8) && escape < 0x80),
      folded_(folded(QString::fromUtf8(utf8))),
      contained_(containedLiteral(folded_, escape))
{
    if (ascii_) {
        foldedAscii_ = source_;
        std::transform(foldedAscii_.begin(), foldedAscii_.end(), foldedAscii_.begin(), foldedAscii);
        if (contained_) {
            for (const uint c : *contained_)
                containedAscii_.append(static_cast<char>(c));
        }
    }
}

bool LikePattern::matches(QByteArrayView utf8Text) const
{
    if (ascii_ && isAscii(utf8Text)) {
        if (contained_) {
            return std::search(utf8Text.begin(), utf8Text.end(), containedAscii_.begin(), containedAscii_.end(),
                               [](char t, char l) { return foldedAscii(t) == l; }) != utf8Text.end() ||
                   containedAscii_.isEmpty();
        }
        return matchFolded(AsciiText{foldedAscii_}, AsciiText{utf8Text}, escape_, foldedAsciiCharacter);
    }
    FoldedText text;
    if (foldCodePoints(utf8Text, text))
        return matchesFolded(text);
    return matchesFolded(folded(QString::fromUtf8(utf8Text)));
}

template <typename Text>
bool LikePattern::matchesFolded(const Text& text) const
{
    if (contained_)
        return contained_->isEmpty() ||
               std::search(text.begin(), text.end(), contained_->begin(), contained_->end(),
                           [](char32_t t, uint l) { return t == l; }) != text.end();
    return matchFolded(folded_, text, escape_, [](char32_t c) { return c; });
}

bool likeMatches(const QString& patternText, const QString& subjectText, char32_t escape)
{
    return LikePattern(patternText.toUtf8(), escape).matches(subjectText.toUtf8());
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
