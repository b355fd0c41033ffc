#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

#include <optional>

// The settings file of an installation, beside bd1: how receipts print,
// which database the till works on, the shop's Pix key and its scale's labels.
inline const QString SETTINGS_FILE = QStringLiteral("tenduca.ini");

QString settingsPath(const QString& folder);

// Writes the file with every default value and a note on each, when the
// folder exists and the file does not. False when it could not be written.
bool writeDefaultSettings(const QString& folder);

// The problems found in the file at the path, under a line naming the file;
// empty when there are none.
QString settingsProblems(const QString& path, const QStringList& problems);

// Reads values of the settings file; a value that is not valid is noted in
// words for the shop, with the value used instead.
class SettingsReader {
public:
    explicit SettingsReader(const QString& path);

    QSettings::Status status() const { return file_.status(); }
    bool contains(const QString& key) const { return file_.contains(key); }
    // The value as written (a value holding commas is still one text).
    QString text(const QString& key) const;

    template <typename T, typename Parse>
    T read(const QString& key, T fallback, const QString& allowed, const QString& fallbackText, Parse parse)
    {
        if (!file_.contains(key))
            return fallback;
        const QString value = text(key);
        if (const std::optional<T> parsed = parse(value.toLower()))
            return *parsed;
        problems_ << QStringLiteral("O valor \"%1\" de \"%2\" não é válido (use %3); será usado %4.")
                         .arg(value, key.section(u'/', 1), allowed, fallbackText);
        return fallback;
    }

    QStringList& problems() { return problems_; }

private:
    QSettings file_;
    QStringList problems_;
};
