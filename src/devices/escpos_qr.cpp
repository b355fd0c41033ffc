#include "devices/escpos_qr.h"

#include <algorithm>

namespace {

constexpr int DOTS_58MM = 384;
constexpr int DOTS_80MM = 576;
constexpr int MOST_MODULE_SIZE = 16;

// GS ( k for the QR symbol (cn 49): the function's parameters, led by their length in two bytes.
QByteArray qrFunction(char function, const QByteArray& parameters)
{
    const qsizetype length = parameters.size() + 2;
    return QByteArray("\x1d(k", 3) + char(length & 0xff) + char(length >> 8) + '1' + function + parameters;
}

}   // namespace

namespace EscPos {

QByteArray qrCode(const QByteArray& data, int moduleSize)
{
    return qrFunction('A', QByteArray("2\x00", 2))   // model 2
           + qrFunction('C', QByteArray(1, char(std::clamp(moduleSize, 1, MOST_MODULE_SIZE))))
           + qrFunction('E', "1")   // level M
           + qrFunction('P', '0' + data) + qrFunction('Q', "0");
}

int qrModuleSize(int modules, int paperWidthMm)
{
    const int dots = paperWidthMm <= 58 ? DOTS_58MM : DOTS_80MM;
    return std::clamp(dots * 4 / 5 / std::max(modules, 1), 1, MOST_MODULE_SIZE);
}

}   // namespace EscPos
