#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

// The engine's LIKE with letter case and accents ignored for every letter, as
// the Portuguese order compares them ("acucar" matches "AÇÚCAR"): "%"
// matches any run of characters, "_" exactly one; a character after the
// escape character (when not 0) stands for itself.
bool likeMatches(const QString& pattern, const QString& text, char32_t escape = 0);

// A pattern folded once and matched against many texts in UTF-8, as a search
// tests every name of the catalogue: plain ASCII texts are compared byte by
// byte with A–Z folded in place; other texts are folded letter by letter.
class LikePattern {
public:
    LikePattern(QByteArrayView utf8, char32_t escape);

    // True when this is the pattern of the given UTF-8 text and escape character.
    bool isPatternOf(QByteArrayView utf8, char32_t escape) const
    {
        return escape == escape_ && utf8 == QByteArrayView(source_);
    }
    bool matches(QByteArrayView utf8Text) const;

private:
    template <typename Text>
    bool matchesFolded(const Text& text) const;

    QByteArray source_;
    char32_t escape_ = 0;
    bool ascii_ = true;                     // pattern and escape character are plain ASCII
    QList<uint> folded_;                    // the pattern folded in full
    std::optional<QList<uint>> contained_;  // "%text%": the text, folded, that a match contains
    QByteArray foldedAscii_;                // when ascii_: the pattern with A–Z made a–z
    QByteArray containedAscii_;             // when ascii_ and contained_: that text in ASCII
};

// The typed text as a LIKE pattern that matches exactly itself, with the
// backslash as the escape character: "%", "_" and the backslash lose their
// special meaning.
QString likeLiteral(const QString& typed);
