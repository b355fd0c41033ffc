#pragma once

#include <QHash>
#include <QList>
#include <QString>

class Connection;

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

// The whole catalogue ordered by code (products with one code in the order
// they were added); a field left empty reads as an empty text or 0.
QList<ProductValues> productsInCodeOrder(Connection& connection);

// A stored product as an import finds it by its code.
struct StoredProduct {
    qint64 rowId = 0;
    QString name;
};
// Every stored product, by code (a code may be on more than one product).
QHash<QString, QList<StoredProduct>> productsByCode(Connection& connection);

struct ProductsWritten {
    int added = 0;
    int updated = 0;
};
// Writes an import's products: a code stored (on the first of its products
// in stored) gets the new values, a new code is added. Only the fields that
// can change are written, and the name only when it changes, so that the
// indexes of codes and names are not rewritten for every product.
ProductsWritten writeProducts(Connection& connection, const QList<ProductValues>& products,
                              const QHash<QString, QList<StoredProduct>>& stored);
