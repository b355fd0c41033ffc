#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

#include "store/cell_kind.h"

#include <array>
#include <functional>
#include <optional>
#include <vector>

class Connection;
class Statement;
struct QueryText;

// The store's named operations: what the windows, the sale code and the
// catalogue file ask of the data beside walking record sets over the query
// texts. Those that write run inside the caller's unit of work
// (runInTransaction).

// The sale window's load: an older Temporal without the unit sale price of a
// line gets its ValorUnitario column (a double); a table that has it, or a
// shop's server (made with the current layout), is left alone. Returns true
// when the column was added.
bool Actualizar_Temporal(Connection& conexion);

// The day close's archive: every open line of this till goes into
// Recaudacion, in the order the lines were recorded and without its unit
// price, and the open lines are emptied, in two statements.
void archiveOpenLines(Connection& connection);

// A product's values, as the catalogue file carries them and a new bd1 is given them.
struct ProductValues {
    QString code;
    QString name;
    double quantity = 0;
    double costPrice = 0;
    double salePrice = 0;
    int criticalStock = 0;
    QString category;
};

// Walks the whole catalogue ordered by code (products with one code in the
// order they were added) in one statement, handing each product to visit as
// it is read; a field left empty reads as an empty text or 0.
void walkProductsInCodeOrder(Connection& connection, const std::function<void(const ProductValues&)>& visit);

// Walks every stored product's row id, code and name (UTF-8, valid until the
// next product) in row id order, in one statement: what an import checks its
// rows against.
void walkProductCodes(Connection& connection,
                      const std::function<void(qint64 rowId, QByteArrayView code, QByteArrayView name)>& visit);

// A product an import writes: a stored one (by row id) gets the new values,
// and its name only when renamed, so that the indexes of codes and names are
// not rewritten for every product; one without a row id is added.
struct ProductWrite {
    ProductValues values;
    qint64 rowId = 0;
    bool renamed = false;
};
void writeProducts(Connection& connection, const QList<ProductWrite>& products);

// The row ids of a query's rows, in its order: the query selects the row id
// alone (a listing that reads its rows' fields only when they are shown).
std::vector<qint64> rowIdsOf(Connection& connection, const QueryText& query, const QVariantList& parameters = {});

// A step of a listing read in order: the row ids of up to `count` rows after
// the last row of the step before (its key, the order's first field, and its
// row id), or of the first rows when there was none. `first` selects the row
// id and the key and binds the count; `after` binds the key, the row id and
// the count. A key left empty or null cannot be gone on from (it would bind
// as no value): that step reads the whole listing again (`all`, which
// selects the row id alone) and ends it.
struct ListingStep {
    std::vector<qint64> ids;
    bool whole = false;               // the ids are the whole listing, not a step
    std::optional<QString> lastKey;   // nothing once the listing is complete
    qint64 lastRowId = 0;
};
struct SteppedListing {
    const QueryText& first;
    const QueryText& after;
    const QueryText& all;
    // The most rows a step reads (0: as many as the reader likes): fewer for
    // a listing that looks up each row it reads.
    int largestStep = 0;
};
ListingStep nextRowIds(Connection& connection, const SteppedListing& listing, const ListingStep* before, int count);

// The stock value at cost of the products a query selects (their row id,
// quantity, cost and sale price, in row id order, between two row ids bound
// after the query's own parameters), summed so far: each product's quantity
// × cost price as its list row writes it, read back and added in row id
// order, so that a sum read in steps is the sum read at once.
struct StockValueSum {
    double sum = 0;
    qint64 lastRowId = 0;   // where the next step goes on
    bool complete = false;
};
// Adds the products of the next `count` row ids (so a step reads at most
// that many rows, however few the query selects). A quantity or price left
// empty is the ConversionError reading that row for its list gives.
void addStockValue(Connection& connection, const QueryText& query, const QVariantList& parameters,
                   StockValueSum& sum, qint64 count);

// A product's name by row id; nothing when it is gone.
std::optional<QString> productName(Connection& connection, qint64 rowId);

