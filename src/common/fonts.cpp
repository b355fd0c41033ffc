#include "common/fonts.h"

#include <QFontInfo>

namespace {

const QString ARIAL_METRICS_FAMILY = QStringLiteral("Liberation Sans");

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
