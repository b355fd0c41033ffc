#pragma once

#include "store/data_mark.h"
#include "store/operations.h"

#include <QString>
#include <QVariantList>

#include <optional>

class Connection;
struct QueryText;

// The stock value at cost of a listing's products, read in steps in row id
// order so that a large catalogue's listing shows at once: the first step in
// the action that fills the list, the others while the window is idle, each
// an action of its own. A step that finds the data changed since the step
// before (another program wrote) starts the sum again from the first
// product, so the total shown is the exact sum of the products as they were
// at one moment. Where the data carry no mark (a shop's server), the whole
// sum is read in one step.
class StockTotal {
public:
    // Up to this many products are read in a step.
    static constexpr qint64 STEP = 10000;

    StockTotal(QString folder, const QueryText& query, QVariantList parameters);

    // Reads the next step on the action's connection; true once complete. A
    // quantity or price left empty is the ConversionError reading its row gives.
    bool step(Connection& connection);
    // The same, as an action of its own.
    bool step();
    // The sum, once complete.
    std::optional<double> value() const;

private:
    QString folder_;
    const QueryText* query_;
    QVariantList parameters_;
    StockValueSum sum_;
    std::optional<DataMark> mark_;   // the data as the last step left them
};
