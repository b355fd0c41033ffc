#pragma once

#include "common/report_rows.h"
#include "store/operations.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class Connection;
class RecordSet;

// The rows of a catalogue list, read as they are shown: the action that
// fills the list reads the row ids of its products, in the list's order (for
// a list by name or code, that field's index alone, and for a large
// catalogue only the first rows: the others in later steps, each going on
// after the last row read, in the data as they are then), and a product's fields are read
// when its row comes into view or a window reads it, a few dozen rows around
// it at a time, each read an action of its own. A product another program
// changed after the list was filled shows as it is when its row is read; one
// it removed shows as an empty row (its running number alone), so rows never
// shift under the cashier.
class ProductRows : public ReportRows {
public:
    // A product's texts as its row shows them, after the running number.
    using Texts = std::function<QStringList(const RecordSet& product)>;

    // The rows of the given products; the first are read at once, in the
    // action that fills the list.
    ProductRows(QString folder, std::vector<qint64> ids, Texts texts);
    // The first step of a listing read in steps, on the filling action's connection.
    ProductRows(QString folder, Connection& connection, const SteppedListing& listing, Texts texts);

    int count() const override { return static_cast<int>(ids_.size()); }
    QStringList texts(int row) const override;
    bool complete() const override { return !listing_ || !step_.lastKey; }
    int readMore() override;

    const std::vector<qint64>& ids() const { return ids_; }
    // Where a product's row is; nothing when the list does not hold it.
    std::optional<qsizetype> placeOf(qint64 rowId) const;

    // The program's own changes, when nothing else was written since the
    // list was read: a product leaves the list, or takes a place in it (its
    // fields are read again when it is shown).
    void remove(qint64 rowId);
    void insert(qsizetype place, qint64 rowId);

    // Where a product named so goes in a list by name (the names' order, then
    // the row id), other than its own row: found among the listed products by
    // reading the names of a few (a binary search), on the writing action's
    // connection. Nothing when it comes after the rows read so far, where a
    // later step finds it.
    std::optional<qsizetype> placeByName(Connection& connection, const QString& name, qint64 rowId) const;

private:
    void readAround(int row) const;

    QString folder_;
    const SteppedListing* listing_ = nullptr;
    ListingStep step_;   // the last step read: where the next goes on
    std::vector<qint64> ids_;
    Texts texts_;
    // The texts of the rows read so far, by row id; an empty list for a
    // product no longer in the catalogue. Bounded: dropped whole when full,
    // to be read again as rows are shown.
    mutable QHash<qint64, QStringList> read_;
};
