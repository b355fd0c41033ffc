#pragma once

#include <QString>

class QWidget;

// Types each character as one key press, as a keyboard would, accented
// letters included (which QTest::keyClicks cannot type).
void typeKeys(QWidget* widget, const QString& text);
