#pragma once

#include "common/report_rows.h"

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
// a list by name, the names' index alone), and a product's fields are read
// when its row comes into view or a window reads it, a few dozen rows around
// it at a time, each read an action of its own. A product another program
// changed after the list was filled shows as it is when its row is read; one
// it removed shows as an empty row (its running number alone), so rows never
// shift under the cashier.
class ProductRows : public ReportRows {
public:
    // A product's texts as its row shows them, after the running number.
    using Texts = std::function<QStringList(const RecordSet& product)>;

    // Reads the first rows at once, in the action that fills the list.
    ProductRows(QString folder, std::vector<qint64> ids, Texts texts);

    int count() const override { return static_cast<int>(ids_.size()); }
    QStringList texts(int row) const override;

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
    // connection.
    qsizetype placeByName(Connection& connection, const QString& name, qint64 rowId) const;

private:
    void readAround(int row) const;

    QString folder_;
    std::vector<qint64> ids_;
    Texts texts_;
    // The texts of the rows read so far, by row id; an empty list for a
    // product no longer in the catalogue. Bounded: dropped whole when full,
    // to be read again as rows are shown.
    mutable QHash<qint64, QStringList> read_;
};
