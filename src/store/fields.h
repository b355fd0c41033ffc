#pragma once

#include <QString>

// The names of the fields of bd1's five tables, so that the compiler checks
// every name a record set is given: a misspelt name does not build, where a
// misspelt text would only fail when the window runs. The table definitions
// (schema.cpp) use them too; the query texts (queries.h) spell the names
// inside their SQL.
//
// Each table lists its own fields, by the field's name:
//     producto.text(Productos::NombreProducto)
namespace FieldName {
inline const QString CodigoProducto = QStringLiteral("CodigoProducto");
inline const QString NombreProducto = QStringLiteral("NombreProducto");
inline const QString Cantidad = QStringLiteral("Cantidad");
inline const QString PrecioCosto = QStringLiteral("PrecioCosto");
inline const QString PrecioVenta = QStringLiteral("PrecioVenta");
inline const QString StockCritico = QStringLiteral("StockCritico");
inline const QString Categoria = QStringLiteral("Categoria");
inline const QString ParteDeOferta = QStringLiteral("ParteDeOferta");
inline const QString TotalCosto = QStringLiteral("TotalCosto");
inline const QString TotalVenta = QStringLiteral("TotalVenta");
inline const QString TipoPago = QStringLiteral("TipoPago");
inline const QString NombreUsuario = QStringLiteral("NombreUsuario");
inline const QString FechaInicio = QStringLiteral("FechaInicio");
inline const QString FechaVenta = QStringLiteral("FechaVenta");
inline const QString ValorUnitario = QStringLiteral("ValorUnitario");
inline const QString efectivo = QStringLiteral("efectivo");
inline const QString tarjeta = QStringLiteral("tarjeta");
// The takings paid by Pix.
inline const QString pix = QStringLiteral("pix");
inline const QString CajaInicial = QStringLiteral("CajaInicial");
inline const QString FechaCierre = QStringLiteral("FechaCierre");
inline const QString Contrasena = QStringLiteral("Contraseña");
inline const QString PermisoCruce = QStringLiteral("PermisoCruce");
// The till whose day session a row belongs to (1 on a till alone with bd1).
inline const QString Caixa = QStringLiteral("Caixa");
}   // namespace FieldName

// The catalogue.
namespace Productos {
using FieldName::CodigoProducto;
using FieldName::NombreProducto;
using FieldName::Cantidad;
using FieldName::PrecioCosto;
using FieldName::PrecioVenta;
using FieldName::StockCritico;
using FieldName::Categoria;
using FieldName::ParteDeOferta;
}   // namespace Productos

// The open day session's sale lines.
namespace Temporal {
using FieldName::CodigoProducto;
using FieldName::NombreProducto;
using FieldName::Cantidad;
using FieldName::TotalCosto;
using FieldName::TotalVenta;
using FieldName::TipoPago;
using FieldName::NombreUsuario;
using FieldName::Categoria;
using FieldName::FechaInicio;
using FieldName::FechaVenta;
using FieldName::ValorUnitario;
using FieldName::Caixa;
}   // namespace Temporal

// The takings of each day session.
namespace TipoPago {
using FieldName::FechaInicio;
using FieldName::efectivo;
using FieldName::tarjeta;
using FieldName::CajaInicial;
using FieldName::FechaCierre;
using FieldName::Caixa;
using FieldName::pix;
}   // namespace TipoPago

// The archived sale lines of the closed day sessions.
namespace Recaudacion {
using FieldName::CodigoProducto;
using FieldName::NombreProducto;
using FieldName::Cantidad;
using FieldName::TotalCosto;
using FieldName::TotalVenta;
using FieldName::TipoPago;
using FieldName::NombreUsuario;
using FieldName::Categoria;
using FieldName::FechaInicio;
using FieldName::FechaVenta;
using FieldName::Caixa;
}   // namespace Recaudacion

// The users who may log in.
namespace Usuarios {
using FieldName::NombreUsuario;
using FieldName::Contrasena;
using FieldName::PermisoCruce;
}   // namespace Usuarios
