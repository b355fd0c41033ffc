#include "common/scale_label.h"

#include "common/numbers.h"
#include "common/settings_file.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>

namespace {

constexpr int FORMAT_LETTERS = 11;
constexpr int LABEL_DIGITS = 13;

const QString FORMAT = QStringLiteral("balanca/formato");

bool checkDigitHolds(const QString& code)
{
    int sum = 0;
    for (int i = 0; i < LABEL_DIGITS - 1; ++i)
        sum += code[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10 == code[LABEL_DIGITS - 1].digitValue();
}

}   // namespace

QString scaleFormatProblem(const QString& format)
{
    static const QRegularExpression letters(QStringLiteral("^[CTP0]{%1}$").arg(FORMAT_LETTERS),
                                            QRegularExpression::CaseInsensitiveOption);
    const QString upper = format.toUpper();
    if (format.isEmpty() ||
        (letters.match(format).hasMatch() && upper.contains(u'C') && upper.contains(u'T') != upper.contains(u'P')))
        return {};
    return QStringLiteral("O valor \"%1\" de \"formato\" em [balanca] não é válido: use 11 letras entre C (código do "
                          "produto), T (preço em centavos), P (peso em gramas) e 0 (dígito ignorado), com ao menos um "
                          "C e só T ou só P, como CCCC0TTTTTT. As etiquetas de balança ficam desligadas até que ele "
                          "seja corrigido.")
        .arg(format);
}

ScaleSettingsRead Ler_Configuracao_Balanca(const QString& folder)
{
    const QString path = settingsPath(folder);
    ScaleSettingsRead read;
    if (!QFileInfo::exists(path))
        return read;
    const QString format = SettingsReader(path).text(FORMAT);
    if (const QString problem = scaleFormatProblem(format); !problem.isEmpty())
        read.problems = settingsProblems(path, {problem});
    else
        read.settings.format = format.toUpper();
    return read;
}

ScaleLabelScan readScaleLabel(const QString& code, const QString& format)
{
    static const QRegularExpression labelCode(QStringLiteral("^2\\d{%1}$").arg(LABEL_DIGITS - 1));
    ScaleLabelScan scan;
    if (format.isEmpty() || !scaleFormatProblem(format).isEmpty() || !labelCode.match(code).hasMatch())
        return scan;
    if (!checkDigitHolds(code)) {
        scan.result = ScaleLabelScan::Result::WrongCheckDigit;
        return scan;
    }
    scan.result = ScaleLabelScan::Result::Label;
    QString amount;
    for (int i = 0; i < FORMAT_LETTERS; ++i) {
        const QChar letter = format[i].toUpper();
        const QChar digit = code[i + 1];
        if (letter == u'C')
            scan.label.productCode += digit;
        else if (letter == u'T' || letter == u'P')
            amount += digit;
        if (letter == u'P')
            scan.label.kind = ScaleLabel::Kind::Weight;
    }
    scan.label.value = amount.toLongLong();
    return scan;
}

QStringList scaleProductCodes(const QString& productCode)
{
    QString trimmed = productCode;
    while (trimmed.size() > 1 && trimmed.startsWith(u'0'))
        trimmed.remove(0, 1);
    if (trimmed == productCode)
        return {productCode};
    return {productCode, trimmed};
}

std::optional<qint64> scaleLabelThousandths(const ScaleLabel& label, double unitPrice)
{
    if (label.kind == ScaleLabel::Kind::Weight)
        return label.value;
    const qint64 unitMilli = std::llround(unitPrice * 1000);
    if (unitMilli <= 0)
        return std::nullopt;
    // label centavos × 10 = label thousandths of a real; × 1000 more for the quantity's thousandths.
    const qint64 labelMilli = label.value * 10;
    const qint64 thousandths = (labelMilli * 1000 * 2 + unitMilli) / (2 * unitMilli);
    return std::max<qint64>(thousandths, 1);
}

std::optional<LineaVenta> scaleLabelLine(const ProductoLeido& product, const ScaleLabel& label, int numero)
{
    const std::optional<qint64> thousandths = scaleLabelThousandths(label, A_Numero(product.precioVenta));
    if (!thousandths)
        return std::nullopt;
    LineaVenta line = nuevaLinea(product, A_Texto(double(*thousandths) / 1000), numero);
    if (label.kind == ScaleLabel::Kind::Price)
        line.ventaTotal = A_Texto(double(label.value) / 100);
    return line;
}
