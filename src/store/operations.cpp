#include "store/operations.h"

#include "common/numbers.h"
#include "store/collation.h"
#include "store/connection.h"
#include "store/dialect.h"
#include "store/fields.h"
#include "store/engine.h"
#include "store/queries.h"
#include "store/schema_upgrade.h"
#include "store/statement.h"
#include "store/transaction.h"

#include <algorithm>
#include <numeric>

bool Actualizar_Temporal(Connection& conexion)
{
    if (conexion.sharedByTills())
        return false;
    return addUnitPriceField(conexion.engine());
}

void archiveOpenLines(Connection& connection)
{
    for (const char* sql : {Query::ArchivarTemporal, Query::VaciarTemporal}) {
        Statement step(connection, sql);
        step.bind(1, static_cast<qint64>(connection.engine().till()));
        step.run();
    }
}

void walkProductsInCodeOrder(Connection& connection, const std::function<void(const ProductValues&)>& visit)
{
    Statement select(connection, "SELECT CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, "
                                 "StockCritico, Categoria FROM Productos ORDER BY CodigoProducto, rowid");
    while (select.next())
        visit({select.text(0), select.text(1), select.number(2), select.number(3), select.number(4),
               static_cast<int>(select.whole(5)), select.text(6)});
}

void walkProductCodes(Connection& connection,
                      const std::function<void(qint64 rowId, QByteArrayView code, QByteArrayView name)>& visit)
{
    Statement select(connection, "SELECT rowid, CodigoProducto, NombreProducto FROM Productos ORDER BY rowid");
    while (select.next())
        visit(select.whole(0), select.bytes(1), select.bytes(2));
}

namespace {

void bindValues(Statement& statement, const ProductValues& product)
{
    statement.bind(1, product.quantity);
    statement.bind(2, product.costPrice);
    statement.bind(3, product.salePrice);
    statement.bind(4, qint64(product.criticalStock));
    statement.bind(5, product.category);
}

}   // namespace

void writeProducts(Connection& connection, const QList<ProductWrite>& products)
{
    Statement insert(connection, "INSERT INTO Productos (Cantidad, PrecioCosto, PrecioVenta, StockCritico, Categoria, "
                                 "CodigoProducto, NombreProducto) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    Statement update(connection, "UPDATE Productos SET Cantidad = ?1, PrecioCosto = ?2, PrecioVenta = ?3, "
                                 "StockCritico = ?4, Categoria = ?5 WHERE rowid = ?6");
    Statement rename(connection, "UPDATE Productos SET Cantidad = ?1, PrecioCosto = ?2, PrecioVenta = ?3, "
                                 "StockCritico = ?4, Categoria = ?5, NombreProducto = ?7 WHERE rowid = ?6");
    for (const ProductWrite& product : products) {
        if (product.rowId == 0) {
            bindValues(insert, product.values);
            insert.bind(6, product.values.code);
            insert.bind(7, product.values.name);
            insert.run();
            continue;
        }
        Statement& statement = product.renamed ? rename : update;
        bindValues(statement, product.values);
        statement.bind(6, product.rowId);
        if (product.renamed)
            statement.bind(7, product.values.name);
        statement.run();
    }
}

namespace {

void bindAll(Statement& statement, const QVariantList& parameters)
{
    for (int i = 0; i < parameters.size(); ++i)
        statement.bind(i + 1, parameters[i]);
}

// A field read as a number the way a record set reads it.
ListedProduct::Cell cellOf(const Statement& row, int column)
{
    ListedProduct::Cell cell{row.kind(column), 0, {}};
    if (cell.kind == CellKind::Integer || cell.kind == CellKind::Real)
        cell.number = row.number(column);
    else if (cell.kind != CellKind::Null)
        cell.bytes = row.bytes(column);
    return cell;
}

double numberOf(const ListedProduct::Cell& cell, const QString& field)
{
    switch (cell.kind) {
    case CellKind::Null:
        throw ConversionError(QStringLiteral("O campo %1 está vazio e não pode ser lido como número.").arg(field));
    case CellKind::Integer:
    case CellKind::Real:
        return cell.number;
    case CellKind::Text:
    case CellKind::Blob:
        break;
    }
    try {
        return A_Numero(QString::fromUtf8(cell.bytes));
    } catch (const ConversionError& error) {
        throw ConversionError(QStringLiteral("%1 (campo %2)").arg(error.message(), field));
    }
}

double numberOf(const Statement& row, int column, const QString& field)
{
    return numberOf(cellOf(row, column), field);
}

}   // namespace

