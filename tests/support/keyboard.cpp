#include "support/keyboard.h"

#include <QTest>

void typeKeys(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        // Key codes of Latin-1 characters are their capital letters' codes.
        const auto key = c.unicode() <= 0xFF ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}
