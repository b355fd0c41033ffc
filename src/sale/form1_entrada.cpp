// The sale window's product entry: the code and quantity boxes, the sale
// list, the running total and the critical-stock warning.
#include "sale/form1.h"

#include "common/key_filter.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString MSG_CODIGO_VACIO = QStringLiteral("É necessário inserir o código do produto");
const QString MSG_CODIGO_INEXISTENTE = QStringLiteral("O código inserido não existe");
const QString MSG_CANTIDAD_VACIA = QStringLiteral("É necessário inserir a quantidade a ser vendida");
const QString MSG_ETIQUETA_INVALIDA = QStringLiteral("Etiqueta de balança inválida: confira o código.");
const QString MSG_ETIQUETA_SIN_PRECIO =
    QStringLiteral("O produto %1 não tem preço de venda: a etiqueta de preço não pode ser vendida. Corrija o "
                   "preço no cadastro de produtos.");

// Reads everything the sale needs from the product row before anything
// changes, so that a bad row leaves the sale as it was.
ProductoLeido Leer_Producto(const RecordSet& row)
{
    ProductoLeido producto;
    producto.codigo = row.text(Productos::CodigoProducto);
    producto.nombre = row.text(Productos::NombreProducto);
    producto.precioCosto = A_Texto(row.number(Productos::PrecioCosto));
    producto.precioVenta = A_Texto(row.number(Productos::PrecioVenta));
    producto.categoria = row.text(Productos::Categoria);
    producto.cantidad = row.numberOrZero(Productos::Cantidad);
    producto.stockCritico = row.numberOrZero(Productos::StockCritico);
    return producto;
}

}   // namespace

// A failure of the database or of a conversion stops the entry where it was:
// the sale is untouched and the boxes are as before the key, so the cashier
// can try again. The error goes on to the window's guard, which shows it.
template <typename Action>
void Form1::Proteger_Entrada(Action&& action)
{
    const QString codigo = Text7->text();
    const QString cantidad = Text8->text();
    const bool codigoActivo = Text7->isEnabled();
    const bool cantidadActiva = Text8->isEnabled();
    const bool manualActivo = Check1->isEnabled();
    try {
        std::forward<Action>(action)();
    } catch (...) {
        Text7->setText(codigo);
        Text8->setText(cantidad);
        Text7->setEnabled(codigoActivo);
        Text8->setEnabled(cantidadActiva);
        Check1->setEnabled(manualActivo);
        (cantidadActiva ? Text8 : Text7)->setFocus();
        throw;
    }
}

void Form1::Text7_Enter()
{
    Proteger_Entrada([this] {
        const QString codigo = Text7->text();
        if (codigo.isEmpty()) {
            platform().prompter.ok(MSG_CODIGO_VACIO);
            return;
        }
        const std::optional<ProductoLeido> producto = Buscar_Producto(codigo);
        if (!producto && Leer_Etiqueta(codigo))
            return;
        if (Check1->isChecked()) {
            // Manual quantity: an unknown code is refused only once its quantity is confirmed.
            Check1->setEnabled(false);
            Text8->clear();
            Text7->setEnabled(false);
            Text8->setEnabled(true);
            Text8->setFocus();
        } else if (producto) {
            Text7->setEnabled(false);
            Text8->setEnabled(true);
            Text8->setText(QStringLiteral("1"));
            Agregar_Producto(producto);
        } else {
            platform().prompter.ok(MSG_CODIGO_INEXISTENTE);
            Text7->clear();
        }
    });
}

// The first product with the code, in name order.
std::optional<ProductoLeido> Form1::Buscar_Producto(const QString& codigo)
{
    Connection conexion(platform().folder);
    RecordSet productos(conexion, Query::ProductosPorNombre, RecordSet::Equals{Productos::CodigoProducto, codigo});
    if (productos.eof())
        return std::nullopt;
    return Leer_Producto(productos);
}

// A code that is no product's own may be a scale label: the label gives the
// product and the quantity, so no quantity is asked for, whether or not
// "Quantidade Manual" is checked; in deduct mode its line comes off the
// sale. False when the code is not a label.
bool Form1::Leer_Etiqueta(const QString& codigo)
{
    const ScaleLabelScan leida = readScaleLabel(codigo, platform().scale.format);
    switch (leida.result) {
    case ScaleLabelScan::Result::NotALabel:
        return false;
    case ScaleLabelScan::Result::WrongCheckDigit:
        platform().prompter.ok(MSG_ETIQUETA_INVALIDA);
        Text7->clear();
        Text7->setFocus();
        return true;
    case ScaleLabelScan::Result::Label:
        break;
    }
    if (!Label18->isHidden())
        Deducir_Etiqueta(codigo);
    else
        Vender_Etiqueta(codigo, leida.label);
    return true;
}

