#include "support/settings_folder.h"

#include "common/settings_file.h"

#include <QFile>
#include <QtTest>

SettingsFolder::SettingsFolder(const QByteArray& text)
{
    if (text.isNull())
        return;
    QFile file(filePath());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        QTest::qFail("the settings file could not be written", __FILE__, __LINE__);
}

QString SettingsFolder::filePath() const
{
    return settingsPath(folder_.path());
}
