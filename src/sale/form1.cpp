#include "sale/form1.h"

#include "common/fonts.h"
#include "common/guard.h"
#include "common/key_filter.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "common/twips.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr double PANEL_WIDTH = 15135;    // twips
constexpr double PANEL_HEIGHT = 10215;   // twips

const QColor WARNING_RED(255, 0, 0);
const QColor NORMAL_WHITE(255, 255, 255);

const QString MSG_CODIGO_VACIO = QStringLiteral("É necessário inserir o código do produto");
const QString MSG_CODIGO_INEXISTENTE = QStringLiteral("O código inserido não existe");
const QString MSG_CANTIDAD_VACIA = QStringLiteral("É necessário inserir a quantidade a ser vendida");
const QString MSG_LISTA_VACIA = QStringLiteral("A lista de produtos a serem vendidos está vazia");

QLabel* label(QWidget* parent, const QString& text, int points, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* result = new QLabel(text, parent);
    result->setFont(boldFont(points));
    result->setAlignment(alignment);
    return result;
}

QLineEdit* entryBox(QWidget* parent, int maxLength)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(boldFont(16));
    return box;
}

// A stock or critical level the catalogue left empty counts as 0.
double numberOrZero(const RecordSet& row, const QString& field)
{
    return row.isNull(field) ? 0 : row.number(field);
}

// Reads everything the sale needs from the product row before anything
// changes, so that a bad row leaves the sale as it was.
ProductoLeido Leer_Producto(const RecordSet& row)
{
    ProductoLeido producto;
    producto.codigo = row.text(QStringLiteral("CodigoProducto"));
    producto.nombre = row.text(QStringLiteral("NombreProducto"));
    producto.precioCosto = A_Texto(row.number(QStringLiteral("PrecioCosto")));
    producto.precioVenta = A_Texto(row.number(QStringLiteral("PrecioVenta")));
    producto.categoria = row.text(QStringLiteral("Categoria"));
    producto.cantidad = numberOrZero(row, QStringLiteral("Cantidad"));
    producto.stockCritico = numberOrZero(row, QStringLiteral("StockCritico"));
    return producto;
}

}   // namespace

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform)
{
    setWindowTitle(WINDOW_CAPTION);
    setWindowState(Qt::WindowMaximized);
    setCentralWidget(new QWidget(this));
    construirPanel();
    construirEntrada();
    construirTotal();
    conectarEventos();
}

void Form1::construirPanel()
{
    Picture1 = new QWidget(centralWidget());
    placeTwips(Picture1, 0, 0, PANEL_WIDTH, PANEL_HEIGHT);

    Label13 = label(Picture1, QStringLiteral("LISTA DE PRODUTOS A SEREM VENDIDOS"), 14, Qt::AlignCenter);
    Label13->setAutoFillBackground(true);
    Label13->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    placeTwips(Label13, 0, 0, 15135, 495);

    ListView1 = new ReportList(Picture1);
    placeTwips(ListView1, 0, 480, 15135, 5295);

    Label17 = label(Picture1, QString(), 12);
    Label17->setStyleSheet(QStringLiteral("color: red;"));
    Label17->hide();
    placeTwips(Label17, 120, 5880, 5295, 375);

    Check1 = new QCheckBox(QStringLiteral("Quantidade Manual"), Picture1);
    Check1->setFont(boldFont(12));
    placeTwips(Check1, 5520, 5880, 3015, 495);

    Picture2 = new QWidget(Picture1);
    placeTwips(Picture2, 0, 6360, 15135, 3135);
}

void Form1::construirEntrada()
{
    Frame2 = new QFrame(Picture2);
    placeTwips(Frame2, 120, -120, 8175, 3135);

    Label18 = label(Frame2, QStringLiteral("DEDUZIR PRODUTO"), 12, Qt::AlignCenter);
    Label18->setAutoFillBackground(true);
    Label18->setStyleSheet(QStringLiteral("background-color: yellow; color: black;"));
    Label18->hide();
    placeTwips(Label18, 2880, 360, 3255, 375);

    Label5 = label(Frame2, QStringLiteral("Código do Produto"), 12);
    placeTwips(Label5, 120, 720, 2775, 495);
    Text7 = entryBox(Frame2, 15);
    placeTwips(Text7, 2880, 720, 2655, 495);

    Command3 = new QPushButton(Frame2);
    Command3->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Command3->setToolTip(QStringLiteral("Buscar produto pelo nome"));
    placeTwips(Command3, 5640, 720, 495, 495);

    Command1 = new QPushButton(QStringLiteral("PAGAR"), Frame2);
    Command1->setFont(boldFont(16));
    placeTwips(Command1, 6240, 720, 1815, 975);

    Label6 = label(Frame2, QStringLiteral("Quantidade"), 12);
    placeTwips(Label6, 120, 1320, 1815, 495);
    Text8 = entryBox(Frame2, 6);
    Text8->setAutoFillBackground(true);
    placeTwips(Text8, 2880, 1320, 1335, 495);

    Command2 = new QPushButton(QStringLiteral("CANCELAR"), Frame2);
    Command2->setFont(boldFont(12));
    placeTwips(Command2, 360, 2280, 2655, 615);
}

