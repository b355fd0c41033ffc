#include "common/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace {

const QString ARIAL_METRICS_FAMILY = QStringLiteral("Liberation Sans");
constexpr int SMALLEST_POINTS = 6;

}   // namespace

// Asked of the font system itself: a family name it merely substitutes
// would not give the widths.
QString screenFontFamily()
{
    static const QString family = [] {
        QFont wanted(ARIAL_METRICS_FAMILY);
        return QFontInfo(wanted).family() == ARIAL_METRICS_FAMILY ? ARIAL_METRICS_FAMILY : QFont().family();
    }();
    return family;
}

QFont inScreenFamily(QFont font)
{
    font.setFamily(screenFontFamily());
    return font;
}

QFont boldFont(int points)
{
    QFont font = inScreenFamily(QFont());
    font.setPointSize(points);
    font.setBold(true);
    return font;
}

QFont fontFitting(QFont font, const QString& text, int width)
{
    while (font.pointSize() > SMALLEST_POINTS && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPointSize(font.pointSize() - 1);
    return font;
}
