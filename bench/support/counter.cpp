#include "support/counter.h"

#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
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

double timeCashPayment(Form1& form, const QList<ProductoLeido>& products)
{
    for (const ProductoLeido& product : products)
        form.Agregar_Producto(product);
    form.findChild<QPushButton*>(QStringLiteral("Command1"))->click();   // "PAGAR"
    auto* dialog = qobject_cast<Form5*>(form.pago());
    if (!dialog)
        throw std::runtime_error("the payment dialog did not open");
    QCoreApplication::processEvents();
    auto* list = form.findChild<ReportList*>(QStringLiteral("ListView1"));
    QElapsedTimer timer;
    timer.start();
    dialog->Command1->click();   // "DINHEIRO" without an amount
    list->viewport()->repaint();
    form.findChild<QLabel*>(QStringLiteral("Label8"))->repaint();
    QCoreApplication::processEvents();
    const double micros = timer.nsecsElapsed() / 1000.0;
    if (list->rowCount() != 0)
        throw std::runtime_error("the sale window was not cleared");
    return micros;
}
