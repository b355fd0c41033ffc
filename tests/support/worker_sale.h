#pragma once

#include "common/numbers.h"
#include "common/sale_line.h"

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
