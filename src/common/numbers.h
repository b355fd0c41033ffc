#pragma once

#include "common/number_settings.h"

#include <QString>
#include <optional>

// A finite double as decimal digits, rounded to 15 significant digits:
// value = ±0.d1d2…dn × 10^pointPosition, with no trailing zeros in digits
// (no digits at all for zero). The one place where a double becomes digits;
// A_Texto and Formato lay these digits out.
struct DecimalDigits {
    bool negative = false;
    QString digits;
    int pointPosition = 0;

    bool isZero() const { return digits.isEmpty(); }
    // Digits before the decimal point ("" below 1), and after it ("" for a whole number).
    QString integerPart() const;
    QString fractionPart() const;
    // Rounded half away from zero to the given number of decimal places.
    DecimalDigits roundedTo(int decimals) const;
};

// Throws ConversionError for infinity or NaN.
DecimalDigits decimalDigits(double value);

// Amounts and quantities the windows show have at most 12 digits before the
// comma: from this size on a number is refused where it is typed or imported.
inline constexpr double TOO_LARGE_TO_SHOW = 1e12;

// A money amount rounded to whole cents, half away from zero on its decimal
// value as Formato rounds it: 67 - 66,54 is 0,46, not 0,459999999999994.
// Throws ConversionError for infinity or NaN.
double roundToCents(double value);

// Reads a number written with the given settings: optional sign, digits with
// group separators that group thousands ("1.234.567"; "1.5" and "0.500" are
// refused under Brazilian settings rather than read as 15 and 500), at most one decimal separator (digits before it are
// optional: ",50" is 0,5) and spaces around. Throws ConversionError with a
// Portuguese message for anything else (empty text, lone separator, two
// decimal separators, letters, a value beyond the range of a double).
double A_Numero(const QString& text, const NumberSettings& settings = NumberSettings::current());

// The same reading without the exception.
std::optional<double> lerNumero(const QString& text, const NumberSettings& settings = NumberSettings::current());

// Writes a number with up to 15 significant digits, no grouping, the
// settings' decimal separator, never in exponent form ("0,5", "1234,5", "3").
// Throws ConversionError for infinity or NaN.
QString A_Texto(double value, const NumberSettings& settings = NumberSettings::current());
// The number A_Texto's text of a value reads back as (A_Numero(A_Texto(value))),
// without making the text: the value rounded to 15 significant digits, and
// 0 for -0. Throws ConversionError for infinity or NaN.
double shownNumber(double value);

// The leading number of a text with "." as the only decimal separator; stops
// at the first other character; 0 when the text does not start with a number.
// Throws ConversionError only for a leading number beyond the range of a double.
double Valor_Inicial(const QString& text);
