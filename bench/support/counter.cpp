#include "support/counter.h"

#include "store/connection.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <QSet>

QStringList sampleCodes(const QString& path, int count, std::uint64_t seed, qsizetype& catalogueSize)
{
    RawConnection connection(path, derivedKeyFor(path));
    RawStatement statement(connection, "select CodigoProducto from Productos");
    QStringList all;
    while (statement.step())
        all.append(statement.text(0));
    catalogueSize = all.size();
    SeededRandom random(seed);
    QStringList chosen;
    while (chosen.size() < count) {
        const QString code = all.at(random.below(static_cast<int>(all.size())));
        if (!chosen.contains(code))
            chosen.append(code);
    }
    return chosen;
}

QList<ProductoLeido> sampleProducts(const QString& path, int count, std::uint64_t seed)
{
    RawConnection connection(path, derivedKeyFor(path));
    RawStatement statement(connection, "select CodigoProducto, NombreProducto, PrecioCosto, PrecioVenta, Categoria, "
                                       "Cantidad from Productos");
    QList<ProductoLeido> all;
    while (statement.step())
        all.append({statement.text(0), statement.text(1), statement.text(2).replace('.', ','),
                    statement.text(3).replace('.', ','), statement.text(4), statement.text(5).toDouble()});
    SeededRandom random(seed);
    QList<ProductoLeido> chosen;
    QSet<QString> codes;
    while (chosen.size() < count) {
        const ProductoLeido& product = all.at(random.below(static_cast<int>(all.size())));
        if (!codes.contains(product.codigo)) {
            codes.insert(product.codigo);
            chosen.append(product);
        }
    }
    return chosen;
}

void scanCode(QLineEdit* box, const QString& code)
{
    for (QChar c : code) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key(c.unicode()), Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(box, &press);
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(box, &enter);
}
