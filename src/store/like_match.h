#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The engine's LIKE with letter case ignored for every letter, not only A–Z:
// "%" matches any run of characters, "_" exactly one; a character after the
// escape character (when not 0) stands for itself.
bool likeMatches(const QString& pattern, const QString& text, char32_t escape = 0);

// A pattern folded once and matched against many texts in UTF-8, as a search
// tests every name of the catalogue: plain ASCII texts are compared byte by
// byte with A–Z folded in place; other texts are folded in full.
class LikePattern {
public:
    explicit LikePattern(QByteArrayView utf8);

    // True when this is the pattern of the given UTF-8 text.
    bool isPatternOf(QByteArrayView utf8) const { return utf8 == QByteArrayView(source_); }
    bool matches(QByteArrayView utf8Text, char32_t escape) const;

private:
    QByteArray source_;
    bool ascii_ = true;
    QByteArray foldedAscii_;   // when ascii_: the pattern with A–Z made a–z
    QList<uint> folded_;       // the pattern folded in full
};

// The typed text as a LIKE pattern that matches exactly itself, with the
// backslash as the escape character: "%", "_" and the backslash lose their
// special meaning.
QString likeLiteral(const QString& typed);
