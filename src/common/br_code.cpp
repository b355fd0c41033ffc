#include "common/br_code.h"

#include "common/errors.h"
#include "common/plain_text.h"

#include <cctype>

namespace {

constexpr int TRANSACTION_ID_LENGTH = 25;

QByteArray field(const char* id, const QByteArray& value)
{
    Q_ASSERT(value.size() < 100);
    return id + QByteArray::number(value.size()).rightJustified(2, '0') + value;
}

QByteArray plain(const QString& text, int most)
{
    return toPlainAscii(text).left(most).toLatin1();
}

QByteArray amountText(qint64 cents)
{
    return QByteArray::number(cents / 100) + '.' + QByteArray::number(cents % 100).rightJustified(2, '0');
}

QByteArray lettersAndDigits(const QString& text)
{
    QByteArray kept;
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && c.isLetterOrNumber() && kept.size() < TRANSACTION_ID_LENGTH)
            kept += char(c.unicode());
    }
    return kept.isEmpty() ? QByteArray("***") : kept;
}

}   // namespace

QByteArray brCodePayload(const PixCharge& charge)
{
    QByteArray payload = field("00", "01") +
                         field("26", field("00", "br.gov.bcb.pix") + field("01", charge.key.toLatin1())) +
                         field("52", "0000") + field("53", "986");
    if (charge.amountCents && *charge.amountCents <= 0)
        throw AppError(QStringLiteral("O valor de um Pix precisa ser maior que zero."));
    if (charge.amountCents)
        payload += field("54", amountText(*charge.amountCents));
    payload += field("58", "BR") + field("59", plain(charge.name, PIX_NAME_LENGTH)) +
               field("60", plain(charge.city, PIX_CITY_LENGTH)) +
               field("62", field("05", lettersAndDigits(charge.transactionId))) + "6304";
    return payload + QByteArray::number(crc16CcittFalse(payload), 16).toUpper().rightJustified(4, '0');
}

QString pixTransactionId(int till, const QDateTime& moment)
{
    return QStringLiteral("CX%1%2").arg(till, 2, 10, QChar(u'0')).arg(moment.toString(u"yyyyMMddHHmmsszzz"));
}

quint16 crc16CcittFalse(QByteArrayView data)
{
    quint16 crc = 0xFFFF;
    for (const char byte : data) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 0x8000 ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

std::optional<QList<BrCodeField>> brCodeFields(QByteArrayView payload)
{
    QList<BrCodeField> fields;
    qsizetype at = 0;
    while (at < payload.size()) {
        if (payload.size() - at < 4)
            return std::nullopt;
        const QByteArrayView length = payload.sliced(at + 2, 2);
        if (!std::isdigit(quint8(length[0])) || !std::isdigit(quint8(length[1])))
            return std::nullopt;
        const int size = (length[0] - '0') * 10 + (length[1] - '0');
        if (at + 4 + size > payload.size())
            return std::nullopt;
        fields.append({payload.sliced(at, 2).toByteArray(), payload.sliced(at + 4, size).toByteArray()});
        at += 4 + size;
    }
    return fields;
}