// The product is the one whose code is the label's product digits as
// printed, or else without their leading zeros.
void Form1::Vender_Etiqueta(const QString& codigo, const ScaleLabel& etiqueta)
{
    std::optional<ProductoLeido> producto;
    for (const QString& codigoProducto : scaleProductCodes(etiqueta.productCode)) {
        if ((producto = Buscar_Producto(codigoProducto)))
            break;
    }
    if (!producto) {
        platform().prompter.ok(MSG_CODIGO_INEXISTENTE);
        Reiniciar_Entrada();
        return;
    }
    std::optional<LineaVenta> linea = scaleLabelLine(*producto, etiqueta, venta_.size() + 1);
    if (!linea) {
        platform().prompter.ok(MSG_ETIQUETA_SIN_PRECIO.arg(producto->nombre));
        Reiniciar_Entrada();
        return;
    }
    linea->etiqueta = codigo;
    Mostrar_Linea(venta_.agregarEtiqueta(*producto, *linea));
    Reiniciar_Entrada();
    Verificar_Stock_Critico(*producto);
    Calcular_Total();
    Mostrar_Total();
}

void Form1::Text8_Enter()
{
    Proteger_Entrada([this] {
        if (Text8->text().isEmpty()) {
            platform().prompter.ok(MSG_CANTIDAD_VACIA);
            return;
        }
        if (A_Numero(Text8->text()) == 0)
            Reiniciar_Entrada();
        else if (!Label18->isHidden())
            Deducir_Producto();
        else
            Agregar_Producto();
    });
}

// Back from another window, the keyboard goes to the box the entry waits on.
void Form1::Reanudar()
{
    if (Text7->isEnabled())
        Text7->setFocus();
    else if (Text8->isEnabled())
        Text8->setFocus();
}

void Form1::Check1_Click()
{
    if (Text7->isEnabled())
        Text7->setFocus();
    Label18->hide();
}

void Form1::Agregar_Producto()
{
    Agregar_Producto(Buscar_Producto(Text7->text()));
}

// Only the first product with the code, in name order, is added: once it is
// on the sale the code box is empty, so no later row with the code matches.
void Form1::Agregar_Producto(const std::optional<ProductoLeido>& producto)
{
    if (!producto) {
        platform().prompter.ok(MSG_CODIGO_INEXISTENTE);
        Reiniciar_Entrada();
        return;
    }
    Mostrar_Linea(venta_.agregar(*producto, Text8->text()));
    Reiniciar_Entrada();
    Verificar_Stock_Critico(*producto);
    Calcular_Total();
    Mostrar_Total();
}

// Shows the line the entry landed on, and keeps it in view.
void Form1::Mostrar_Linea(const VentaActual::Cambio& cambio)
{
    const QStringList fila = filaVisible(venta_.lineas().at(cambio.linea), cambio.linea + 1);
    if (cambio.nueva && cambio.linea == ListView1->rowCount())
        ListView1->addRow(fila);
    else if (!cambio.nueva && cambio.linea < ListView1->rowCount())
        ListView1->setRow(cambio.linea, fila);
    else
        Mostrar_Lista();
    ListView1->showRow(cambio.linea);
}

void Form1::Mostrar_Lista()
{
    QList<QStringList> filas;
    filas.reserve(venta_.size());
    for (const LineaVenta& linea : venta_.lineas())
        filas.append(filaVisible(linea, static_cast<int>(filas.size()) + 1));
    ListView1->setRows(std::move(filas));
}

void Form1::Verificar_Stock_Critico(const ProductoLeido& producto)
{
    const double restante = producto.cantidad - A_Numero(venta_.cantidadEnLista);
    Label17->setText(producto.nombre);
    const bool critico = producto.stockCritico >= restante;
    Pintar_Cantidad(critico ? Qt::red : Qt::white);
    Label17->setVisible(critico);
}

void Form1::Pintar_Cantidad(const QColor& color)
{
    QPalette palette = Text8->palette();
    palette.setColor(QPalette::Base, color);
    Text8->setPalette(palette);
}

void Form1::Reiniciar_Entrada()
{
    Text7->clear();
    Text7->setEnabled(true);
    Text7->setFocus();
    Text8->setText(QStringLiteral("1"));
    Text8->setEnabled(false);
    Check1->setEnabled(true);
}

void Form1::Calcular_Total()
{
    Label8->setText(venta_.totalTexto());
}

void Form1::Mostrar_Total()
{
    venta_.totalAPagar = Label8->text();
    Label8->setText(textoTotal(venta_.totalAPagar));
}
