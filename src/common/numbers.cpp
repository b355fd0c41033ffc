#include "common/numbers.h"

#include "common/errors.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int SIGNIFICANT_DIGITS = 15;

// A number already split by a reader: sign, integer digits, fraction digits.
struct NumberParts {
    bool negative = false;
    std::string integer;
    std::string fraction;

    bool hasDigits() const { return !integer.empty() || !fraction.empty(); }
};

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Nothing when the value does not fit a double.
std::optional<double> toDouble(const NumberParts& parts)
{
    std::string text = parts.integer.empty() ? std::string("0") : parts.integer;
    if (!parts.fraction.empty())
        text += '.' + parts.fraction;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return parts.negative ? -value : value;
}

ConversionError notANumber(const QString& text)
{
    return ConversionError(QStringLiteral("\"%1\" não é um número válido").arg(text));
}

QString stripTrailingZeros(QString digits)
{
    while (digits.endsWith(u'0'))
        digits.chop(1);
    return digits;
}

// Adds one unit in the last place; false when every digit was 9 (they all become 0).
bool incrementDigits(QString& digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != u'9') {
            digits[i] = QChar(digits[i].unicode() + 1);
            return true;
        }
        digits[i] = u'0';
    }
    return false;
}

} // namespace

QString DecimalDigits::integerPart() const
{
    if (pointPosition <= 0)
        return {};
    return digits.left(pointPosition).leftJustified(pointPosition, u'0');
}

QString DecimalDigits::fractionPart() const
{
    if (digits.size() <= pointPosition)
        return {};
    if (pointPosition >= 0)
        return digits.mid(pointPosition);
    return QString(-pointPosition, u'0') + digits;
}

DecimalDigits DecimalDigits::roundedTo(int decimals) const
{
    const qsizetype kept = qsizetype(pointPosition) + decimals;
    if (kept >= digits.size())
        return *this;
    DecimalDigits rounded{negative, kept > 0 ? digits.left(kept) : QString(), pointPosition};
    const bool roundUp = kept >= 0 && digits[kept] >= u'5';
    if (roundUp && !incrementDigits(rounded.digits)) {
        // Every kept digit was 9 (9.996 → 10.00), or none was kept (0.6 → 1).
        rounded.digits.prepend(u'1');
        rounded.pointPosition += 1;
    }
    rounded.digits = stripTrailingZeros(rounded.digits);
    if (rounded.isZero())
        rounded = {};
    return rounded;
}

DecimalDigits decimalDigits(double value)
{
    if (!std::isfinite(value))
        throw ConversionError(QStringLiteral("O valor calculado está fora do intervalo dos números"));
    if (value == 0)
        return {};
    // Scientific form "d.dddddddddddddde±x" carries exactly the significant digits.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, SIGNIFICANT_DIGITS - 1);
    const std::string text(buffer, result.ptr);
    const auto exponentAt = text.find('e');
    QString digits = QString::fromLatin1(text.substr(0, 1) + text.substr(2, exponentAt - 2));
    const int exponent = std::stoi(text.substr(exponentAt + 1));
    return {value < 0, stripTrailingZeros(digits), exponent + 1};
}

double roundToCents(double value)
{
    const DecimalDigits cents = decimalDigits(value).roundedTo(2);
    const NumberParts parts{cents.negative, cents.integerPart().toStdString(), cents.fractionPart().toStdString()};
    return toDouble(parts).value_or(value);
}

// Group separators, where present, must group thousands: one to three digits
// not starting with 0, then groups of exactly three ("1.234.567"). A point
// typed as a decimal point under Brazilian settings ("1.5", "0.500") is thus
// refused instead of read as 15 or 500.
bool wellGrouped(const QString& integer, QChar group)
{
    if (!integer.contains(group))
        return true;
    const QStringList groups = integer.split(group);
    if (groups.first().isEmpty() || groups.first().size() > 3 || groups.first().startsWith(u'0'))
        return false;
    return std::all_of(groups.cbegin() + 1, groups.cend(), [](const QString& g) { return g.size() == 3; });
}

