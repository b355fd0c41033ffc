#pragma once

// Every statement the windows send to the database, each used exactly as written.
namespace Query {

inline constexpr char ProductosPorNombre[] = "select * from Productos order by NombreProducto";
inline constexpr char ProductosListado[] = "select * from Productos Order by NombreProducto";
inline constexpr char ProductosPorCodigo[] = "select * from Productos order by CodigoProducto";
inline constexpr char ProductosPorCantidad[] = "select * from Productos order by Cantidad";
// Products whose name contains the search text; the text is bound as the one
// parameter, never pasted into the statement.
inline constexpr char ProductosBusqueda[] = "select * from Productos where NombreProducto like '%' || ? || '%'";
// The same search where "%" and "_" typed by the user stand for themselves:
// bind likePatternContaining(search text).
inline constexpr char ProductosBusquedaLiteral[] = "select * from Productos where NombreProducto like ? escape '\\'";
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

}   // namespace Query
