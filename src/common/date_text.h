#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// The layouts in which the program writes dates and times.
enum class DateLayout {
    DateTime,      // "dd/mm/yyyy h:mm:ss" (hour without a leading zero)
    Date,          // "dd/mm/yyyy"
    HourMinute,    // "hh:mm"
    Time,          // "h:mm:ss"
    Month,         // "mm"
    Year,          // "yyyy"
};

QString formatDateTime(const QDateTime& moment, DateLayout layout = DateLayout::DateTime);

// Reads a text in the program's date-time layout ("dd/mm/yyyy h:mm:ss"; one or
// two digits for day, month and hour; a date alone is midnight). Nothing for
// a text that is not a valid moment.
std::optional<QDateTime> parseDateTime(const QString& text);

// The store keeps moments as "yyyy-mm-dd hh:mm:ss" so that text order is time order.
QString toStoredDateTime(const QDateTime& moment);
std::optional<QDateTime> fromStoredDateTime(const QString& text);
