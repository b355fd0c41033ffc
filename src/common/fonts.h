#pragma once

#include <QFont>
#include <QString>

// The family the windows and lists are drawn in: Liberation Sans, whose
// letters are as wide as Arial's, so that a width given in twips holds what
// it was made to hold (a 13-digit code, a full date and time). Where it is
// not installed, the toolkit's default family.
QString screenFontFamily();

// The font given, in the screen family.
QFont inScreenFamily(QFont font);

// The bold font of the given size in points that the program's windows use.
QFont boldFont(int points);

// The font at its own size, or smaller, as large as lets the text fit the
// width in pixels whole: a long amount is shown smaller, never cut.
QFont fontFitting(QFont font, const QString& text, int width);
