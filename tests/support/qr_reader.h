#pragma once

#include <QByteArray>
#include <QImage>

// What a QR code reader makes of the image (the zbar tools' zbarimg): the
// bytes of the code it finds, or a text in brackets saying why there are none.
QByteArray readQrCode(const QImage& image);