// The code of the first product, in name order, that `matches` accepts among
// those whose names equal the given one letter case and accents aside; on
// bd1 only those are read, through the names' index. Nothing when none is
// (or on a shop's server, whose order may place them apart).
std::optional<QString> firstCodeAmongNamed(Connection& connection, const QString& name,
                                           const std::function<bool(const QString& storedName)>& matches);

// A product of a listing as a walk reads it, valid until the walk goes on:
// texts as a record set reads them, numbers as a record set reads them (a
// field left empty or holding no number is a ConversionError naming it).
class ListedProduct {
public:
    enum Field { CODE, NAME, QUANTITY, COST, PRICE, CATEGORY, FIELD_COUNT };
    // A field as the engine holds it: a number, or the bytes of a text.
    struct Cell {
        CellKind kind = CellKind::Null;
        double number = 0;
        QByteArrayView bytes;
    };

    explicit ListedProduct(const std::array<Cell, FIELD_COUNT>& cells) : cells_(cells) {}

    QString code() const;
    QString name() const;
    QString category() const;
    double quantity() const;
    double costPrice() const;
    double salePrice() const;

private:
    QString text(Field field) const;

    const std::array<Cell, FIELD_COUNT>& cells_;
};
// A share of a listing as walkProductShares reads it: its products in the
// listing's order, held compactly (about 100 bytes a product, their texts in
// one buffer). It needs no connection and may go to another thread.
class ProductShare {
public:
    explicit ProductShare(size_t count = 0);

    size_t size() const { return rows_.size(); }
    void forEach(const std::function<void(const ListedProduct&)>& visit) const;

    using Cells = std::array<ListedProduct::Cell, ListedProduct::FIELD_COUNT>;
    void append(const Cells& cells);
    // For a share filled out of order: `count` empty places, each then kept once.
    void makePlaces(size_t count);
    void keep(size_t place, const Cells& cells);

private:
    union HeldCell {
        double number = 0;
        struct {
            quint32 start;   // in bytes_
            quint32 size;
        } text;
    };
    struct HeldRow {
        std::array<HeldCell, ListedProduct::FIELD_COUNT> cells;
        std::array<CellKind, ListedProduct::FIELD_COUNT> kinds{};
    };

    std::vector<HeldRow> rows_;
    QByteArray bytes_;
};
// Walks a listing of products (`rows`, a query selecting the catalogue's
// fields by name) to its end in the query's order, handing it to `take` in
// shares, in order; nothing else of it is kept. Given `ids` (the same
// listing's row ids alone, read from an index alone) on an engine that reads
// faster in a table's own order (bd1), the products are read in a few passes
// over the table, each keeping one share of up to `productsPerPass`
// products, all as one snapshot; otherwise in one statement, in shares of
// 5 000. A pass over a million products' table takes about a second; reading
// them out of order, eight. Five passes of 200 000 keep about 22 MB each.
inline constexpr size_t PRODUCTS_PER_PASS = 200000;
void walkProductShares(Connection& connection, const QueryText* ids, const QueryText& rows,
                       const QVariantList& parameters, const std::function<void(ProductShare&& share)>& take,
                       size_t productsPerPass = PRODUCTS_PER_PASS);

// The names of the catalogue's products in row id order (none left empty),
// compact: what a picker searches again at each typed letter while nothing
// is written, instead of asking the engine to walk every name.
class ProductNames {
public:
    qsizetype size() const { return qsizetype(starts_.size()); }
    // A name as its UTF-8 bytes, valid while the names are kept.
    QByteArrayView utf8(qsizetype index) const;
    void append(QByteArrayView name);
    // The names holding the text, letter case and accents ignored as the
    // engine's like ignores them ("%" and "_" stand for themselves), by position.
    std::vector<qsizetype> containing(const QString& text) const;

private:
    std::vector<qsizetype> starts_;
    QByteArray bytes_;
    // Each name folded as the like folds it, in UTF-8, followed by a byte no
    // UTF-8 text holds, so that no match runs over two names.
    std::vector<qsizetype> foldedStarts_;
    QByteArray folded_;
};
// Every name the name search can find, in its order.
ProductNames productNames(Connection& connection);
