#include "common/qr_matrix.h"

#include <qrencode.h>

#include <memory>

std::optional<QrMatrix> QrMatrix::encode(const QByteArray& data)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(data.size()), reinterpret_cast<const unsigned char*>(data.constData()), 0,
                          QR_ECLEVEL_M),
        &QRcode_free);
    if (!code)
        return std::nullopt;
    QList<bool> dark(qsizetype(code->width) * code->width);
    // The lowest bit of each module is its colour; the others say what the module is for.
    for (qsizetype i = 0; i < dark.size(); ++i)
        dark[i] = code->data[i] & 1;
    return QrMatrix(code->version, code->width, std::move(dark));
}
