#include "common/fonts.h"

QFont boldFont(int points)
{
    QFont font;
    font.setPointSize(points);
    font.setBold(true);
    return font;
}
