#pragma once

#include <QStringList>

// Rows a report list shows without holding their texts: how many there are,
// and a row's texts (its running number first), made only when a row comes
// into view or a window reads it.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    virtual int count() const = 0;
    virtual QStringList texts(int row) const = 0;
};
