#pragma once

#include "common/venta_actual.h"

#include <QList>
#include <QString>

// Records a paid sale: the stock of each product goes down, one Temporal
// row per line, the total added to the session's takings. All of it is
// stored in one transaction, or none of it when any step fails (the error
// passes through and the database is as before).
class Connection;

class RegistroVenta {
public:
    explicit RegistroVenta(const QString& folder) : folder_(folder) {}

    // Returns the session start stored with the open session's first line,
    // which the takings were added under. When an earlier attempt at the same
    // moment may have been stored (its commit went unanswered), the till's
    // lines of that moment are looked for first and, found, nothing is
    // written again.
    QString registrar(const QList<LineaVenta>& lineas, const DatosSesion& sesion, bool quizaYaGrabada = false) const;

    // A sale of a till on a shop's server, under the id the till gave it:
    // its id is stored with it, and a sale whose id the server already
    // received is not recorded again (its session start is returned). The
    // second form records on a connection the caller holds (the sender's).
    QString registrarConId(const VentaRegistrada& venta, const QString& idVenta) const;
    static QString registrarConId(Connection& conexion, const VentaRegistrada& venta, const QString& idVenta);

    // A till on a shop's server records a paid sale under its id or, when the
    // server cannot be reached or went away while committing it, keeps it in
    // its outbox in one transaction on its own bd1, to be sent under that id.
    // Whatever else fails passes through, nothing kept. Returns the session
    // start, the sale's own when kept.
    struct Grabacion {
        QString inicio;
        bool guardadaParaServidor = false;
    };
    Grabacion registrarOGuardar(const VentaRegistrada& venta, const QString& idVenta) const;

private:
    QString folder_;
};
