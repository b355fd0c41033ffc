#pragma once

#include <QByteArray>

// A QR code printed by a thermal roll printer itself, from its ESC/POS
// commands.
namespace EscPos {

// The commands that print the bytes as a QR code: model 2, modules of the
// given size in dots (1 to 16), error correction level M, the bytes stored
// in the printer's symbol memory, then printed. Up to 7089 bytes.
QByteArray qrCode(const QByteArray& data, int moduleSize);

// The largest module size, 1 to 16 dots, at which a code of the given
// modules per side (QrMatrix::size()) takes at most about four fifths of the
// printable width of a 58 mm roll (384 dots) or an 80 mm roll (576 dots).
int qrModuleSize(int modules, int paperWidthMm);

}   // namespace EscPos