std::optional<double> lerNumero(const QString& text, const NumberSettings& settings)
{
    const QString trimmed = text.trimmed();
    NumberParts parts;
    qsizetype i = 0;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-'))
        parts.negative = trimmed[i++] == u'-';
    QString integerWithGroups;
    bool afterDecimal = false;
    for (; i < trimmed.size(); ++i) {
        const QChar c = trimmed[i];
        if (isAsciiDigit(c)) {
            (afterDecimal ? parts.fraction : parts.integer) += char(c.unicode());
            if (!afterDecimal)
                integerWithGroups += c;
        } else if (c == settings.decimal && !afterDecimal) {
            afterDecimal = true;
        } else if (c == settings.group && !afterDecimal) {
            integerWithGroups += c;
        } else {
            return std::nullopt;
        }
    }
    if (!parts.hasDigits() || !wellGrouped(integerWithGroups, settings.group))
        return std::nullopt;
    return toDouble(parts);
}

double A_Numero(const QString& text, const NumberSettings& settings)
{
    const auto value = lerNumero(text, settings);
    if (!value)
        throw notANumber(text);
    return *value;
}

QString A_Texto(double value, const NumberSettings& settings)
{
    // Whole amounts and quantities are the common case of every listing.
    constexpr double WHOLE_LIMIT = 1e15;
    if (std::trunc(value) == value && std::fabs(value) < WHOLE_LIMIT)
        return QString::number(static_cast<qlonglong>(value));

    if (!std::isfinite(value))
        decimalDigits(value);   // refuses it
    // The significant digits and the point's place, as decimalDigits() gives
    // them, written out in one text: listings write every price of the
    // catalogue. The shortest digits that read back as the value are, when
    // there are at most 15 of them, the value rounded to 15 digits (a double
    // is closer to them than half a unit in the 15th digit); only longer ones
    // need the rounding by precision.
    char scientific[40];
    auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                 std::chars_format::scientific);
    const char* exponentAt = std::find(scientific, written.ptr, 'e');
    if (exponentAt - scientific > SIGNIFICANT_DIGITS + 1) {
        written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                std::chars_format::scientific, SIGNIFICANT_DIGITS - 1);
        exponentAt = std::find(scientific, written.ptr, 'e');
    }
    char digits[SIGNIFICANT_DIGITS + 1];
    int count = 0;
    digits[count++] = scientific[0];
    for (const char* c = scientific + 2; c < exponentAt; ++c)
        digits[count++] = *c;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    const char* exponentDigits = exponentAt + 1 + (exponentAt[1] == '+' ? 1 : 0);
    int exponent = 0;
    std::from_chars(exponentDigits, written.ptr, exponent);
    const int point = exponent + 1;

    const bool fraction = count > point;
    const qsizetype length = (value < 0 ? 1 : 0) + std::max(point, 1) +
                             (fraction ? 1 + std::max(-point, 0) + count - std::max(point, 0) : 0);
    QString text(length, Qt::Uninitialized);
    QChar* out = text.data();
    if (value < 0)
        *out++ = u'-';
    if (point <= 0)
        *out++ = u'0';
    for (int i = 0; i < point; ++i)
        *out++ = QLatin1Char(i < count ? digits[i] : '0');
    if (fraction) {
        *out++ = settings.decimal;
        for (int i = point; i < 0; ++i)
            *out++ = u'0';
        for (int i = std::max(point, 0); i < count; ++i)
            *out++ = QLatin1Char(digits[i]);
    }
    return text;
}

double shownNumber(double value)
{
    if (!std::isfinite(value))
        decimalDigits(value);   // refuses it
    if (value == 0)
        return 0;
    char scientific[40];
    auto written = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific);
    // "-d.ddd" holds its significant digits before the exponent: the shortest
    // digits read back as the value itself.
    const char* exponentAt = std::find(scientific, written.ptr, 'e');
    const bool point = std::find(static_cast<const char*>(scientific), exponentAt, '.') != exponentAt;
    const int digits = int(exponentAt - scientific) - (value < 0 ? 1 : 0) - (point ? 1 : 0);
    if (digits <= SIGNIFICANT_DIGITS)
        return value;
    written = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific,
                            SIGNIFICANT_DIGITS - 1);
    double rounded = value;
    std::from_chars(scientific, written.ptr, rounded);
    return rounded;
}

double Valor_Inicial(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    NumberParts parts;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        parts.negative = text[i++] == u'-';
    for (; i < text.size() && isAsciiDigit(text[i]); ++i)
        parts.integer += char(text[i].unicode());
    if (i < text.size() && text[i] == u'.')
        for (++i; i < text.size() && isAsciiDigit(text[i]); ++i)
            parts.fraction += char(text[i].unicode());
    if (!parts.hasDigits())
        return 0;
    const auto value = toDouble(parts);
    if (!value)
        throw notANumber(text);
    return *value;
}