std::vector<qint64> rowIdsOf(Connection& connection, const QueryText& query, const QVariantList& parameters)
{
    Statement select(connection, connection.engine().dialect().queryText(query));
    bindAll(select, parameters);
    std::vector<qint64> ids;
    while (select.next())
        ids.push_back(select.whole(0));
    return ids;
}

ListingStep nextRowIds(Connection& connection, const SteppedListing& listing, const ListingStep* before, int count)
{
    const Dialect& dialect = connection.engine().dialect();
    Statement select(connection, dialect.queryText(before ? listing.after : listing.first));
    if (before) {
        select.bind(1, *before->lastKey);
        select.bind(2, before->lastRowId);
        select.bind(3, qint64(count));
    } else {
        select.bind(1, qint64(count));
    }
    ListingStep step;
    bool emptyKey = false;
    while (select.next()) {
        step.ids.push_back(select.whole(0));
        step.lastRowId = step.ids.back();
        emptyKey = select.isNull(1) || select.bytes(1).isEmpty();
        step.lastKey = select.text(1);
    }
    if (emptyKey) {
        step.ids = rowIdsOf(connection, listing.all);
        step.whole = true;
        step.lastKey.reset();
        return step;
    }
    if (qsizetype(step.ids.size()) < count)
        step.lastKey.reset();
    return step;
}

void addStockValue(Connection& connection, const QueryText& query, const QVariantList& parameters,
                   StockValueSum& sum, qint64 count)
{
    qint64 lastRowId = 0;
    {
        Statement last(connection, connection.engine().dialect().queryText(Query::UltimoIdProducto));
        if (last.next() && !last.isNull(0))
            lastRowId = last.whole(0);
    }
    const qint64 until = count >= lastRowId - sum.lastRowId ? lastRowId : sum.lastRowId + count;
    Statement select(connection, connection.engine().dialect().queryText(query));
    bindAll(select, parameters);
    select.bind(int(parameters.size()) + 1, sum.lastRowId);
    select.bind(int(parameters.size()) + 2, until);
    while (select.next()) {
        const double quantity = numberOf(select, 1, Productos::Cantidad);
        const double cost = numberOf(select, 2, Productos::PrecioCosto);
        numberOf(select, 3, Productos::PrecioVenta);
        sum.sum += shownNumber(quantity * cost);
    }
    sum.lastRowId = std::max(until, sum.lastRowId);
    sum.complete = sum.lastRowId >= lastRowId;
}

namespace {

// A text that no text equal to the given one, letter case and accents aside,
// comes before in the names' order: its plain ASCII start in capitals (a
// capital's byte comes first among a letter's forms).
QString beforeEveryFormOf(const QString& name)
{
    QString start;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80)
            break;
        start += c.toUpper();
    }
    return start;
}

}   // namespace

std::optional<QString> productName(Connection& connection, qint64 rowId)
{
    Statement select(connection, connection.engine().dialect().queryText(Query::NombrePorId));
    select.bind(1, rowId);
    if (!select.next())
        return std::nullopt;
    return select.text(0);
}

std::optional<QString> firstCodeAmongNamed(Connection& connection, const QString& name,
                                           const std::function<bool(const QString& storedName)>& matches)
{
    if (!connection.dataMark())
        return std::nullopt;
    Statement select(connection, connection.engine().dialect().queryText(Query::NombresDesde));
    select.bind(1, beforeEveryFormOf(name));
    while (select.next()) {
        const QString stored = select.text(0);
        const int order = comparePortugueseIgnoringCase(stored, name);
        if (order > 0)
            break;
        if (order == 0 && matches(stored))
            return select.text(1);
    }
    return std::nullopt;
}

QString ListedProduct::text(Field field) const
{
    const Cell& cell = cells_[field];
    switch (cell.kind) {
    case CellKind::Null:
        return {};
    case CellKind::Integer:
    case CellKind::Real:
        return A_Texto(cell.number);
    case CellKind::Text:
    case CellKind::Blob:
        break;
    }
    return QString::fromUtf8(cell.bytes);
}

