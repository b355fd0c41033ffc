#pragma once

#include "sale/sale_line.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The facts of the day session a paid sale is recorded under.
struct DatosSesion {
    QString tipoPago;      // "EFECTIVO" or "TARJETA"
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

// Records a paid sale: the stock of each product goes down, one Temporal
// row per line, the total added to the session's takings. All of it is
// stored in one transaction, or none of it when any step fails (the error
// passes through and the database is as before).
class RegistroVenta {
public:
    explicit RegistroVenta(const QString& folder) : folder_(folder) {}

    // Returns the session start stored with the open session's first line,
    // which the takings were added under.
    QString registrar(const QList<LineaVenta>& lineas, const DatosSesion& sesion) const;

private:
    QString folder_;
};
