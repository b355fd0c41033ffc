#pragma once

// Every statement the windows send to the database, each used exactly as written.
namespace Query {

inline constexpr char ProductosPorNombre[] = "select * from Productos order by NombreProducto";
inline constexpr char ProductosListado[] = "select * from Productos Order by NombreProducto";
inline constexpr char ProductosPorCodigo[] = "select * from Productos order by CodigoProducto";
inline constexpr char ProductosPorCantidad[] = "select * from Productos order by Cantidad";
// Products whose name contains the search text; the text is bound as the one
// parameter, never pasted into the statement, and passed through
// likeLiteral() so that "%" and "_" typed by the user match themselves.
inline constexpr char ProductosBusqueda[] =
    "select * from Productos where NombreProducto like '%' || ? || '%' escape '\\'";
// The names alone of the same products, for a list that shows only names.
inline constexpr char NombresBusqueda[] =
    "select NombreProducto from Productos where NombreProducto like '%' || ? || '%' escape '\\'";
inline constexpr char Categorias[] = "select Categoria from Productos Group by Categoria";

inline constexpr char Temporal[] = "select * from Temporal";
inline constexpr char VentasDeTemporal[] = "select FechaVenta from Temporal group by FechaVenta";
inline constexpr char TemporalPorVenta[] = "select * from Temporal order by FechaVenta";
inline constexpr char TemporalPorVentaListado[] = "select * from Temporal Order by FechaVenta";

inline constexpr char TipoPago[] = "select * from TipoPago order by FechaInicio";
inline constexpr char TipoPagoListado[] = "select * from TipoPago Order by FechaInicio";

inline constexpr char Recaudacion[] = "select * from Recaudacion order by FechaInicio";

inline constexpr char UsuariosPorNombre[] = "select * from Usuarios order by NombreUsuario";
inline constexpr char Usuarios[] = "select * from Usuarios";

// The day close moves every open line into the archive in one statement, in
// the order the lines were recorded, then empties the open lines: the same
// rows a walk would copy one by one, without passing each value through text.
inline constexpr char ArchivarTemporal[] =
    "insert into Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, TipoPago, "
    "NombreUsuario, Categoria, FechaInicio, FechaVenta) select CodigoProducto, NombreProducto, Cantidad, "
    "TotalCosto, TotalVenta, TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta from Temporal order by rowid";
inline constexpr char VaciarTemporal[] = "delete from Temporal";

// The takings report reads one month of closed sessions by the range of their
// start times ("yyyy-mm-dd hh:mm:ss" sorts as time): the two parameters are
// the month's first moment and the next month's first moment, so the index on
// FechaInicio serves the query and the rows come in the same order as a walk
// of the whole table.
// Only the fields the report adds up are read; a session is the one start given.
inline constexpr char RecaudacionDelPeriodo[] =
    "select CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from Recaudacion "
    "where FechaInicio >= ? and FechaInicio < ? order by FechaInicio";
inline constexpr char RecaudacionDeSesion[] =
    "select CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from Recaudacion "
    "where FechaInicio = ? order by FechaInicio";
inline constexpr char TipoPagoDelPeriodo[] =
    "select * from TipoPago where FechaInicio >= ? and FechaInicio < ? order by FechaInicio";

}   // namespace Query
