#include "common/date_text.h"

#include <QRegularExpression>

namespace {

QString layoutFormat(DateLayout layout)
{
    switch (layout) {
    case DateLayout::DateTime: return QStringLiteral("dd/MM/yyyy h:mm:ss");
    case DateLayout::Date: return QStringLiteral("dd/MM/yyyy");
    case DateLayout::HourMinute: return QStringLiteral("hh:mm");
    case DateLayout::Time: return QStringLiteral("h:mm:ss");
    case DateLayout::Month: return QStringLiteral("MM");
    case DateLayout::Year: return QStringLiteral("yyyy");
    }
    return {};
}

// A local moment from its parts; nothing when the parts name no real moment.
std::optional<QDateTime> localMoment(int year, int month, int day, int hour, int minute, int second)
{
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    const QDateTime moment(date, time);
    if (!moment.isValid())
        return std::nullopt;
    return moment;
}

int capturedInt(const QRegularExpressionMatch& match, int group)
{
    return match.captured(group).toInt(); // an absent optional group reads 0
}

// Both layouts capture the date in groups 1 to 3, in their own order, and the time in groups 4 to 6.
std::optional<QDateTime> momentFromMatch(const QRegularExpressionMatch& match, int yearGroup, int monthGroup,
                                         int dayGroup)
{
    if (!match.hasMatch())
        return std::nullopt;
    return localMoment(capturedInt(match, yearGroup), capturedInt(match, monthGroup), capturedInt(match, dayGroup),
                       capturedInt(match, 4), capturedInt(match, 5), capturedInt(match, 6));
}

} // namespace

QString formatDateTime(const QDateTime& moment, DateLayout layout)
{
    return moment.toLocalTime().toString(layoutFormat(layout));
}

std::optional<QDateTime> parseDateTime(const QString& text)
{
    static const QRegularExpression layout(QStringLiteral(
        R"(^\s*([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})(?:\s+([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?\s*$)"));
    return momentFromMatch(layout.match(text), 3, 2, 1);
}

QString toStoredDateTime(const QDateTime& moment)
{
    return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

std::optional<QDateTime> fromStoredDateTime(const QString& text)
{
    static const QRegularExpression layout(QStringLiteral(
        R"(^\s*([0-9]{4})-([0-9]{2})-([0-9]{2})[T ]([0-9]{2}):([0-9]{2}):([0-9]{2})\s*$)"));
    return momentFromMatch(layout.match(text), 1, 2, 3);
}
