#include "common/money_format.h"

#include "common/numbers.h"

namespace {

bool isPlaceholder(QChar c)
{
    return c == u'#' || c == u'0';
}

// A pattern split into its parts: prefix, integer placeholders, decimal placeholders, suffix.
struct Pattern {
    QString prefix;
    QString suffix;
    qsizetype minIntegerDigits = 0; // placeholders from the first integer '0' on
    bool grouping = false;
    bool hasDecimalPoint = false;
    qsizetype maxDecimals = 0;
    qsizetype minDecimals = 0; // up to the last decimal '0'
};

Pattern parsePattern(const QString& text)
{
    Pattern pattern;
    qsizetype i = 0;
    while (i < text.size() && !isPlaceholder(text[i]))
        ++i;
    pattern.prefix = text.left(i);

    qsizetype integerPlaceholders = 0;
    qsizetype firstZero = -1;
    for (; i < text.size() && (isPlaceholder(text[i]) || text[i] == u','); ++i) {
        if (text[i] == u',') {
            pattern.grouping = true;
            continue;
        }
        if (text[i] == u'0' && firstZero < 0)
            firstZero = integerPlaceholders;
        ++integerPlaceholders;
    }
    if (firstZero >= 0)
        pattern.minIntegerDigits = integerPlaceholders - firstZero;

    if (i < text.size() && text[i] == u'.') {
        pattern.hasDecimalPoint = true;
        for (++i; i < text.size() && isPlaceholder(text[i]); ++i) {
            ++pattern.maxDecimals;
            if (text[i] == u'0')
                pattern.minDecimals = pattern.maxDecimals;
        }
    }
    pattern.suffix = text.mid(i);
    return pattern;
}

QString groupThousands(const QString& digits, QChar separator)
{
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits[i];
    }
    return grouped;
}

QString integerText(const DecimalDigits& number, const Pattern& pattern, QChar groupSeparator)
{
    QString digits = number.integerPart().rightJustified(pattern.minIntegerDigits, u'0');
    return pattern.grouping ? groupThousands(digits, groupSeparator) : digits;
}

QString fractionText(const DecimalDigits& number, const Pattern& pattern)
{
    QString digits = number.fractionPart().leftJustified(pattern.maxDecimals, u'0');
    while (digits.size() > pattern.minDecimals && digits.endsWith(u'0'))
        digits.chop(1);
    return digits;
}

} // namespace

QString Formato(double value, const QString& patternText, const NumberSettings& settings)
{
    const Pattern pattern = parsePattern(patternText);
    const DecimalDigits number = decimalDigits(value).roundedTo(int(pattern.maxDecimals));

    QString text = number.negative ? QStringLiteral("-") : QString();
    text += pattern.prefix + integerText(number, pattern, settings.group);
    if (pattern.hasDecimalPoint)
        text += settings.decimal + fractionText(number, pattern);
    return text + pattern.suffix;
}
