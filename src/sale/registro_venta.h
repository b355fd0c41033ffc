#pragma once

#include "common/venta_actual.h"

#include <QList>
#include <QString>

// Records a paid sale: the stock of each product goes down, one Temporal
// row per line, the total added to the session's takings. All of it is
// stored in one transaction, or none of it when any step fails (the error
// passes through and the database is as before).
class RegistroVenta {
public:
    explicit RegistroVenta(const QString& folder) : folder_(folder) {}

    // Returns the session start stored with the open session's first line,
    // which the takings were added under. When an earlier attempt at the same
    // moment may have been stored (its commit went unanswered), the till's
    // lines of that moment are looked for first and, found, nothing is
    // written again.
    QString registrar(const QList<LineaVenta>& lineas, const DatosSesion& sesion, bool quizaYaGrabada = false) const;

private:
    QString folder_;
};
