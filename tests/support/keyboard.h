#pragma once

#include <QString>

class QWidget;

// Types each character as one key press, as a keyboard would, accented
// letters included (which QTest::keyClicks cannot type).
void typeKeys(QWidget* widget, const QString& text);

// Waits until the window has the keyboard. A dialog above the window that
// opened it counts as active as soon as that one is, before it has the
// keyboard itself, so waiting for it to be active is not enough.
bool waitForKeyboard(QWidget* window);