void Form1::construirTotal()
{
    Frame3 = new QFrame(Picture2);
    placeTwips(Frame3, 8280, -120, 6615, 3135);

    Label7 = label(Frame3, QStringLiteral("TOTAL"), 24, Qt::AlignCenter);
    placeTwips(Label7, 2400, 240, 1935, 735);
    Label8 = label(Frame3, QString(), 36, Qt::AlignCenter);
    placeTwips(Label8, 240, 960, 6135, 975);
}

void Form1::conectarEventos()
{
    // A click leaves the focus where the scanner types; the keyboard still reaches them with Tab.
    for (QWidget* control : {static_cast<QWidget*>(Check1), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3)})
        control->setFocusPolicy(Qt::TabFocus);
    KeyFilter::install(Text7, KeyFilter::digits, [this] { Text7_Enter(); });
    KeyFilter::install(Text8, KeyFilter::digitsCommaPoint, [this] { Text8_Enter(); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void Form1::setVisible(bool visible)
{
    if (visible && !loaded_) {
        loaded_ = true;
        guarded(platform_.prompter, [this] { Form_Load(); });
    }
    QMainWindow::setVisible(visible);
}

void Form1::Form_Load()
{
    Preparar_Listas();
    Leer_Resolucion();
    Centrar_Panel();
    Text7->clear();
    Text8->clear();
    Text8->setEnabled(false);
    Limpiar_Venta();
    Text7->setFocus();
}

void Form1::Preparar_Listas()
{
    ListView1->setColumns({{QStringLiteral("_"), 0},
                           {QStringLiteral("Código"), 1900},
                           {QStringLiteral("Nome"), 6700},
                           {QStringLiteral("Quantidade"), 1500, Qt::AlignRight},
                           {QStringLiteral("Valor Unitário"), 2200, Qt::AlignCenter},
                           {QStringLiteral("Valor Total"), 2200, Qt::AlignCenter},
                           {QStringLiteral("1/0"), 0, Qt::AlignCenter},
                           {QStringLiteral("Categoria"), 0, Qt::AlignCenter}});
    ListView1->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
    ListView1->setFontSize(18);
}

void Form1::Leer_Resolucion()
{
    const QSize pixels = platform_.screen.size();
    Text1 = QString::number(pixels.width());
    Text2 = QString::number(pixels.height());
}

void Form1::Centrar_Panel()
{
    const PanelPosition position =
        panelPosition(Valor_Inicial(Text1), Valor_Inicial(Text2), PANEL_WIDTH, PANEL_HEIGHT);
    Picture1->move(twipsToPixels(position.left), twipsToPixels(position.top));
}

// A failure of the database or of a conversion stops the entry where it was:
// the sale is untouched and the boxes are as before the key, so the cashier
// can try again.
template <typename Action>
void Form1::Proteger_Entrada(Action&& action)
{
    const QString codigo = Text7->text();
    const QString cantidad = Text8->text();
    const bool codigoActivo = Text7->isEnabled();
    const bool cantidadActiva = Text8->isEnabled();
    const bool manualActivo = Check1->isEnabled();
    bool completed = false;
    guarded(platform_.prompter, [&] {
        action();
        completed = true;
    });
    if (completed)
        return;
    Text7->setText(codigo);
    Text8->setText(cantidad);
    Text7->setEnabled(codigoActivo);
    Text8->setEnabled(cantidadActiva);
    Check1->setEnabled(manualActivo);
    (cantidadActiva ? Text8 : Text7)->setFocus();
}

void Form1::Text7_Enter()
{
    Proteger_Entrada([this] {
        const QString codigo = Text7->text();
        if (codigo.isEmpty()) {
            platform_.prompter.ok(MSG_CODIGO_VACIO);
            return;
        }
        const std::optional<ProductoLeido> producto = Buscar_Producto(codigo);
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
            platform_.prompter.ok(MSG_CODIGO_INEXISTENTE);
            Text7->clear();
        }
    });
}

// The first product with the code, in name order.
std::optional<ProductoLeido> Form1::Buscar_Producto(const QString& codigo)
{
    Connection conexion(platform_.folder);
    RecordSet productos(conexion, Query::ProductosPorNombre, RecordSet::Equals{QStringLiteral("CodigoProducto"), codigo});
    if (productos.eof())
        return std::nullopt;
    return Leer_Producto(productos);
}

void Form1::Text8_Enter()
{
    Proteger_Entrada([this] {
        if (Text8->text().isEmpty()) {
            platform_.prompter.ok(MSG_CANTIDAD_VACIA);
            return;
        }
        if (A_Numero(Text8->text()) != 0)
            Agregar_Producto();
        else
            Reiniciar_Entrada();
    });
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
        platform_.prompter.ok(MSG_CODIGO_INEXISTENTE);
        Reiniciar_Entrada();
        return;
    }
    if (!ListView2.isEmpty()) {
        Sumar_A_Linea(*producto);
        Mostrar_Lista();
    } else {
        Nueva_Linea(*producto);
        Text13 = ListView2.first().cantidad;
        Mostrar_Linea();
    }
    Reiniciar_Entrada();
    Text14 = A_Texto(producto->stockCritico);
    Text15 = A_Texto(producto->cantidad);
    Verificar_Stock_Critico(*producto);
    Calcular_Total();
    Mostrar_Total();
}

