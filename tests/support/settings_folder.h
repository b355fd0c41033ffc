#pragma once

#include <QByteArray>
#include <QTemporaryDir>

// A data folder of its own for a test, holding a settings file with the given
// text (none when the text is null).
class SettingsFolder {
public:
    explicit SettingsFolder(const QByteArray& text = {});

    QString path() const { return folder_.path(); }
    QString filePath() const;

private:
    QTemporaryDir folder_;
};