QString ListedProduct::code() const { return text(CODE); }
QString ListedProduct::name() const { return text(NAME); }
QString ListedProduct::category() const { return text(CATEGORY); }
double ListedProduct::quantity() const { return numberOf(cells_[QUANTITY], Productos::Cantidad); }
double ListedProduct::costPrice() const { return numberOf(cells_[COST], Productos::PrecioCosto); }
double ListedProduct::salePrice() const { return numberOf(cells_[PRICE], Productos::PrecioVenta); }

namespace {

using ProductColumns = std::array<int, ListedProduct::FIELD_COUNT>;
using ProductCells = ProductShare::Cells;

// Where a listing's statement has each of the catalogue's fields, by name.
ProductColumns productColumns(const Statement& select)
{
    const QString fields[ListedProduct::FIELD_COUNT] = {Productos::CodigoProducto, Productos::NombreProducto,
                                                        Productos::Cantidad,       Productos::PrecioCosto,
                                                        Productos::PrecioVenta,    Productos::Categoria};
    ProductColumns columns;
    columns.fill(-1);
    for (int column = 0; column < select.columnCount(); ++column)
        for (int field = 0; field < ListedProduct::FIELD_COUNT; ++field)
            if (columns[field] < 0 && select.columnName(column).compare(fields[field], Qt::CaseInsensitive) == 0)
                columns[field] = column;
    for (int field = 0; field < ListedProduct::FIELD_COUNT; ++field)
        if (columns[field] < 0)
            throw StoreError(QStringLiteral("A consulta não traz o campo %1.").arg(fields[field]));
    return columns;
}

ProductCells cellsOf(const Statement& row, const ProductColumns& columns)
{
    ProductCells cells;
    for (int field = 0; field < ListedProduct::FIELD_COUNT; ++field)
        cells[size_t(field)] = cellOf(row, columns[size_t(field)]);
    return cells;
}

// A listing read in its own order goes over in shares of this many.
constexpr size_t PRODUCTS_PER_SHARE = 5000;

bool holdsText(CellKind kind)
{
    return kind == CellKind::Text || kind == CellKind::Blob;
}

// The products at the places first to end of a listing, read in one pass
// over the table: `places` are the listing's places in row id order.
ProductShare shareOf(Connection& connection, const std::vector<qint64>& listed, const std::vector<quint32>& places,
                     size_t first, size_t end)
{
    ProductShare share;
    share.makePlaces(end - first);
    Statement select(connection, connection.engine().dialect().queryText(Query::ProductosPorId));
    const ProductColumns columns = productColumns(select);
    auto wanted = places.cbegin();
    while (wanted != places.cend() && select.next()) {
        const qint64 rowId = select.whole(0);
        while (wanted != places.cend() && listed[*wanted] < rowId)
            ++wanted;
        if (wanted == places.cend() || listed[*wanted] != rowId)
            continue;
        if (*wanted >= first && *wanted < end)
            share.keep(*wanted - first, cellsOf(select, columns));
        ++wanted;
    }
    return share;
}

// Each product of the listing `ids` gives, read in passes over the table in
// its own order (see walkProductShares).
void walkInTableOrder(Connection& connection, const QueryText& ids, const QVariantList& parameters,
                      const std::function<void(ProductShare&& share)>& take, size_t productsPerPass)
{
    const ReadSnapshot snapshot(connection);
    const PagesHeld pages(connection, PageHold::ForTableWalk);
    const std::vector<qint64> listed = rowIdsOf(connection, ids, parameters);
    std::vector<quint32> places(listed.size());
    std::iota(places.begin(), places.end(), 0);
    std::sort(places.begin(), places.end(), [&](quint32 a, quint32 b) { return listed[a] < listed[b]; });
    for (size_t first = 0; first < listed.size(); first += productsPerPass)
        take(shareOf(connection, listed, places, first, std::min(listed.size(), first + productsPerPass)));
}

}   // namespace

// About what a product's texts take, so that the buffer seldom grows.
constexpr qsizetype TEXT_BYTES_PER_PRODUCT = 64;

