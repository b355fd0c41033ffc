#include "catalogue/form9.h"

#include "catalogue/exportar_excel.h"
#include "catalogue/product_rows.h"
#include "catalogue/stock_total.h"
#include "common/key_filter.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "common/twips.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/like_match.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace {

constexpr double PANEL_WIDTH = 15135;    // twips
constexpr double PANEL_HEIGHT = 10215;   // twips
constexpr int COSTO_TOTAL = 7;           // list column of the stock value at cost

const QString MSG_SIN_NOMBRE = QStringLiteral("Você deve inserir o Nome do Produto a ser pesquisado");
const QString MSG_SIN_CODIGO = QStringLiteral("Você deve inserir o Código do Produto a ser pesquisado");
const QString MSG_SIN_CATEGORIA = QStringLiteral("Você deve inserir o Nome da Categoria a ser pesquisada");
const QString MSG_NO_ENCONTRADO = QStringLiteral("O Produto não foi encontrado");
const QString MSG_CATEGORIA_VACIA = QStringLiteral("Esta Categoria não contém Produtos");
const QString MSG_SIN_CRITICOS = QStringLiteral("Não foram encontrados Produtos em estado crítico");
const QString MSG_NADA_QUE_EXPORTAR = QStringLiteral("No existe nada que exportar");
const QString TOTAL = QStringLiteral("Total de Investimento ");
const QString TOTAL_EN_CURSO = QStringLiteral("Total de Investimento: calculando...");

const QColor CRITICAL_TEXT_COLOR(255, 0, 0);

// The whole catalogue by name, its row ids read in steps.
const SteppedListing POR_NOMBRE{Query::IdsPorNombrePrimeros, Query::IdsPorNombreDespues, Query::IdsPorNombre};
// The products in critical state by name, the same way: their index holds
// the names alone, so each row read is looked up in the table, a few
// hundredths of a second per step.
const SteppedListing CRITICOS{Query::IdsCriticosPrimeros, Query::IdsCriticosDespues, Query::IdsCriticos, 2000};

}   // namespace

Form9::Form9(Platform& platform, QWidget* parent) : Window(platform, parent), pasosInversion_(new QTimer(this))
{
    setFillsScreen();
    construirControles();
    conectarEventos();
    pasosInversion_->setInterval(0);
    showFailedSteps(ListView1);
}

Form9::~Form9() = default;

void Form9::construirControles()
{
    Picture1 = new QWidget(centralWidget());
    Label1 = new QLabel(Picture1);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    Option1 = new QRadioButton(Picture1);
    Option2 = new QRadioButton(Picture1);
    Option3 = new QRadioButton(Picture1);
    Text1 = new QLineEdit(Picture1);
    Text1->setMaxLength(40);
    Text2 = new QLineEdit(Picture1);
    Text2->setMaxLength(15);
    Text2->setAlignment(Qt::AlignCenter);
    Combo1 = new QComboBox(Picture1);
    Command2 = new QPushButton(Picture1);
    Command3 = new QPushButton(Picture1);
    Command1 = new QPushButton(Picture1);
    ProgressBar1 = new QProgressBar(Picture1);
    ProgressBar1->setTextVisible(false);
    ListView1 = new ReportList(Picture1);
    Label2 = new QLabel(Picture1);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    declareControls({
        {Picture1, "Picture1", 0, 0, PANEL_WIDTH, PANEL_HEIGHT},
        {Label1, "Label1", 0, 0, 15135, 495, "ESTOQUE COMPLETO", 14},
        {Option1, "Option1", 240, 600, 2895, 375, "Nome do Produto", 10},
        {Option2, "Option2", 240, 1020, 2895, 375, "Código do Produto", 10},
        {Option3, "Option3", 240, 1440, 2895, 375, "Por Categoria", 10},
        {Text1, "Text1", 3240, 600, 4815, 375, {}, 10},
        {Text2, "Text2", 3240, 1020, 2415, 375, {}, 10},
        {Combo1, "Combo1", 3240, 1440, 4815, 375, {}, 10},
        {Command2, "Command2", 8280, 600, 1695, 735, "BUSCAR", 12},
        {Command3, "Command3", 10080, 600, 2415, 735, "Estoque Crítico", 12},
        {Command1, "Command1", 12600, 600, 2295, 735, "Exportar", 12},
        {ProgressBar1, "ProgressBar1", 8280, 1440, 6615, 375},
        {ListView1, "ListView1", 0, 1920, 15135, 7575},
        {Label2, "Label2", 240, 9600, 14655, 495, {}, 14},
    });
}

