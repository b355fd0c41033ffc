#pragma once

#include "common/numbers.h"
#include "common/sale_line.h"

#include <QList>
#include <QRandomGenerator>

// A sale line of the test workers' catalogue: product N is "Produto N", at
// half N of cost and 1,25 × N of sale price, in the category "Teste".
inline LineaVenta workerLine(int product, int quantity)
{
    ProductoLeido producto;
    producto.codigo = QString::number(product);
    producto.nombre = QStringLiteral("Produto %1").arg(product);
    producto.precioCosto = A_Texto(product * 0.5);
    producto.precioVenta = A_Texto(product * 1.25);
    producto.categoria = QStringLiteral("Teste");
    return nuevaLinea(producto, QString::number(quantity), 1);
}

// A sale of the given number of lines, each a different product of the first
// `products`, one to three units each; total is set to the sale's total.
inline QList<LineaVenta> workerSale(QRandomGenerator& random, int lines, int products, double& total)
{
    QList<LineaVenta> sale;
    QList<int> chosen;
    total = 0;
    while (sale.size() < lines) {
        const int product = random.bounded(1, products + 1);
        if (chosen.contains(product))
            continue;
        chosen.append(product);
        sale.append(workerLine(product, random.bounded(1, 4)));
        total += A_Numero(sale.last().ventaTotal);
    }
    return sale;
}
