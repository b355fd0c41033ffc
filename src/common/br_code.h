#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The payment code a payer's bank app reads from a QR code to pay by Pix: a
// static code of the shop's key, with the amount of one sale. Each field is
// a two-digit id, its length in two digits and its value; the last field
// holds the checksum of all that comes before it.
inline constexpr int PIX_NAME_LENGTH = 25;
inline constexpr int PIX_CITY_LENGTH = 15;

struct PixCharge {
    QString key;    // a key as readPixKey writes it
    QString name;   // the receiver's name and city; accents are dropped in
    QString city;   // the code, and each is cut to what the code takes
    // In centavos; none: the payer types the amount. Zero or less throws
    // AppError: no one pays a Pix of nothing.
    std::optional<qint64> amountCents;
    // Only its letters and digits are written, at most 25; none left: "***".
    QString transactionId;
};

// The payment code, in ASCII: 00 "01"; 26 holding 00 "br.gov.bcb.pix" and
// 01 the key; 52 "0000"; 53 "986"; 54 the amount as "12.34"; 58 "BR"; 59 the
// name; 60 the city; 62 holding 05 the transaction id; 63 the checksum.
QByteArray brCodePayload(const PixCharge& charge);

// The transaction id of a sale: the till's number and the sale's moment to
// the millisecond ("CX07" "20240305081502123"), letters and digits only.
QString pixTransactionId(int till, const QDateTime& moment);

// CRC-16/CCITT-FALSE (polynomial 0x1021, start 0xFFFF, no reflection, no
// final xor), the payment code's checksum: "123456789" gives 0x29B1.
quint16 crc16CcittFalse(QByteArrayView data);

struct BrCodeField {
    QByteArray id;
    QByteArray value;

    bool operator==(const BrCodeField&) const = default;
};

// The fields of a payment code, or of a field that holds fields (26, 62), in
// their order; none when a length is not two digits or runs past the end.
std::optional<QList<BrCodeField>> brCodeFields(QByteArrayView payload);
