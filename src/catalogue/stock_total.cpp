#include "catalogue/stock_total.h"

#include "store/connection.h"

#include <limits>

StockTotal::StockTotal(QString folder, const QueryText& query, QVariantList parameters)
    : folder_(std::move(folder)), query_(&query), parameters_(std::move(parameters))
{
}

bool StockTotal::step(Connection& connection)
{
    const std::optional<DataMark> before = connection.dataMark();
    if (!before) {
        sum_ = {};
        addStockValue(connection, *query_, parameters_, sum_, std::numeric_limits<qint64>::max());
        return true;
    }
    if (before != mark_)
        sum_ = {};
    try {
        addStockValue(connection, *query_, parameters_, sum_, STEP);
    } catch (...) {
        sum_ = {};
        mark_.reset();
        throw;
    }
    mark_ = connection.dataMark();
    // Written while this step read: it may have read part of the change.
    if (mark_ != before)
        sum_ = {};
    return sum_.complete;
}

bool StockTotal::step()
{
    Connection connection(folder_);
    return step(connection);
}

std::optional<double> StockTotal::value() const
{
    return sum_.complete ? std::optional(sum_.sum) : std::nullopt;
}
