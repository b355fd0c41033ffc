#pragma once

#include "support/test_database.h"

#include <QString>

// Rows of sale lines and session takings written straight into a test bd1,
// with moments as the store keeps them ("yyyy-mm-dd hh:mm:ss").
struct StoredLine {
    QString code;
    QString name;
    double quantity = 1;
    double cost = 0;
    double sale = 0;
    QString payment = QStringLiteral("EFECTIVO");
    QString sessionStart = {};   // stored form
    QString saleMoment = {};     // stored form
    QString category = QStringLiteral("Geral");
    double unitPrice = 0;
};

inline QString sqlText(const QString& text)
{
    return text.isNull() ? QStringLiteral("NULL") : u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

inline QString lineInsert(const QString& table, const StoredLine& line)
{
    const bool open = table == QStringLiteral("Temporal");
    return QStringLiteral("INSERT INTO %1 (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                              "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta%2) "
                              "VALUES (%3, %4, %5, %6, %7, %8, 'admin', %9, %10, %11%12)")
                   .arg(table, open ? QStringLiteral(", ValorUnitario") : QString(), sqlText(line.code),
                        sqlText(line.name), QString::number(line.quantity, 'g', 17),
                        QString::number(line.cost, 'g', 17), QString::number(line.sale, 'g', 17),
                        sqlText(line.payment), sqlText(line.category), sqlText(line.sessionStart))
                   .arg(sqlText(line.saleMoment),
                        open ? u',' + QString::number(line.unitPrice, 'g', 17) : QString());
}

inline void storeLine(const TestDatabase& db, const QString& table, const StoredLine& line)
{
    db.execute(lineInsert(table, line));
}

inline QString takingsInsert(const QString& start, double cash, double card, const QString& closing = QString())
{
    return QStringLiteral("INSERT INTO TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre) "
                              "VALUES (%1, %2, %3, 0, %4)")
                   .arg(sqlText(start), QString::number(cash, 'g', 17), QString::number(card, 'g', 17),
                        sqlText(closing));
}

inline void storeTakings(const TestDatabase& db, const QString& start, double cash, double card,
                         const QString& closing = QString())
{
    db.execute(takingsInsert(start, cash, card, closing));
}
