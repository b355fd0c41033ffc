#pragma once

#include <QByteArray>
#include <QString>

// Text for a thermal roll printer driven with ESC/POS commands, in the
// Portuguese code page (PC860) that the document selects.
namespace EscPos {

inline const QByteArray INITIALIZE("\x1b@", 2);
inline const QByteArray CODE_PAGE_PORTUGUESE("\x1bt\x03", 3);
inline const QByteArray BOLD_ON("\x1b" "E\x01", 3);
inline const QByteArray BOLD_OFF("\x1b" "E\x00", 3);
inline const QByteArray DOUBLE_HEIGHT("\x1d!\x01", 3);
inline const QByteArray NORMAL_SIZE("\x1d!\x00", 3);
inline const QByteArray LINE_FEED("\n", 1);
inline const QByteArray ALIGN_LEFT("\x1b" "a\x00", 3);
inline const QByteArray ALIGN_CENTRE("\x1b" "a\x01", 3);
// Feeds the paper up to the cutter and cuts it, leaving a hinge.
inline const QByteArray CUT("\x1dV\x42\x00", 4);
// Drawer kick on pin 2: 50 ms on, 500 ms off.
inline const QByteArray DRAWER_PULSE("\x1bp\x00\x19\xfa", 5);

// The text with every character the code page lacks replaced by its nearest
// plain letters ("œ" becomes "oe", "ŝ" becomes "s", "€" becomes "EUR"), and
// control characters by spaces, so that nothing in a name can act as a
// printer command. One character of the result is one printed column.
QString printable(const QString& text);

// A text made by printable(), one byte per character, in the code page.
QByteArray encode(const QString& text);

}   // namespace EscPos