void Form9::conectarEventos()
{
    on(Option1, &QRadioButton::toggled, [this] { if (Option1->isChecked()) Option1_Click(); });
    on(Option2, &QRadioButton::toggled, [this] { if (Option2->isChecked()) Option2_Click(); });
    on(Option3, &QRadioButton::toggled, [this] { if (Option3->isChecked()) Option3_Click(); });
    on(Combo1, &QComboBox::activated, [this] { Buscar(); });
    on(Command2, &QPushButton::clicked, [this] { Buscar(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    filterKeys(Text1, KeyFilter::anyCharacter, [this] { Buscar(); });
    filterKeys(Text2, KeyFilter::digits, [this] { Buscar(); });
    connect(pasosInversion_, &QTimer::timeout, this, [this] {
        if (!run([this] { Seguir_Inversion(); })) {
            Parar_Inversion();
            Label2->clear();
        }
    });
}

void Form9::Form_Load()
{
    bool vacio = false;
    {
        Connection conexion(platform().folder);
        RecordSet productos(conexion, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
        vacio = productos.isEmpty();
    }
    Preparar_Lista();
    Centrar_Panel();
    Label2->clear();
    Command1->setEnabled(false);
    ProgressBar1->setValue(0);
    if (vacio) {
        Deshabilitar_Busquedas();
        return;
    }
    if (Option1->isChecked())
        Option1_Click();
    else
        Option1->setChecked(true);
    Text1->setFocus();
}

// An empty catalogue leaves the window good only for closing.
void Form9::Deshabilitar_Busquedas()
{
    for (QWidget* control : {static_cast<QWidget*>(Option1), static_cast<QWidget*>(Option2),
                             static_cast<QWidget*>(Option3), static_cast<QWidget*>(Text1),
                             static_cast<QWidget*>(Text2), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Combo1)})
        control->setEnabled(false);
}

void Form9::Preparar_Lista()
{
    ListView1->setColumns({{QStringLiteral("Item"), 800},
                           {QStringLiteral("Código"), 1600, Qt::AlignLeft, Qt::ElideLeft},
                           {QStringLiteral("Nome"), 4500},
                           {QStringLiteral("Quantidade"), 1500, Qt::AlignRight},
                           {QStringLiteral("Preço Custo"), 1800, Qt::AlignRight},
                           {QStringLiteral("Preço Venda"), 1800, Qt::AlignRight},
                           {QStringLiteral("Categoria"), 3000},
                           {QStringLiteral("Custo Total"), 1600, Qt::AlignRight},
                           {QStringLiteral("Venda Total"), 1600, Qt::AlignRight}});
    ListView1->setFontSize(12);
    Colores_Busqueda();
    ListView1->clear();
}

void Form9::Centrar_Panel()
{
    placePanel(Picture1, platform().screen.size(), PANEL_WIDTH, PANEL_HEIGHT);
}

void Form9::Colores_Busqueda()
{
    ListView1->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
}

// Empties the boxes, the total line and the list for the name or category mode.
void Form9::Limpiar_Modo(bool vaciarCodigo)
{
    Parar_Inversion();
    Text1->clear();
    if (vaciarCodigo)
        Text2->clear();
    Label2->clear();
}

void Form9::Option1_Click()
{
    Limpiar_Modo(true);
    Combo1->clear();
    ListView1->clear();
    Command1->setEnabled(false);
    Combo1->setEnabled(false);
    Text2->setEnabled(false);
    Text1->setEnabled(true);
    Text1->setFocus();
}

// The list, the code box and the export button stay as they were.
void Form9::Option2_Click()
{
    Limpiar_Modo(false);
    Text1->setEnabled(false);
    Text2->setEnabled(true);
    Combo1->setEnabled(false);
    Text2->setFocus();
}

void Form9::Option3_Click()
{
    Limpiar_Modo(true);
    Command1->setEnabled(false);
    ListView1->clear();
    Text1->setEnabled(false);
    Text2->setEnabled(false);
    Combo1->setEnabled(true);
    Combo1->clear();
    QStringList categorias;
    {
        Connection conexion(platform().folder);
        RecordSet filas(conexion, Query::Categorias, RecordSet::Mode::ReadOnlyList);
        for (; !filas.eof(); filas.moveNext())
            categorias.append(filas.text(Productos::Categoria));
    }
    Combo1->addItems(categorias);
    Combo1->setCurrentIndex(-1);
    Combo1->setFocus();
}

void Form9::Buscar()
{
    Parar_Inversion();
    if (Option1->isChecked())
        Buscar_Nombre();
    else if (Option2->isChecked())
        Buscar_Codigo();
    else
        Buscar_Categoria();
    Calcular_Inversion();
}

// The fields a listing reads, found once in the query before its rows are walked.
struct Form9::Columnas {
    explicit Columnas(const RecordSet& productos)
        : codigo(productos.column(Productos::CodigoProducto)),
          nombre(productos.column(Productos::NombreProducto)),
          cantidad(productos.column(Productos::Cantidad)),
          costo(productos.column(Productos::PrecioCosto)),
          venta(productos.column(Productos::PrecioVenta)),
          categoria(productos.column(Productos::Categoria)),
          critico(productos.column(Productos::StockCritico))
    {
    }
    int codigo, nombre, cantidad, costo, venta, categoria, critico;
};

// Walks the set to its end and builds the entries of the rows it includes.
QList<QStringList> Form9::Leer_Filas(RecordSet& productos, const Incluir& incluir)
{
    const Columnas columnas(productos);
    QList<QStringList> filas;
    for (; !productos.eof(); productos.moveNext()) {
        if (!incluir || incluir(productos, columnas))
            filas.append(Agregar_Fila(productos, columnas, int(filas.size()) + 1));
    }
    return filas;
}

// The quantity and prices are read once as numbers and written as the store writes them.
QStringList Form9::Agregar_Fila(const RecordSet& productos, const Columnas& columnas, int item)
{
    const double cantidad = productos.number(columnas.cantidad);
    const double costo = productos.number(columnas.costo);
    const double venta = productos.number(columnas.venta);
    QStringList fila;
    fila.reserve(9);
    fila << QString::number(item) << productos.text(columnas.codigo) << productos.text(columnas.nombre)
         << A_Texto(cantidad) << A_Texto(costo) << A_Texto(venta) << productos.text(columnas.categoria)
         << A_Texto(cantidad * costo) << A_Texto(cantidad * venta);
    return fila;
}

// A product's texts as its row shows them, after the running number.
QStringList Form9::Textos_De(const RecordSet& producto)
{
    return Agregar_Fila(producto, Columnas(producto), 0).mid(1);
}

// A listing of many products: their row ids in its order, each row's entry
// made when it is shown, and the stock value summed in steps; `productos`
// selects the same products with their fields, for the export's walk.
void Form9::Mostrar_Productos(Connection& conexion, const SteppedListing& listado, const QueryText& valores,
                              const QueryText& productos)
{
    Sumar_Inversion(conexion, valores);
    listado_ = StockListing{&productos, {}, &listado.all};
    ListView1->setSource(std::make_shared<ProductRows>(platform().folder, conexion, listado, Textos_De));
}

void Form9::Mostrar_Busqueda(Connection& conexion, const QString& texto)
{
    const QVariantList parametros{likeLiteral(texto)};
    Sumar_Inversion(conexion, Query::CantidadYCostoBusqueda, parametros);
    listado_ = StockListing{&Query::ProductosBusqueda, parametros};
    ListView1->setSource(
        std::make_shared<ProductRows>(platform().folder, rowIdsOf(conexion, Query::IdsBusqueda, parametros), Textos_De));
}

void Form9::Mostrar_Filas(QList<QStringList> filas)
{
    Parar_Inversion();
    listado_.reset();
    ListView1->setRows(std::move(filas));
}

// The first step in the filling action: a product whose quantity or price
// cannot be read stops the listing there, as reading its row would.
void Form9::Sumar_Inversion(Connection& conexion, const QueryText& valores, const QVariantList& parametros)
{
    Parar_Inversion();
    inversion_ = std::make_unique<StockTotal>(platform().folder, valores, parametros);
    if (!inversion_->step(conexion))
        pasosInversion_->start();
}

void Form9::Seguir_Inversion()
{
    if (!inversion_ || !inversion_->step())
        return;
    pasosInversion_->stop();
    if (muestraInversion_)
        Calcular_Inversion();
}

void Form9::Parar_Inversion()
{
    pasosInversion_->stop();
    inversion_.reset();
    muestraInversion_ = false;
}

// After a listing: the export follows whether it found anything.
void Form9::Terminar_Listado(QWidget* box, const QString& sinResultado)
{
    if (!ListView1->isEmpty()) {
        Command1->setEnabled(true);
        return;
    }
    platform().prompter.ok(sinResultado);
    box->setFocus();
    if (auto* lineEdit = qobject_cast<QLineEdit*>(box))
        lineEdit->clear();
    Command1->setEnabled(false);
}

// "*" lists the whole catalogue once, in name order; any other text is
// looked for anywhere in the name, its "%" and "_" meaning themselves.
void Form9::Buscar_Nombre()
{
    ListView1->clear();
    if (Text1->text().isEmpty()) {
        platform().prompter.ok(MSG_SIN_NOMBRE);
        return;
    }
    Colores_Busqueda();
    {
        Connection conexion(platform().folder);
        if (Text1->text() == QStringLiteral("*"))
            Mostrar_Productos(conexion, POR_NOMBRE, Query::CantidadYCosto, Query::ProductosListado);
        else
            Mostrar_Busqueda(conexion, Text1->text());
    }
    Terminar_Listado(Text1, MSG_NO_ENCONTRADO);
}

void Form9::Buscar_Codigo()
{
    ListView1->clear();
    Colores_Busqueda();
    if (Text2->text().isEmpty()) {
        platform().prompter.ok(MSG_SIN_CODIGO);
        Command1->setEnabled(false);
        Text2->setFocus();
        return;
    }
    {
        Connection conexion(platform().folder);
        RecordSet productos(conexion, Query::ProductosListado,
                            RecordSet::Equals{Productos::CodigoProducto, Text2->text()},
                            RecordSet::Mode::ReadOnlyList);
        Mostrar_Filas(Leer_Filas(productos));
    }
    Text2->clear();
    Terminar_Listado(Text2, MSG_NO_ENCONTRADO);
    Text2->setFocus();
}

void Form9::Buscar_Categoria()
{
    ListView1->clear();
    Colores_Busqueda();
    const QString categoria = Combo1->currentText();
    {
        Connection conexion(platform().folder);
        RecordSet productos(conexion, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
        if (!productos.isEmpty() && categoria.isEmpty()) {
            platform().prompter.ok(MSG_SIN_CATEGORIA);
            Command1->setEnabled(false);
            Combo1->setFocus();
            return;
        }
        const QString buscada = categoria.toCaseFolded();
        Mostrar_Filas(Leer_Filas(productos, [&buscada](const RecordSet& fila, const Columnas& columnas) {
            return fila.text(columnas.categoria).toCaseFolded() == buscada;
        }));
    }
    Terminar_Listado(Combo1, MSG_CATEGORIA_VACIA);
}

void Form9::Command3_Click()
{
    Parar_Inversion();
    ListView1->clear();
    Text1->clear();
    Text2->clear();
    Label2->clear();
    Combo1->clear();
    {
        Connection conexion(platform().folder);
        Mostrar_Productos(conexion, CRITICOS, Query::CantidadYCostoCriticos, Query::ProductosCriticos);
    }
    if (!ListView1->isEmpty())
        ListView1->setColors(CRITICAL_TEXT_COLOR, QApplication::palette().color(QPalette::Base));
    if (!ListView1->isEmpty()) {
        Command1->setEnabled(true);
    } else {
        platform().prompter.ok(MSG_SIN_CRITICOS);
        Command1->setEnabled(false);
    }
    // The category option alone loses its selection; the boxes keep their states.
    if (Option3->isChecked()) {
        Option3->setAutoExclusive(false);
        Option3->setChecked(false);
        Option3->setAutoExclusive(true);
    }
}

// A listing read as row ids shows its total once summed; one kept as texts
// adds up its rows' "Custo Total".
void Form9::Calcular_Inversion()
{
    if (inversion_ && !inversion_->value()) {
        muestraInversion_ = true;
        Label2->setText(TOTAL_EN_CURSO);
        return;
    }
    double suma = inversion_ ? *inversion_->value() : 0;
    if (!inversion_) {
        for (int row = 0; row < ListView1->rowCount(); ++row)
            suma += A_Numero(ListView1->text(row, COSTO_TOTAL));
    }
    Label2->setText(TOTAL + Formato(suma, FORMATO_REAIS_3));
}

void Form9::Command1_Click()
{
    if (ListView1->isEmpty()) {
        platform().prompter.ok(MSG_NADA_QUE_EXPORTAR);
        return;
    }
    if (listado_)
        Exportar_Excel(platform().folder, *listado_, ListView1->rowCount(), ProgressBar1, platform().spreadsheet,
                       platform().prompter);
    else
        Exportar_Excel(*ListView1, ProgressBar1, platform().spreadsheet, platform().prompter);
}
