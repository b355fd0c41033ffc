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

// The cash and card takings of a period.
struct PagosRecaudados {
    bool sesionEncontrada = false;
    double efectivo = 0;
    double tarjeta = 0;
    QString fechaCierre;   // closing moment of the first session found, as text; empty when unset
};

// A month's range of session starts: [first moment, first moment of the next month).
struct PeriodoMensual {
    QDateTime desde;
    QDateTime hasta;
};
PeriodoMensual periodoDelMes(int ano, int mes);

// The lines of the session that started at exactly `inicio`.
LineasRecaudadas lineasDeSesion(Connection& conexion, const QDateTime& inicio);
// The lines of every session that started in the month.
LineasRecaudadas lineasDelMes(Connection& conexion, const PeriodoMensual& mes);
// Whether any session has been archived at all.
bool hayRecaudacion(Connection& conexion);

// The first takings row of the session that started at exactly `inicio`.
PagosRecaudados pagosDeSesion(Connection& conexion, const QDateTime& inicio);
// The takings of every session that started in the month.
PagosRecaudados pagosDelMes(Connection& conexion, const PeriodoMensual& mes);

// A sum written into a list cell and read back: the value rounded to the 15
// significant digits that a number text keeps.
double comoEnCelda(double value);
