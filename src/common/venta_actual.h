#pragma once

#include "common/sale_line.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The sale being rung up, apart from any window: its lines in the order their
// codes were first entered (one line per code), the total to pay, and the
// critical-stock facts of the last product entered. The sale window shows it;
// the payment dialog, the receipts and the recording read it.
class VentaActual {
public:
    // Where an entry landed: the index of its line, and whether the line is new.
    struct Cambio {
        int linea = -1;
        bool nueva = false;
    };
    enum class Deduccion {
        Hecha,           // the quantity came off its line; emptied lines are gone
        ListaVacia,      // nothing to deduct from: nothing changed
        CantidadMayor,   // more than the line holds: nothing changed
        CodigoAusente,   // no line with the code: nothing changed but the renumbering
    };

    const QList<LineaVenta>& lineas() const { return lineas_; }
    bool isEmpty() const { return lineas_.isEmpty(); }
    int size() const { return static_cast<int>(lineas_.size()); }

    // Adds a typed quantity of a product to its line, or as a new last line,
    // and notes the product's stock facts.
    Cambio agregar(const ProductoLeido& producto, const QString& cantidad);
    // Takes a typed quantity of a code off its line; lines left at zero or
    // below disappear and the following ones move up.
    Deduccion deducir(const QString& codigo, const QString& cantidad);
    // Adds the line of a scale label (the label's code in it) as a new last
    // line, and notes the product's stock facts, with the product's quantity
    // on all its lines.
    Cambio agregarEtiqueta(const ProductoLeido& producto, const LineaVenta& linea);
    // Takes the last line of the scale label off the sale; the following
    // lines move up. Hecha, ListaVacia or CodigoAusente.
    Deduccion quitarEtiqueta(const QString& etiqueta);
    // The sum of the lines' sale totals, as the unformatted text of a double.
    QString totalTexto() const;
    // Empties the lines; the total to pay and the stock facts stay as they were.
    void limpiar() { lineas_.clear(); }

    QString totalAPagar;       // "total a pagar": the total as last shown, unformatted
    QString cantidadEnLista;   // "cantidad en lista": the last product's quantity now on its line
    QString stockCritico;      // "stock critico": the last product's critical level
    QString cantidadEnStock;   // "cantidad": the last product's stock

private:
    // The line of a code typed or scanned; a scale label's line is never it.
    int lineaDe(const QString& codigo) const;
    void compactar();

    QList<LineaVenta> lineas_;
};

// The facts of the day session a paid sale is recorded under.
struct DatosSesion {
    QString tipoPago;      // "EFECTIVO", "TARJETA" or "PIX"
    QString total;         // the sale's total as the unformatted text of a double
    QString usuario;       // the logged-in user
    QString fechaInicio;   // the session start, "dd/mm/yyyy h:mm:ss"
    QDateTime ahora;       // the moment of the recording
};

// A paid sale as it was recorded: its lines and the facts it went under.
struct VentaRegistrada {
    QList<LineaVenta> lineas;
    DatosSesion sesion;
};
