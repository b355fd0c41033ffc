#include "common/number_settings.h"

#include <QLocale>

namespace {

NumberSettings& runSettings()
{
    static NumberSettings settings = NumberSettings::brazilian();
    return settings;
}

} // namespace

NumberSettings NumberSettings::fromSystemLocale()
{
    return fromLocale(QLocale::system());
}

NumberSettings NumberSettings::fromLocale(const QLocale& locale)
{
    const QString decimal = locale.decimalPoint();
    if (locale.language() == QLocale::C || decimal.size() != 1)
        return brazilian();
    const QString group = locale.groupSeparator();
    // A locale without a usable group separator still needs one that cannot
    // be mistaken for its decimal separator.
    if (group.size() != 1 || group == decimal)
        return {decimal.at(0), decimal.at(0) == u',' ? QChar(u'.') : QChar(u',')};
    return {decimal.at(0), group.at(0)};
}

const NumberSettings& NumberSettings::current()
{
    return runSettings();
}

void NumberSettings::setCurrent(const NumberSettings& settings)
{
    runSettings() = settings;
}
