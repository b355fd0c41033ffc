#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// One product of a takings period: its archived lines added up. Name and
// category are those of the first line of the code.
struct ProductoRecaudado {
    QString codigo;
    QString nombre;
    double cantidad = 0;
    double costo = 0;
    double venta = 0;
    QString categoria;

    // The list cells after the running number: code, name, sums as plain number texts, category.
    QStringList celdas() const;
};

// The archived lines of a period: one product per code in the order in which
// each code first occurs (lines by session start), and the period's totals.
struct LineasRecaudadas {
    QList<ProductoRecaudado> productos;
    double costo = 0;
    double venta = 0;
};

// The cash, card and Pix takings of a period.
struct PagosRecaudados {
    bool sesionEncontrada = false;
    double efectivo = 0;
    double tarjeta = 0;
    double pix = 0;
    QString fechaCierre;   // closing moment of the first session found, as text; empty when unset
};

// A closed or open session of one till: the moment it started and the
// till's number (always 1 on a till alone with its bd1).
struct SesionDeCaja {
    QDateTime inicio;
    int caja = 1;
};

// A month's range of session starts: [first moment, first moment of the next month).
struct PeriodoMensual {
    QDateTime desde;
    QDateTime hasta;
};
PeriodoMensual periodoDelMes(int ano, int mes);

// The lines of the session.
LineasRecaudadas lineasDeSesion(Connection& conexion, const SesionDeCaja& sesion);
// The lines of every session that started in the month.
LineasRecaudadas lineasDelMes(Connection& conexion, const PeriodoMensual& mes);
// Whether any session has been archived at all.
bool hayRecaudacion(Connection& conexion);

// The first takings row of the session.
PagosRecaudados pagosDeSesion(Connection& conexion, const SesionDeCaja& sesion);
// The takings of every session that started in the month.
PagosRecaudados pagosDelMes(Connection& conexion, const PeriodoMensual& mes);

// A sum written into a list cell and read back: the value rounded to the 15
// significant digits that a number text keeps.
double comoEnCelda(double value);