void Form1::Sumar_A_Linea(const ProductoLeido& producto)
{
    for (LineaVenta& linea : ListView2) {
        if (linea.codigo == Text7->text()) {
            sumarCantidad(linea, A_Numero(Text8->text()));
            Text13 = linea.cantidad;
            return;
        }
    }
    Nueva_Linea(producto);
    Text13 = Text8->text();
}

void Form1::Nueva_Linea(const ProductoLeido& producto)
{
    ListView2.append(nuevaLinea(producto, Text8->text(), static_cast<int>(ListView2.size()) + 1));
}

void Form1::Mostrar_Linea()
{
    const int posicion = ListView1->rowCount() + 1;
    ListView1->addRow(filaVisible(ListView2.at(posicion - 1), posicion));
}

void Form1::Mostrar_Lista()
{
    QList<QStringList> filas;
    filas.reserve(ListView2.size());
    for (const LineaVenta& linea : ListView2)
        filas.append(filaVisible(linea, static_cast<int>(filas.size()) + 1));
    ListView1->setRows(std::move(filas));
}

void Form1::Verificar_Stock_Critico(const ProductoLeido& producto)
{
    const double restante = producto.cantidad - A_Numero(Text13);
    Label17->setText(producto.nombre);
    const bool critico = producto.stockCritico >= restante;
    Pintar_Cantidad(critico ? WARNING_RED : NORMAL_WHITE);
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
    double total = 0;
    for (const LineaVenta& linea : ListView2)
        total += A_Numero(linea.ventaTotal);
    Label8->setText(A_Texto(total));
}

void Form1::Mostrar_Total()
{
    Text9 = Label8->text();
    Label8->setText(textoTotal(Text9));
}

void Form1::Limpiar_Venta()
{
    ListView1->clear();
    ListView2.clear();
    Text7->clear();
    Text8->clear();
    Text7->setEnabled(true);
    Text8->setText(QStringLiteral("1"));
    Text8->setEnabled(false);
    Check1->setEnabled(true);
    Label8->setText(QStringLiteral("0"));
    Label8->setText(Formato(A_Numero(Label8->text()), FORMATO_REAIS_INTEIRO));
    Pintar_Cantidad(NORMAL_WHITE);
    Label17->hide();
    Label18->hide();
}

void Form1::Command1_Click()
{
    if (ListView1->rowCount() == 0) {
        platform_.prompter.ok(MSG_LISTA_VACIA);
        Text7->setFocus();
    }
}

void Form1::Command2_Click()
{
    Limpiar_Venta();
    Text7->setFocus();
}
