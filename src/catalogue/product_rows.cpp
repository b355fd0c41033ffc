#include "catalogue/product_rows.h"

#include "store/collation.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <algorithm>

namespace {

// The rows of a few screens are kept; a list scrolled further reads again.
constexpr qsizetype ROWS_KEPT = 20000;
// A read starts a little before the row asked for, for a list scrolled upwards.
constexpr int ROWS_BEFORE = 8;
// The row ids of a listing in steps: the first many screens at once, then
// steps twice as large each time, up to a size that takes a few hundredths
// of a second on a large catalogue (each step also lays the list out again).
constexpr int FIRST_STEP = 2000;
constexpr int LARGEST_STEP = 100000;

// The products with the given row ids (at most PRODUCTOS_POR_LECTURA), each visited once.
void readProducts(Connection& connection, const std::vector<qint64>& ids,
                  const std::function<void(qint64 rowId, const RecordSet& product)>& visit)
{
    QVariantList parameters;
    parameters.reserve(Query::PRODUCTOS_POR_LECTURA);
    for (qint64 id : ids)
        parameters.append(id);
    while (parameters.size() < Query::PRODUCTOS_POR_LECTURA)
        parameters.append(qint64(0));
    RecordSet products(connection, Query::ProductosConIds, parameters, RecordSet::Mode::ReadOnlyList);
    for (; !products.eof(); products.moveNext())
        visit(products.rowId(), products);
}

}   // namespace

ProductRows::ProductRows(QString folder, std::vector<qint64> ids, Texts texts)
    : folder_(std::move(folder)), ids_(std::move(ids)), texts_(std::move(texts))
{
    if (!ids_.empty())
        readAround(0);
}

ProductRows::ProductRows(QString folder, Connection& connection, const SteppedListing& listing, Texts texts)
    : folder_(std::move(folder)), listing_(&listing), step_(nextRowIds(connection, listing, nullptr, FIRST_STEP)),
      texts_(std::move(texts))
{
    ids_ = std::move(step_.ids);
    step_.ids.clear();
    if (!ids_.empty())
        readAround(0);
}

int ProductRows::readMore()
{
    if (complete())
        return 0;
    Connection connection(folder_);
    const int largest = listing_->largestStep > 0 ? listing_->largestStep : LARGEST_STEP;
    step_ = nextRowIds(connection, *listing_, &step_, std::clamp(count(), std::min(FIRST_STEP, largest), largest));
    if (step_.whole) {
        ids_ = std::move(step_.ids);
        step_.ids.clear();
        return -1;
    }
    const int added = int(step_.ids.size());
    ids_.insert(ids_.end(), step_.ids.begin(), step_.ids.end());
    step_.ids.clear();
    return added;
}

QStringList ProductRows::texts(int row) const
{
    if (row < 0 || row >= count())
        return {};
    auto known = read_.constFind(ids_[size_t(row)]);
    if (known == read_.constEnd()) {
        readAround(row);
        known = read_.constFind(ids_[size_t(row)]);
    }
    QStringList texts{QString::number(row + 1)};
    if (known != read_.constEnd())
        texts.append(*known);
    return texts;
}

// The row and the ones after it not read yet, in one action. A read that
// fails leaves the rows unread (shown empty), to be read again when shown.
void ProductRows::readAround(int row) const
{
    if (read_.size() >= ROWS_KEPT)
        read_.clear();
    std::vector<qint64> wanted;
    for (int at = std::max(0, row - ROWS_BEFORE); at < count() && wanted.size() < size_t(Query::PRODUCTOS_POR_LECTURA); ++at) {
        const qint64 id = ids_[size_t(at)];
        if (!read_.contains(id))
            wanted.push_back(id);
    }
    try {
        Connection connection(folder_);
        for (qint64 id : wanted)
            read_.insert(id, {});
        readProducts(connection, wanted, [this](qint64 id, const RecordSet& product) { read_[id] = texts_(product); });
    } catch (const std::exception&) {
        for (qint64 id : wanted)
            read_.remove(id);
    }
}

std::optional<qsizetype> ProductRows::placeOf(qint64 rowId) const
{
    const auto found = std::find(ids_.cbegin(), ids_.cend(), rowId);
    if (found == ids_.cend())
        return std::nullopt;
    return found - ids_.cbegin();
}

void ProductRows::remove(qint64 rowId)
{
    if (const auto place = placeOf(rowId))
        ids_.erase(ids_.begin() + *place);
    read_.remove(rowId);
}

void ProductRows::insert(qsizetype place, qint64 rowId)
{
    ids_.insert(ids_.begin() + std::clamp<qsizetype>(place, 0, qsizetype(ids_.size())), rowId);
    read_.remove(rowId);
}

std::optional<qsizetype> ProductRows::placeByName(Connection& connection, const QString& name, qint64 rowId) const
{
    const std::optional<qsizetype> own = placeOf(rowId);
    // The listed products other than the saved one, by position.
    const auto idAt = [&](qsizetype at) { return ids_[size_t(own && at >= *own ? at + 1 : at)]; };
    qsizetype low = 0;
    qsizetype high = qsizetype(ids_.size()) - (own ? 1 : 0);
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        const qint64 id = idAt(middle);
        const std::optional<QString> listed = productName(connection, id);
        const int order = listed ? comparePortuguese(*listed, name) : -1;
        if (order < 0 || (order == 0 && id < rowId))
            low = middle + 1;
        else
            high = middle;
    }
    if (low == high && !complete() && low == qsizetype(ids_.size()) - (own ? 1 : 0))
        return std::nullopt;
    return low;
}
