#pragma once

#include <QStringView>

#include <span>

// A query narrowed to the rows whose field equals a bound value, in the
// same order: the rows a walk comparing that field would stop at, found
// through the field's index.
struct QueryFilter {
    const char* field;
    const char* sql;
};

// A statement the windows walk as a record set, exactly as the engine runs
// it, over the rows of one table. A query of single rows reads each row's id
// first and ends its order with it, so that rows tied on the order always
// come in the order they were added and a change reaches exactly the row it
// was made on. A grouped query has no row ids: a list that cannot be changed.
struct QueryText {
    const char* sql;
    const char* table;
    std::span<const QueryFilter> filters = {};
    bool grouped = false;

    // The filtered form of this query for a field; nullptr when it has none.
    const QueryFilter* filterOn(QStringView field) const
    {
        for (const QueryFilter& filter : filters) {
            if (field.compare(QLatin1StringView(filter.field), Qt::CaseInsensitive) == 0)
                return &filter;
        }
        return nullptr;
    }
};

// Every statement the windows send to the database. Each query's comment
// gives the system's own text, which the statement runs with the row id and
// the tie-break added.
namespace Query {

inline constexpr QueryFilter ProductosPorNombreFiltros[] = {
    {"CodigoProducto", "select rowid, * from Productos where CodigoProducto = ? order by NombreProducto, rowid"},
    {"NombreProducto", "select rowid, * from Productos where NombreProducto = ? order by NombreProducto, rowid"},
};
// "select * from Productos order by NombreProducto"
inline constexpr QueryText ProductosPorNombre{"select rowid, * from Productos order by NombreProducto, rowid",
                                              "Productos", ProductosPorNombreFiltros};

inline constexpr QueryFilter ProductosListadoFiltros[] = {
    {"CodigoProducto", "select rowid, * from Productos where CodigoProducto = ? Order by NombreProducto, rowid"},
};
// "select * from Productos Order by NombreProducto"
inline constexpr QueryText ProductosListado{"select rowid, * from Productos Order by NombreProducto, rowid",
                                            "Productos", ProductosListadoFiltros};

// "select * from Productos order by CodigoProducto"
inline constexpr QueryText ProductosPorCodigo{"select rowid, * from Productos order by CodigoProducto, rowid",
                                              "Productos"};
// "select * from Productos order by Cantidad"
inline constexpr QueryText ProductosPorCantidad{"select rowid, * from Productos order by Cantidad, rowid",
                                                "Productos"};

// Products whose name contains the search text; the text is bound as the one
// parameter, never pasted into the statement, and passed through
// likeLiteral() so that "%" and "_" typed by the user match themselves.
// "select * from Productos where NombreProducto like '%" + search text + "%'"
inline constexpr QueryText ProductosBusqueda{
    "select rowid, * from Productos where NombreProducto like '%' || ? || '%' escape '\\' order by rowid",
    "Productos"};
// The names alone of the same products, for a list that shows only names.
inline constexpr QueryText NombresBusqueda{
    "select rowid, NombreProducto from Productos where NombreProducto like '%' || ? || '%' escape '\\' "
    "order by rowid",
    "Productos"};

// "select Categoria from Productos Group by Categoria"
inline constexpr QueryText Categorias{"select Categoria from Productos Group by Categoria", "Productos", {}, true};

// "select * from Temporal"
inline constexpr QueryText Temporal{"select rowid, * from Temporal order by rowid", "Temporal"};
// "select FechaVenta from Temporal group by FechaVenta"
inline constexpr QueryText VentasDeTemporal{"select FechaVenta from Temporal group by FechaVenta", "Temporal", {},
                                            true};

inline constexpr QueryFilter TemporalPorVentaFiltros[] = {
    {"FechaVenta", "select rowid, * from Temporal where FechaVenta = ? order by FechaVenta, rowid"},
};
// "select * from Temporal order by FechaVenta"
inline constexpr QueryText TemporalPorVenta{"select rowid, * from Temporal order by FechaVenta, rowid", "Temporal",
                                            TemporalPorVentaFiltros};
// "select * from Temporal Order by FechaVenta"
inline constexpr QueryText TemporalPorVentaListado{"select rowid, * from Temporal Order by FechaVenta, rowid",
                                                   "Temporal"};

inline constexpr QueryFilter TipoPagoFiltros[] = {
    {"FechaInicio", "select rowid, * from TipoPago where FechaInicio = ? order by FechaInicio, rowid"},
};
// "select * from TipoPago order by FechaInicio"
inline constexpr QueryText TipoPago{"select rowid, * from TipoPago order by FechaInicio, rowid", "TipoPago",
                                    TipoPagoFiltros};
inline constexpr QueryFilter TipoPagoListadoFiltros[] = {
    {"FechaInicio", "select rowid, * from TipoPago where FechaInicio = ? Order by FechaInicio, rowid"},
};
// "select * from TipoPago Order by FechaInicio"
inline constexpr QueryText TipoPagoListado{"select rowid, * from TipoPago Order by FechaInicio, rowid", "TipoPago",
                                           TipoPagoListadoFiltros};

// "select * from Recaudacion order by FechaInicio"
inline constexpr QueryText Recaudacion{"select rowid, * from Recaudacion order by FechaInicio, rowid", "Recaudacion"};

inline constexpr QueryFilter UsuariosPorNombreFiltros[] = {
    {"NombreUsuario", "select rowid, * from Usuarios where NombreUsuario = ? order by NombreUsuario, rowid"},
};
// "select * from Usuarios order by NombreUsuario"
inline constexpr QueryText UsuariosPorNombre{"select rowid, * from Usuarios order by NombreUsuario, rowid", "Usuarios",
                                             UsuariosPorNombreFiltros};
// "select * from Usuarios"
inline constexpr QueryText Usuarios{"select rowid, * from Usuarios order by rowid", "Usuarios"};

// The takings report reads one month of closed sessions by the range of their
// start times ("yyyy-mm-dd hh:mm:ss" sorts as time): the two parameters are
// the month's first moment and the next month's first moment, so the index on
// FechaInicio serves the query and the rows come in the same order as a walk
// of the whole table. Only the fields the report adds up are read; a session
// is the one start given.
inline constexpr QueryText RecaudacionDelPeriodo{
    "select rowid, CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from Recaudacion "
    "where FechaInicio >= ? and FechaInicio < ? order by FechaInicio, rowid",
    "Recaudacion"};
inline constexpr QueryText RecaudacionDeSesion{
    "select rowid, CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from Recaudacion "
    "where FechaInicio = ? order by FechaInicio, rowid",
    "Recaudacion"};
inline constexpr QueryText TipoPagoDelPeriodo{
    "select rowid, * from TipoPago where FechaInicio >= ? and FechaInicio < ? order by FechaInicio, rowid",
    "TipoPago"};

// The day close moves every open line into the archive in one statement, in
// the order the lines were recorded, then empties the open lines: the same
// rows a walk would copy one by one, without passing each value through text.
inline constexpr char ArchivarTemporal[] =
    "insert into Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, TipoPago, "
    "NombreUsuario, Categoria, FechaInicio, FechaVenta) select CodigoProducto, NombreProducto, Cantidad, "
    "TotalCosto, TotalVenta, TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta from Temporal order by rowid";
inline constexpr char VaciarTemporal[] = "delete from Temporal";

}   // namespace Query
