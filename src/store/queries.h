#pragma once

#include <QString>
#include <QStringView>

#include <span>

// A query narrowed to the rows whose field equals a bound value, in the
// same order: the rows a walk comparing that field would stop at, found
// through the field's index.
struct QueryFilter {
    const char* field;
    const char* sql;
    // Only this till's rows: the till's number is the first parameter.
    bool tillScoped = false;
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
    // Only this till's rows (its open session): the till's number is the
    // first parameter, and a row added gets it.
    bool tillScoped = false;

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
// the tie-break added, and with the till's number where a shop's tills keep
// their day sessions apart.
namespace Query {

inline constexpr QueryFilter ProductosPorNombreFiltros[] = {
    {"CodigoProducto", "select rowid, * from Productos where CodigoProducto = ? order by NombreProducto, rowid"},
    {"NombreProducto", "select rowid, * from Productos where NombreProducto = ? order by NombreProducto, rowid"},
};
// "select * from Productos order by NombreProducto"
inline constexpr QueryText ProductosPorNombre{.sql = "select rowid, * from Productos order by NombreProducto, rowid",
                                              .table = "Productos",
                                              .filters = ProductosPorNombreFiltros};

inline constexpr QueryFilter ProductosListadoFiltros[] = {
    {"CodigoProducto", "select rowid, * from Productos where CodigoProducto = ? Order by NombreProducto, rowid"},
};
// "select * from Productos Order by NombreProducto"
inline constexpr QueryText ProductosListado{.sql = "select rowid, * from Productos Order by NombreProducto, rowid",
                                            .table = "Productos",
                                            .filters = ProductosListadoFiltros};

// "select * from Productos order by CodigoProducto"
inline constexpr QueryText ProductosPorCodigo{.sql = "select rowid, * from Productos order by CodigoProducto, rowid",
                                              .table = "Productos"};
// "select * from Productos order by Cantidad"
inline constexpr QueryText ProductosPorCantidad{.sql = "select rowid, * from Productos order by Cantidad, rowid",
                                                .table = "Productos"};

// Products whose name contains the search text, letter case and accents
// ignored; the text is bound as the one parameter, never pasted into the
// statement, and passed through likeLiteral() so that "%" and "_" typed by the
// user match themselves. A shop's server runs its own form of both searches
// (store/dialect.cpp).
// "select * from Productos where NombreProducto like '%" + search text + "%'"
inline constexpr QueryText ProductosBusqueda{
    .sql = "select rowid, * from Productos where NombreProducto like '%' || ? || '%' escape '\\' order by rowid",
    .table = "Productos"};
// The names alone of the same products, for a list that shows only names.
inline constexpr QueryText NombresBusqueda{
    .sql = "select rowid, NombreProducto from Productos where NombreProducto like '%' || ? || '%' escape '\\' "
           "order by rowid",
    .table = "Productos"};

// Every name a name search can find (one left empty matches no text), in the searches' order.
inline constexpr QueryText NombresTodos{
    .sql = "select rowid, NombreProducto from Productos where NombreProducto is not null order by rowid",
    .table = "Productos"};

// The row ids alone of the catalogue's listings, in their order: a list
// reads these first (the names' index alone, for the listings by name) and
// a product's fields only when its row is shown (ProductosConIds).
inline constexpr QueryText IdsPorNombre{.sql = "select rowid from Productos order by NombreProducto, rowid",
                                        .table = "Productos"};
// The same in steps: the first rows, then those after the last row read
// (its name or code, then its row id), the step's size bound last.
inline constexpr QueryText IdsPorNombrePrimeros{
    .sql = "select rowid, NombreProducto from Productos order by NombreProducto, rowid limit ?", .table = "Productos"};
inline constexpr QueryText IdsPorNombreDespues{
    .sql = "select rowid, NombreProducto from Productos where NombreProducto >= ?1 and (NombreProducto > ?1 or "
           "rowid > ?2) order by NombreProducto, rowid limit ?3",
    .table = "Productos"};
inline constexpr QueryText IdsPorCodigoPrimeros{
    .sql = "select rowid, CodigoProducto from Productos order by CodigoProducto, rowid limit ?", .table = "Productos"};
inline constexpr QueryText IdsPorCodigoDespues{
    .sql = "select rowid, CodigoProducto from Productos where CodigoProducto >= ?1 and (CodigoProducto > ?1 or "
           "rowid > ?2) order by CodigoProducto, rowid limit ?3",
    .table = "Productos"};
inline constexpr QueryText IdsPorCodigo{.sql = "select rowid from Productos order by CodigoProducto, rowid",
                                        .table = "Productos"};
inline constexpr QueryText IdsPorCantidad{.sql = "select rowid from Productos order by Cantidad, rowid",
                                          .table = "Productos"};
// The products at or below their critical level, by name, whole: the table
// is walked in its own order and the rows found sorted ("+" keeps the
// field's collation).
inline constexpr QueryText IdsCriticos{
    .sql = "select rowid from Productos where Cantidad <= StockCritico order by +NombreProducto, rowid",
    .table = "Productos"};
// The same products with their fields, for a walk of the whole listing.
inline constexpr QueryText ProductosCriticos{
    .sql = "select rowid, * from Productos where Cantidad <= StockCritico order by +NombreProducto, rowid",
    .table = "Productos"};
// The same in steps, as IdsPorNombrePrimeros and IdsPorNombreDespues, over
// the index of the products in critical state.
inline constexpr QueryText IdsCriticosPrimeros{
    .sql = "select rowid, NombreProducto from Productos where Cantidad <= StockCritico order by NombreProducto, rowid "
           "limit ?",
    .table = "Productos"};
inline constexpr QueryText IdsCriticosDespues{
    .sql = "select rowid, NombreProducto from Productos where Cantidad <= StockCritico and NombreProducto >= ?1 and "
           "(NombreProducto > ?1 or rowid > ?2) order by NombreProducto, rowid limit ?3",
    .table = "Productos"};
// Every product with its fields in the table's own order, for a listing in
// another order read in passes over the table (walkProductsInOrderOf).
inline constexpr QueryText ProductosPorId{.sql = "select rowid, * from Productos order by rowid", .table = "Productos"};
// The row ids of ProductosBusqueda (a shop's server runs its own form).
inline constexpr QueryText IdsBusqueda{
    .sql = "select rowid from Productos where NombreProducto like '%' || ? || '%' escape '\\' order by rowid",
    .table = "Productos"};
// Up to PRODUCTOS_POR_LECTURA products by row id, in no order; a place left
// unused is bound to 0, which no row has.
inline constexpr int PRODUCTOS_POR_LECTURA = 48;
inline constexpr QueryText ProductosConIds{
    .sql = "select rowid, * from Productos where rowid in (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
           "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
    .table = "Productos"};
// Each product's row id, quantity, cost and sale price, for the stock value
// of a listing, in row id order: those with a row id after ?1 up to ?2 (a
// search binds its text first). The last row id tells where the steps end.
inline constexpr QueryText CantidadYCosto{
    .sql = "select rowid, Cantidad, PrecioCosto, PrecioVenta from Productos where rowid > ?1 and rowid <= ?2 "
           "order by rowid",
    .table = "Productos"};
inline constexpr QueryText CantidadYCostoCriticos{
    .sql = "select rowid, Cantidad, PrecioCosto, PrecioVenta from Productos where rowid > ?1 and rowid <= ?2 and "
           "+Cantidad <= StockCritico order by rowid",
    .table = "Productos"};
inline constexpr QueryText CantidadYCostoBusqueda{
    .sql = "select rowid, Cantidad, PrecioCosto, PrecioVenta from Productos where NombreProducto like '%' || ?1 || "
           "'%' escape '\\' and rowid > ?2 and rowid <= ?3 order by rowid",
    .table = "Productos"};
// Each product's name and code in name order, from the first name not
// before the one bound (the names' index).
inline constexpr QueryText NombresDesde{
    .sql = "select NombreProducto, CodigoProducto from Productos where NombreProducto >= ? order by NombreProducto, "
           "rowid",
    .table = "Productos"};
// One product's name by row id (no row when it is gone).
inline constexpr QueryText NombrePorId{.sql = "select NombreProducto from Productos where rowid = ?",
                                       .table = "Productos"};
inline constexpr QueryText UltimoIdProducto{.sql = "select max(rowid) from Productos", .table = "Productos"};

// "select Categoria from Productos Group by Categoria"
inline constexpr QueryText Categorias{.sql = "select Categoria from Productos Group by Categoria",
                                      .table = "Productos",
                                      .grouped = true};

// "select * from Temporal"
inline constexpr QueryText Temporal{.sql = "select rowid, * from Temporal where Caixa = ? order by rowid",
                                    .table = "Temporal",
                                    .tillScoped = true};
// The first open line's session start, all the recording of a sale reads of
// the open lines: the first row of "select * from Temporal".
inline constexpr QueryText InicioDeTemporal{
    .sql = "select rowid, FechaInicio from Temporal where Caixa = ? order by rowid limit 1",
    .table = "Temporal",
    .tillScoped = true};
// "select FechaVenta from Temporal group by FechaVenta"
inline constexpr QueryText VentasDeTemporal{
    .sql = "select FechaVenta from Temporal where Caixa = ? group by FechaVenta",
    .table = "Temporal",
    .grouped = true,
    .tillScoped = true};

inline constexpr QueryFilter TemporalPorVentaFiltros[] = {
    {"FechaVenta", "select rowid, * from Temporal where Caixa = ? and FechaVenta = ? order by FechaVenta, rowid", true},
};
// "select * from Temporal order by FechaVenta"
inline constexpr QueryText TemporalPorVenta{
    .sql = "select rowid, * from Temporal where Caixa = ? order by FechaVenta, rowid",
    .table = "Temporal",
    .filters = TemporalPorVentaFiltros,
    .tillScoped = true};
// "select * from Temporal Order by FechaVenta"
inline constexpr QueryText TemporalPorVentaListado{
    .sql = "select rowid, * from Temporal where Caixa = ? Order by FechaVenta, rowid",
    .table = "Temporal",
    .tillScoped = true};

// The sessions of every till; a session found by its start is this till's.
inline constexpr QueryFilter TipoPagoFiltros[] = {
    {"FechaInicio", "select rowid, * from TipoPago where Caixa = ? and FechaInicio = ? order by FechaInicio, rowid",
     true},
};
// "select * from TipoPago order by FechaInicio"
inline constexpr QueryText TipoPago{.sql = "select rowid, * from TipoPago order by FechaInicio, rowid",
                                    .table = "TipoPago",
                                    .filters = TipoPagoFiltros};
inline constexpr QueryFilter TipoPagoListadoFiltros[] = {
    {"FechaInicio", "select rowid, * from TipoPago where Caixa = ? and FechaInicio = ? Order by FechaInicio, rowid",
     true},
};
// "select * from TipoPago Order by FechaInicio"
inline constexpr QueryText TipoPagoListado{.sql = "select rowid, * from TipoPago Order by FechaInicio, rowid",
                                           .table = "TipoPago",
                                           .filters = TipoPagoListadoFiltros};

// "select * from Recaudacion order by FechaInicio"
inline constexpr QueryText Recaudacion{.sql = "select rowid, * from Recaudacion order by FechaInicio, rowid",
                                       .table = "Recaudacion"};

inline constexpr QueryFilter UsuariosPorNombreFiltros[] = {
    {"NombreUsuario", "select rowid, * from Usuarios where NombreUsuario = ? order by NombreUsuario, rowid"},
};
// "select * from Usuarios order by NombreUsuario"
inline constexpr QueryText UsuariosPorNombre{.sql = "select rowid, * from Usuarios order by NombreUsuario, rowid",
                                             .table = "Usuarios",
                                             .filters = UsuariosPorNombreFiltros};
// "select * from Usuarios"
inline constexpr QueryText Usuarios{.sql = "select rowid, * from Usuarios order by rowid", .table = "Usuarios"};

// The takings report reads one month of closed sessions of every till by
// the range of their start times ("yyyy-mm-dd hh:mm:ss" sorts as time): the
// two parameters are the month's first moment and the next month's first
// moment, so the index on FechaInicio serves the query and the rows come in
// the same order as a walk of the whole table. Only the fields the report
// adds up are read; a session is the one start given.
inline constexpr QueryText RecaudacionDelPeriodo{
    .sql = "select rowid, CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from "
           "Recaudacion where FechaInicio >= ? and FechaInicio < ? order by FechaInicio, rowid",
    .table = "Recaudacion"};
// A session is its start and its till (the two parameters, in that order).
inline constexpr QueryText RecaudacionDeSesion{
    .sql = "select rowid, CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, Categoria from "
           "Recaudacion where FechaInicio = ? and Caixa = ? order by FechaInicio, rowid",
    .table = "Recaudacion"};
inline constexpr QueryText TipoPagoDeSesion{
    .sql = "select rowid, * from TipoPago where FechaInicio = ? and Caixa = ? order by FechaInicio, rowid",
    .table = "TipoPago"};
inline constexpr QueryText TipoPagoDelPeriodo{
    .sql = "select rowid, * from TipoPago where FechaInicio >= ? and FechaInicio < ? order by FechaInicio, rowid",
    .table = "TipoPago"};

// The day close moves every open line of this till into the archive in one
// statement, in the order the lines were recorded, then empties them: the
// same rows a walk would copy one by one, without passing each value through
// text. The till's number is the one parameter.
inline constexpr char ArchivarTemporal[] =
    "insert into Recaudacion (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, TipoPago, "
    "NombreUsuario, Categoria, FechaInicio, FechaVenta, Caixa) select CodigoProducto, NombreProducto, Cantidad, "
    "TotalCosto, TotalVenta, TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta, Caixa from Temporal "
    "where Caixa = ? order by rowid";
inline constexpr char VaciarTemporal[] = "delete from Temporal where Caixa = ?";

}   // namespace Query
