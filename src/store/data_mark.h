#pragma once

#include <QtGlobal>

// A mark of the data as a connection sees them: two equal marks taken by
// the program mean that nothing was written in between, by the program or by
// any other program.
struct DataMark {
    quint64 connection = 0;   // which opening of the connection
    qint64 othersVersion = 0;   // bumped by every commit of another connection
    qint64 ownChanges = 0;      // rows this connection changed since it opened
    friend bool operator==(const DataMark&, const DataMark&) = default;
};
