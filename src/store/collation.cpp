#include "store/collation.h"

#include <sqlite3.h>

#include <QChar>
#include <QList>
#include <QString>

#include <algorithm>
#include <array>
#include <cstring>

namespace {

using Latin1Table = std::array<char32_t, 0x250>;

// A letter without its case and accents: the first character of its
// canonical decomposition, in lower case ("Á" -> "a", "Ç" -> "c").
char32_t baseLetter(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    char32_t base = c;
    // A decomposition may itself start with a composed letter ("ǖ" -> "ü" + macron).
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QList<uint> decomposed = QChar::decomposition(base).toUcs4();
        if (decomposed.isEmpty() || decomposed.first() == base)
            break;
        base = decomposed.first();
    }
    return QChar::toCaseFolded(base);
}

// Folded letters of the Latin blocks, worked out once.
const Latin1Table& latinTable()
{
    static const Latin1Table table = [] {
        Latin1Table folded{};
        for (char32_t c = 0; c < folded.size(); ++c)
            folded[c] = baseLetter(c);
        return folded;
    }();
    return table;
}

// Reads one character of UTF-8 at text[i] and advances i. A malformed byte
// stands for itself so that any bytes still compare in a fixed order.
char32_t nextCharacter(const unsigned char* text, int length, int& i)
{
    const unsigned char lead = text[i++];
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (extra == 0 || i + extra > length)
        return lead;
    char32_t c = lead & (0x3F >> extra);
    for (; extra > 0; --extra)
        c = (c << 6) | (text[i++] & 0x3F);
    return c;
}

}   // namespace

char32_t foldedLetter(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    const Latin1Table& table = latinTable();
    return c < table.size() ? table[c] : baseLetter(c);
}

namespace {

int compareFolded(const unsigned char* a, int aLength, const unsigned char* b, int bLength)
{
    int i = 0;
    int j = 0;
    while (i < aLength && j < bLength) {
        const unsigned char x = a[i];
        const unsigned char y = b[j];
        if (x < 0x80 && y < 0x80) {   // the common case: plain ASCII on both sides
            if (x != y) {
                const int fx = (x >= 'A' && x <= 'Z') ? x + ('a' - 'A') : x;
                const int fy = (y >= 'A' && y <= 'Z') ? y + ('a' - 'A') : y;
                if (fx != fy)
                    return fx - fy;
            }
            ++i;
            ++j;
            continue;
        }
        const char32_t fx = foldedLetter(nextCharacter(a, aLength, i));
        const char32_t fy = foldedLetter(nextCharacter(b, bLength, j));
        if (fx != fy)
            return fx < fy ? -1 : 1;
    }
    return (i < aLength) - (j < bLength);
}

int compareExact(const unsigned char* a, int aLength, const unsigned char* b, int bLength)
{
    const int common = std::memcmp(a, b, static_cast<size_t>(std::min(aLength, bLength)));
    return common != 0 ? common : aLength - bLength;
}

int orderCollation(void*, int aLength, const void* a, int bLength, const void* b)
{
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    const int first = compareFolded(x, aLength, y, bLength);
    return first != 0 ? first : compareExact(x, aLength, y, bLength);
}

int groupCollation(void*, int aLength, const void* a, int bLength, const void* b)
{
    return compareFolded(static_cast<const unsigned char*>(a), aLength, static_cast<const unsigned char*>(b), bLength);
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

}   // namespace

int registerCollations(sqlite3* db)
{
    int rc = sqlite3_create_collation_v2(db, ORDER_COLLATION, SQLITE_UTF8, nullptr, orderCollation, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_collation_v2(db, GROUP_COLLATION, SQLITE_UTF8, nullptr, groupCollation, nullptr);
    return rc;
}

int comparePortuguese(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return sign(orderCollation(nullptr, static_cast<int>(x.size()), x.constData(), static_cast<int>(y.size()),
                               y.constData()));
}

int comparePortugueseIgnoringCase(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return sign(groupCollation(nullptr, static_cast<int>(x.size()), x.constData(), static_cast<int>(y.size()),
                               y.constData()));
}
