#pragma once

#include <QChar>
#include <QString>

// The plain spelling of the letters and signs that dropping accents does not
// bring down to plain letters ("Æ" is "AE", "€" is "EUR", "—" is "-");
// empty for every other character.
QString plainSpelling(QChar c);

// The text in plain ASCII, for places that take no accents: accents dropped
// ("São Paulo" becomes "Sao Paulo", "Ç" becomes "C"), the letters above
// spelled plainly, control characters as spaces and anything else as "?".
QString toPlainAscii(const QString& text);
