#pragma once

#include "common/sale_line.h"

#include <QString>
#include <QStringList>

#include <optional>

// Labels printed by the shop's scale: EAN-13 codes that start with "2" and
// carry a product code and either the package's price or its weight, laid
// out as the "formato" of the "[balanca]" section of the settings file says:
// one letter for each of the 11 digits after the "2" (the 13th digit is the
// check digit): C a digit of the product code, T of the price in centavos,
// P of the weight in grams, 0 a digit to ignore. "CCCC0TTTTTT" reads
// 2 0123 4 005490 7 as product "0123", price R$ 54,90.
struct ScaleSettings {
    QString format;   // 11 upper-case letters; empty: scale labels off

    bool enabled() const { return !format.isEmpty(); }
};

struct ScaleSettingsRead {
    ScaleSettings settings;
    // What was wrong in the "[balanca]" section, in words for the shop; empty when all was well.
    QString problems;
};

// Why a format cannot be used, in words for the shop: not 11 letters of C,
// T, P and 0 (either case), no C, or not exactly one of T and P. Empty when
// it can, and for an empty format.
QString scaleFormatProblem(const QString& format);

// Reads the "[balanca]" section of the settings file in the folder. A missing
// file or an empty format: labels off, no problem; a format that cannot be
// used: labels off, and the problem.
ScaleSettingsRead Ler_Configuracao_Balanca(const QString& folder);

struct ScaleLabel {
    enum class Kind { Price, Weight };
    Kind kind = Kind::Price;
    QString productCode;   // the C digits, as printed (leading zeros kept)
    qint64 value = 0;      // a price label: centavos; a weight label: grams
};

struct ScaleLabelScan {
    enum class Result {
        NotALabel,         // not 13 digits starting with "2", or labels off: read the code as any other
        WrongCheckDigit,   // a label misread or mistyped: nothing is sold
        Label,
    };
    Result result = Result::NotALabel;
    ScaleLabel label;   // set for Label
};

// Reads a scanned code with the format (with an empty one, or one that
// scaleFormatProblem refuses, every code is NotALabel). A code that is a product's own code
// comes first: the counter looks it up before reading it as a label.
ScaleLabelScan readScaleLabel(const QString& code, const QString& format);

// The product codes to look a label's product up by, in order: the C digits
// as printed ("0123"), then without their leading zeros ("123") when that
// differs. All zeros: "0" second.
QStringList scaleProductCodes(const QString& productCode);

// The quantity the label sells, in thousandths of the product's unit: a
// weight label's grams (a kilogram being the unit); a price label's price
// divided by the unit sale price, to three decimals rounded half up and at
// least 0.001. None for a price label when the unit price, rounded to
// thousandths of a real, is not above zero.
std::optional<qint64> scaleLabelThousandths(const ScaleLabel& label, double unitPrice);

// The sale line of a label: the product's line with the label's quantity
// (nuevaLinea), whose sale total, for a price label, is the label's price to
// the cent whatever the quantity × unit price comes to, since the label is
// what the customer was told. Each label is a line of its own and must not
// be merged into another line (sumarCantidad would recompute its total).
// None as for scaleLabelThousandths. Throws ConversionError when the
// product's sale price is not a number.
std::optional<LineaVenta> scaleLabelLine(const ProductoLeido& product, const ScaleLabel& label, int numero);
