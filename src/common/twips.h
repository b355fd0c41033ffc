#pragma once

#include <QRect>
#include <QSizeF>

class QWidget;

inline constexpr double TWIPS_PER_PIXEL = 15.0;

int twipsToPixels(double twips);
double pixelsToTwips(double pixels);
QRect twipsRect(double left, double top, double width, double height);
// Sets a widget's geometry from twips relative to its parent.
void placeTwips(QWidget* widget, double left, double top, double width, double height);

struct PanelPosition {
    double left = 0;   // twips
    double top = 0;    // twips
};

// Where a main panel sits on a screen of the given size in pixels:
// Left = (width × 15 − panel width) / 2, Top = (height × 15 − panel height) / 5.
PanelPosition panelPosition(double screenWidthPixels, double screenHeightPixels,
                            double panelWidthTwips, double panelHeightTwips);
// Moves a main panel to that place on a screen of the given size in pixels.
void placePanel(QWidget* panel, QSizeF screenPixels, double panelWidthTwips, double panelHeightTwips);
