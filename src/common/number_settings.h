#pragma once

#include <QChar>

class QLocale;

// Decimal and group separators used wherever a number passes through a text.
struct NumberSettings {
    QChar decimal = u',';
    QChar group = u'.';

    static NumberSettings brazilian() { return {u',', u'.'}; }
    // Taken from the system locale; an unset "C"/POSIX locale counts as Brazilian.
    static NumberSettings fromSystemLocale();
    // The same rule for any given locale.
    static NumberSettings fromLocale(const QLocale& locale);

    // The settings of this run of the program. main() sets them from the
    // system locale; tests set them explicitly.
    static const NumberSettings& current();
    static void setCurrent(const NumberSettings& settings);

    bool operator==(const NumberSettings&) const = default;
};
