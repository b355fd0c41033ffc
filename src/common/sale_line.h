#pragma once

#include <QString>
#include <QStringList>

// One line of the current sale, as the texts of its ten columns. The receipt,
// the recording of the sale and the payment dialog read the sale through it.
struct LineaVenta {
    QString numero;          // "_": set when the line is added; nothing reads it
    QString codigo;          // "Código"
    QString nombre;          // "Nombre"
    QString cantidad;        // "Cantidad": text of a double
    QString costoUnitario;   // "Costo Unitario Costo"
    QString costoTotal;      // "Costo Total": quantity × unit cost
    QString ventaUnitaria;   // "Venta Unitaria"
    QString ventaTotal;      // "Venta Total": quantity × unit sale price, in whole cents
    QString marca = QStringLiteral("0");   // "1/0"
    QString categoria;       // "Categoría"
    // The scale label the line was sold by; empty for a line of a typed or
    // scanned product code. A label's line is its own package: it is never
    // merged with another line, nor its totals recomputed.
    QString etiqueta;
};

// The product row a line is made from, read once from the catalogue.
struct ProductoLeido {
    QString codigo;
    QString nombre;
    QString precioCosto;   // as text
    QString precioVenta;   // as text
    QString categoria;
    double cantidad = 0;       // stock
    double stockCritico = 0;   // critical stock level
};

// A line for a product and a quantity text; the totals are computed from the
// unit values, the sale total rounded to whole cents.
LineaVenta nuevaLinea(const ProductoLeido& producto, const QString& cantidad, int numero);
// Adds a quantity to a line and recomputes its totals.
void sumarCantidad(LineaVenta& linea, double cantidad);

// The row of the sale list on screen for a line at a 1-based position:
// "_", "Código", "Nome", "Quantidade", "Valor Unitário", "Valor Total", "1/0", "Categoria".
QStringList filaVisible(const LineaVenta& linea, int posicion);

// The total as the caption of the total label shows it: below 1 the total
// rounded to two decimals as a plain number ("R$ 0,5"), from 1 up grouped with
// at most three decimals ("R$ 1.234,5").
QString textoTotal(const QString& total);
