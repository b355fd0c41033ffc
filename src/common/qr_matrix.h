#pragma once

#include <QByteArray>
#include <QList>

#include <optional>

// The modules of a QR code holding some bytes (8-bit mode, exactly as given,
// error correction level M, the smallest version that holds them), without
// the quiet zone around it.
class QrMatrix {
public:
    // None when the bytes do not fit any QR code.
    static std::optional<QrMatrix> encode(const QByteArray& data);

    int version() const { return version_; }
    // Modules per side: 17 + 4 × version.
    int size() const { return size_; }
    bool dark(int x, int y) const { return dark_[y * size_ + x]; }

private:
    QrMatrix(int version, int size, QList<bool> dark) : version_(version), size_(size), dark_(std::move(dark)) {}

    int version_;
    int size_;
    QList<bool> dark_;
};

// The light margin a reader needs around the code, in modules.
inline constexpr int QR_QUIET_ZONE = 4;
