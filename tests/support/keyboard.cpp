#include "support/keyboard.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

void typeKeys(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        // Key codes of Latin-1 characters are their capital letters' codes.
        const auto key = c.unicode() <= 0xFF ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

bool waitForKeyboard(QWidget* window)
{
    return QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window->windowHandle(); });
}