ProductShare::ProductShare(size_t count)
{
    rows_.reserve(count);
    bytes_.reserve(qsizetype(count) * TEXT_BYTES_PER_PRODUCT);
}

void ProductShare::makePlaces(size_t count)
{
    rows_.resize(count);
    bytes_.reserve(qsizetype(count) * TEXT_BYTES_PER_PRODUCT);
}

void ProductShare::append(const Cells& cells)
{
    rows_.emplace_back();
    keep(rows_.size() - 1, cells);
}

void ProductShare::keep(size_t place, const Cells& cells)
{
    HeldRow& row = rows_[place];
    for (size_t field = 0; field < cells.size(); ++field) {
        const ListedProduct::Cell& cell = cells[field];
        row.kinds[field] = cell.kind;
        if (holdsText(cell.kind)) {
            row.cells[field].text = {quint32(bytes_.size()), quint32(cell.bytes.size())};
            bytes_.append(cell.bytes);
        } else {
            row.cells[field].number = cell.number;
        }
    }
}

void ProductShare::forEach(const std::function<void(const ListedProduct&)>& visit) const
{
    Cells cells;
    for (const HeldRow& row : rows_) {
        for (size_t field = 0; field < cells.size(); ++field) {
            const HeldCell& held = row.cells[field];
            cells[field] = {row.kinds[field], 0, {}};
            if (holdsText(row.kinds[field]))
                cells[field].bytes = QByteArrayView(bytes_).sliced(held.text.start, held.text.size);
            else
                cells[field].number = held.number;
        }
        visit(ListedProduct(cells));
    }
}

void walkProductShares(Connection& connection, const QueryText* ids, const QueryText& rows,
                       const QVariantList& parameters, const std::function<void(ProductShare&& share)>& take,
                       size_t productsPerPass)
{
    if (ids && connection.engine().dialect().readsListingsInTableOrder()) {
        walkInTableOrder(connection, *ids, parameters, take, productsPerPass);
        return;
    }
    Statement select(connection, connection.engine().dialect().queryText(rows));
    bindAll(select, parameters);
    const ProductColumns columns = productColumns(select);
    ProductShare share(PRODUCTS_PER_SHARE);
    while (select.next()) {
        share.append(cellsOf(select, columns));
        if (share.size() == PRODUCTS_PER_SHARE)
            take(std::exchange(share, ProductShare(PRODUCTS_PER_SHARE)));
    }
    if (share.size() > 0)
        take(std::move(share));
}

ProductNames productNames(Connection& connection)
{
    Statement select(connection, connection.engine().dialect().queryText(Query::NombresTodos));
    ProductNames names;
    while (select.next())
        names.append(select.bytes(1));
    return names;
}

namespace {

constexpr char NAME_END = '\xFF';

// Character by character as the engine's like folds it, in UTF-8.
QByteArray foldedUtf8(const QString& text)
{
    QList<uint> characters = text.toUcs4();
    for (uint& c : characters)
        c = foldedLetter(c);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()), characters.size()).toUtf8();
}

}   // namespace

QByteArrayView ProductNames::utf8(qsizetype index) const
{
    const qsizetype start = starts_[size_t(index)];
    const qsizetype end = index + 1 < size() ? starts_[size_t(index) + 1] : bytes_.size();
    return QByteArrayView(bytes_).sliced(start, end - start);
}

void ProductNames::append(QByteArrayView name)
{
    starts_.push_back(bytes_.size());
    bytes_.append(name);
    foldedStarts_.push_back(folded_.size());
    folded_.append(foldedUtf8(QString::fromUtf8(name)));
    folded_.append(NAME_END);
}

std::vector<qsizetype> ProductNames::containing(const QString& text) const
{
    const QByteArray wanted = foldedUtf8(text);
    std::vector<qsizetype> found;
    qsizetype from = 0;
    while (from < folded_.size()) {
        const qsizetype at = folded_.indexOf(wanted, from);
        if (at < 0)
            break;
        const auto next = std::upper_bound(foldedStarts_.cbegin(), foldedStarts_.cend(), at);
        found.push_back(next - foldedStarts_.cbegin() - 1);
        from = next == foldedStarts_.cend() ? folded_.size() : *next;
    }
    return found;
}
