#include "common/twips.h"

#include <QWidget>
#include <cmath>

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / TWIPS_PER_PIXEL));
}

double pixelsToTwips(double pixels)
{
    return pixels * TWIPS_PER_PIXEL;
}

QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void placeTwips(QWidget* widget, double left, double top, double width, double height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

PanelPosition panelPosition(double screenWidthPixels, double screenHeightPixels,
                            double panelWidthTwips, double panelHeightTwips)
{
    return {(pixelsToTwips(screenWidthPixels) - panelWidthTwips) / 2.0,
            (pixelsToTwips(screenHeightPixels) - panelHeightTwips) / 5.0};
}

void placePanel(QWidget* panel, QSizeF screenPixels, double panelWidthTwips, double panelHeightTwips)
{
    const PanelPosition position =
        panelPosition(screenPixels.width(), screenPixels.height(), panelWidthTwips, panelHeightTwips);
    panel->move(twipsToPixels(position.left), twipsToPixels(position.top));
}
