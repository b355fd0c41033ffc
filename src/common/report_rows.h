#pragma once

#include <QStringList>

// Rows a report list shows without holding their texts: how many there are,
// and a row's texts (its running number first), made only when a row comes
// into view or a window reads it. Rows may be read in steps: the first ones
// at once, the others by readMore(), each step an action of its own.
class ReportRows {
public:
    virtual ~ReportRows() = default;
    // The rows read so far.
    virtual int count() const = 0;
    virtual QStringList texts(int row) const = 0;
    // False while rows remain to be read.
    virtual bool complete() const { return true; }
    // Reads the next step; returns how many rows it added after the others,
    // or -1 when the rows were read again whole (they may all have moved).
    virtual int readMore() { return 0; }
};
