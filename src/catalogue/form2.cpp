#include "catalogue/form2.h"

#include "catalogue/product_rows.h"

#include "common/key_filter.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "common/twips.h"
#include "dialogs/form10.h"
#include "store/collation.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/unit_of_work.h"

#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

constexpr double PANEL_WIDTH = 15135;    // twips
constexpr double PANEL_HEIGHT = 10215;   // twips

const QString MSG_CODIGO_VACIO = QStringLiteral("É necessário inserir o código do produto");
const QString MSG_DATOS_FALTANTES =
    QStringLiteral("Todos os dados obrigatórios devem ser preenchidos para que seja salvo");
const QString MSG_NOMBRE_REPETIDO = QStringLiteral("O nome do produto não pode ser igual a um já existente");
const QString MSG_EN_OFERTA =
    QStringLiteral("No se puede eliminar el producto mientras esté compuesto dentro de una oferta");
const QString MSG_CONFIRMAR_EXCLUSION = QStringLiteral("Você tem certeza que deseja excluir o registro deste Produto?");
const QString TITULO_CONFIRMAR_EXCLUSION = QStringLiteral("Confirmar Exclusão");

// The listings by name and by code read their row ids in steps.
const SteppedListing POR_NOMBRE{Query::IdsPorNombrePrimeros, Query::IdsPorNombreDespues, Query::IdsPorNombre};
const SteppedListing POR_CODIGO{Query::IdsPorCodigoPrimeros, Query::IdsPorCodigoDespues, Query::IdsPorCodigo};

// The sort box's entries and the row ids of each order, in the box's order.
struct Orden {
    QString entrada;
    const QueryText& ids;
};
const Orden ORDENES[] = {
    {QStringLiteral("CODIGO"), Query::IdsPorCodigo},
    {QStringLiteral("NOMBRE PRODUCTO"), Query::IdsPorNombre},
    {QStringLiteral("CANTIDAD"), Query::IdsPorCantidad},
};

QLineEdit* entryBox(QWidget* parent, int maxLength)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    return box;
}

// The fields of a list entry, found once in the query before its rows are walked.
struct ColumnasDeLista {
    explicit ColumnasDeLista(const RecordSet& row)
        : codigo(row.column(Productos::CodigoProducto)), nombre(row.column(Productos::NombreProducto)),
          cantidad(row.column(Productos::Cantidad)), costo(row.column(Productos::PrecioCosto)),
          venta(row.column(Productos::PrecioVenta)), categoria(row.column(Productos::Categoria))
    {
    }
    int codigo, nombre, cantidad, costo, venta, categoria;
};

// A price of 0 reads "R$ 0"; any other as the number itself.
QString precioEnLista(const RecordSet& row, int column)
{
    if (row.isNull(column))
        return {};
    return row.number(column) == 0 ? QStringLiteral("R$ 0") : row.text(column);
}

// A product's list entry after its running number.
QStringList Fila(const RecordSet& row)
{
    const ColumnasDeLista columnas(row);
    QStringList fila;
    fila.reserve(7);
    fila << row.text(columnas.codigo) << row.text(columnas.nombre) << row.text(columnas.cantidad)
         << precioEnLista(row, columnas.costo) << precioEnLista(row, columnas.venta) << row.text(columnas.categoria);
    return fila;
}

bool sinEspacios(const QString& text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

// Only the space counts: tabs and other blanks stay.
QString recortarEspacios(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == QLatin1Char(' '))
        ++start;
    while (end > start && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

}   // namespace

Form2::Form2(Platform& platform, QWidget* parent) : Window(platform, parent)
{
    setFillsScreen();
    construirControles();
    conectarEventos();
    showFailedSteps(ListView1);
}

void Form2::construirControles()
{
    Picture1 = new QWidget(centralWidget());
    Label1 = new QLabel(Picture1);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("background-color: black; color: white;"));

    Frame1 = new QFrame(Picture1);
    Frame1->setFrameShape(QFrame::StyledPanel);
    Label2 = new QLabel(Frame1);
    Text1 = entryBox(Frame1, 15);
    Command7 = new QPushButton(Frame1);
    Label3 = new QLabel(Frame1);
    Text2 = entryBox(Frame1, 40);
    Label4 = new QLabel(Frame1);
    Text3 = entryBox(Frame1, 8);
    Label5 = new QLabel(Frame1);
    Text4 = entryBox(Frame1, 7);
    Label6 = new QLabel(Frame1);
    Text5 = entryBox(Frame1, 7);
    Label7 = new QLabel(Frame1);
    Text6 = entryBox(Frame1, 5);
    Text6->setAlignment(Qt::AlignCenter);
    Label8 = new QLabel(Frame1);
    Combo2 = new QComboBox(Frame1);
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);

    Frame2 = new QFrame(Picture1);
    Frame2->setFrameShape(QFrame::StyledPanel);
    Command3 = new QPushButton(Frame2);
    Command4 = new QPushButton(Frame2);
    Command5 = new QPushButton(Frame2);
    Label9 = new QLabel(Frame2);
    Combo1 = new QComboBox(Frame2);

    ListView1 = new ReportList(Picture1);

    declareControls({
        {Picture1, "Picture1", 0, 0, PANEL_WIDTH, PANEL_HEIGHT},
        {Label1, "Label1", 0, 0, 15135, 495, "EDIÇÃO DE PRODUTOS", 14},
        {Frame1, "Frame1", 120, 600, 9255, 4095},
        {Label2, "Label2", 120, 240, 2160, 435, "Código", 12},
        {Text1, "Text1", 2400, 240, 2655, 435, {}, 14},
        {Command7, "Command7", 5160, 240, 1455, 435, "Buscar", 12},
        {Label3, "Label3", 120, 780, 2160, 435, "Nome", 12},
        {Text2, "Text2", 2400, 780, 6735, 435, {}, 14},
        {Label4, "Label4", 120, 1320, 2160, 435, "Quantidade", 12},
        {Text3, "Text3", 2400, 1320, 1815, 435, {}, 14},
        {Label5, "Label5", 120, 1860, 2160, 435, "Preço Custo", 12},
        {Text4, "Text4", 2400, 1860, 1815, 435, {}, 14},
        {Label6, "Label6", 120, 2400, 2160, 435, "Preço Venda", 12},
        {Text5, "Text5", 2400, 2400, 1815, 435, {}, 14},
        {Label7, "Label7", 120, 2940, 2160, 435, "Estoque Crítico", 12},
        {Text6, "Text6", 2400, 2940, 1815, 435, {}, 14},
        {Label8, "Label8", 120, 3480, 2160, 435, "Categoria", 12},
        {Combo2, "Combo2", 2400, 3480, 4215, 435, {}, 14},
        {Frame2, "Frame2", 9495, 600, 5520, 4095},
        {Command3, "Command3", 360, 240, 4800, 615, "Salvar", 14},
        {Command4, "Command4", 360, 960, 4800, 615, "Excluir", 14},
        {Command5, "Command5", 360, 1680, 4800, 615, "cancelar", 14},
        {Label9, "Label9", 360, 2700, 4800, 375, "Ordenar Por:", 12},
        {Combo1, "Combo1", 360, 3120, 4800, 435, {}, 12},
        {ListView1, "ListView1", 0, 4800, 15135, 5415},
    });

    Text2->setEnabled(false);
    Text3->setEnabled(false);
    Text4->setEnabled(false);
    Text5->setEnabled(false);
    Text6->setEnabled(false);
    Combo2->setEnabled(false);
    Command4->setEnabled(false);
    // Clicks leave the keyboard in the box being typed in; Tab still reaches every control.
    for (QWidget* control : {static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command4),
                             static_cast<QWidget*>(Command5), static_cast<QWidget*>(Command7),
                             static_cast<QWidget*>(Combo1)})
        control->setFocusPolicy(Qt::TabFocus);
    ListView1->setFocusPolicy(Qt::NoFocus);
    const QList<QWidget*> ordenTab = {Text1, Text2, Text3, Text4, Text5, Text6, Combo2, Command3, Command4, Command5, Command7};
    for (qsizetype i = 1; i < ordenTab.size(); ++i)
        setTabOrder(ordenTab[i - 1], ordenTab[i]);
}

void Form2::conectarEventos()
{
    filterKeys(Text1, KeyFilter::digits, [this] { Text1_Enter(); });
    filterKeys(Text3, KeyFilter::digitsCommaPoint);
    filterKeys(Text4, KeyFilter::digitsCommaPoint);
    filterKeys(Text5, KeyFilter::digitsCommaPoint);
    filterKeys(Text6, KeyFilter::digits);
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5, Text6})
        box->installEventFilter(this);
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    on(Command5, &QPushButton::clicked, [this] { Command5_Click(); });
    on(Command7, &QPushButton::clicked, [this] { Command7_Click(); });
    on(Combo1, &QComboBox::activated, [this] { Combo1_Click(); });
    on(ListView1, &QAbstractItemView::clicked, [this] { ListView1_Click(); });
}

// The clipboard guard: a mouse button pressed over an entry box empties the clipboard.
bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(QString());
    }
    return Window::eventFilter(watched, event);
}

void Form2::Form_Load()
{
    Preparar_Lista();
    placePanel(Picture1, platform().screen.size(), PANEL_WIDTH, PANEL_HEIGHT);
    Listar(Query::IdsPorNombre);
    for (const Orden& orden : ORDENES)
        Combo1->addItem(orden.entrada);
    Combo1->setCurrentIndex(-1);
    Limpiar_Campos();
    Text1->setFocus();
}

void Form2::Preparar_Lista()
{
    ListView1->setColumns({{QStringLiteral("Item"), 800},
                           {QStringLiteral("Código"), 2100, Qt::AlignLeft, Qt::ElideLeft},
                           {QStringLiteral("Nome"), 5000},
                           {QStringLiteral("Quantidade"), 1300, Qt::AlignRight},
                           {QStringLiteral("Preço Custo"), 1800, Qt::AlignRight},
                           {QStringLiteral("Preço Venda"), 1800, Qt::AlignRight},
                           {QStringLiteral("Categoria"), 2500, Qt::AlignCenter}});
    ListView1->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
    ListView1->setFontSize(13);
}

void Form2::Cargar_Lista()
{
    Listar(Query::IdsPorNombre);
}

// The products' row ids in the order's sequence; a product's entry is made
// when its row is shown.
void Form2::Listar(const QueryText& ids)
{
    Connection conexion(platform().folder);
    listaLeida_ = conexion.dataMark();
    listaPorNombre_ = &ids == &Query::IdsPorNombre;
    if (listaPorNombre_)
        filas_ = std::make_shared<ProductRows>(platform().folder, conexion, POR_NOMBRE, Fila);
    else if (&ids == &Query::IdsPorCodigo)
        filas_ = std::make_shared<ProductRows>(platform().folder, conexion, POR_CODIGO, Fila);
    else
        filas_ = std::make_shared<ProductRows>(platform().folder, rowIdsOf(conexion, ids), Fila);
    Mostrar_Lista();
}

// The list shows its entries afresh: nothing selected, the first entries in view.
void Form2::Mostrar_Lista()
{
    ListView1->setSource(filas_);
}

// Whether the list shown still holds the catalogue as it is: nothing was
// written since it was read. Asked inside a writing transaction, so that no
// other program can write between the answer and the write.
bool Form2::Lista_Al_Dia(Connection& conexion) const
{
    return listaPorNombre_ && filas_ && listaLeida_ && listaLeida_ == conexion.dataMark();
}

// The saved product takes its place in name order, the entries after it
// renumbered by their places: the same list a new listing would give. A list
// in another order, or one read before something else was written, is listed
// afresh.
void Form2::Colocar_En_Lista(const Guardado& guardado)
{
    if (!guardado.listaAlDia) {
        Cargar_Lista();
        return;
    }
    filas_->remove(guardado.rowId);
    if (guardado.lugar)
        filas_->insert(*guardado.lugar, guardado.rowId);
    Mostrar_Lista();
}

// Every entry of a deleted code leaves the list.
void Form2::Quitar_De_Lista(const std::vector<qint64>& quitados, bool listaAlDia)
{
    if (!listaAlDia) {
        Cargar_Lista();
        return;
    }
    for (qint64 rowId : quitados)
        filas_->remove(rowId);
    Mostrar_Lista();
}

// The distinct categories as they are now: read again unless nothing was
// written since they were last read.
void Form2::Cargar_Categorias()
{
    Connection conexion(platform().folder);
    const std::optional<DataMark> ahora = conexion.dataMark();
    if (!ahora || ahora != categoriasLeidas_) {
        RecordSet categorias(conexion, Query::Categorias, RecordSet::Mode::ReadOnlyList);
        QStringList leidas;
        for (; !categorias.eof(); categorias.moveNext())
            leidas.append(categorias.text(Productos::Categoria));
        categorias_ = std::move(leidas);
        categoriasLeidas_ = ahora;
    }
    Combo2->clear();
    Combo2->addItems(categorias_);
    Combo2->setCurrentIndex(-1);
    Combo2->setEditText(QString());
}

void Form2::Habilitar_Edicion()
{
    Text1->setEnabled(false);
    for (QWidget* control : {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                             static_cast<QWidget*>(Text4), static_cast<QWidget*>(Text5),
                             static_cast<QWidget*>(Text6), static_cast<QWidget*>(Combo2)})
        control->setEnabled(true);
}

void Form2::Bloquear_Edicion()
{
    Text1->setEnabled(true);
    for (QWidget* control : {static_cast<QWidget*>(Text2), static_cast<QWidget*>(Text3),
                             static_cast<QWidget*>(Text4), static_cast<QWidget*>(Text5),
                             static_cast<QWidget*>(Text6), static_cast<QWidget*>(Combo2)})
        control->setEnabled(false);
    if (Frame1->isEnabled())
        Text1->setFocus();
}

void Form2::Limpiar_Campos()
{
    for (QLineEdit* box : {Text1, Text2, Text3, Text4, Text5})
        box->clear();
    Text6->setText(QStringLiteral("0"));
    Combo2->clear();
    Combo2->setEditText(QString());
    Copiar_Producto(QStringList(7));
}

void Form2::Text1_Enter()
{
    if (Text1->text().isEmpty()) {
        platform().prompter.ok(MSG_CODIGO_VACIO);
        return;
    }
    Buscar_Producto();
}

// The first product with the typed code, in name order, is loaded; a code
// not in the catalogue prepares a new product under it.
void Form2::Buscar_Producto()
{
    Cargar_Categorias();
    Connection conexion(platform().folder);
    RecordSet producto(conexion, Query::ProductosPorNombre, RecordSet::Equals{Productos::CodigoProducto, Text1->text()});
    Habilitar_Edicion();
    if (producto.eof()) {
        m_ = false;
        Command4->setEnabled(false);
    } else {
        const QStringList campos = Campos(producto);
        Mostrar_Producto(campos);
        Copiar_Producto(campos);
        m_ = true;
        Command4->setEnabled(true);
    }
    if (Text2->isEnabled())
        Text2->setFocus();
}

// The product's seven fields as text, in the order of the copy.
QStringList Form2::Campos(const RecordSet& producto)
{
    QStringList campos;
    for (const QString& campo : {Productos::CodigoProducto, Productos::NombreProducto, Productos::Cantidad,
                                 Productos::PrecioCosto, Productos::PrecioVenta, Productos::StockCritico,
                                 Productos::Categoria})
        campos.append(producto.text(campo));
    return campos;
}

// A stored value longer than its box (a price of 13 digits or more from an
// older import) is never cut into another value that a save would store:
// the box stays empty and the cashier is told what was stored.
void Form2::Mostrar_Producto(const QStringList& campos)
{
    const QList<std::pair<QLineEdit*, const QLabel*>> boxes = {
        {Text2, Label3}, {Text3, Label4}, {Text4, Label5}, {Text5, Label6}, {Text6, Label7}};
    QStringList longos;
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const auto& [box, label] = boxes[i];
        const QString& valor = campos[i + 1];
        box->setText(valor.size() > box->maxLength() ? QString() : valor);
        if (valor.size() > box->maxLength())
            longos.append(QStringLiteral("%1 (%2)").arg(label->text(), valor));
    }
    Combo2->setEditText(campos[6]);
    if (!longos.isEmpty())
        platform().prompter.ok(QStringLiteral("O valor gravado de %1 não cabe no campo e não foi mostrado. Digite o "
                                              "valor certo antes de salvar.")
                                   .arg(longos.join(QStringLiteral(", "))));
}

void Form2::Copiar_Producto(const QStringList& campos)
{
    const QList<QString*> copia = {&Text7, &Text8, &Text9, &Text10, &Text11, &Text12, &Text13};
    for (qsizetype i = 0; i < copia.size(); ++i)
        *copia[i] = campos[i];
}

// A name of spaces only counts as missing.
bool Form2::Faltan_Datos() const
{
    for (const QLineEdit* box : {Text1, Text3, Text4, Text5}) {
        if (box->text().isEmpty())
            return true;
    }
    return sinEspacios(Text2->text()) || Combo2->currentText().isEmpty();
}

// Each number box must hold a number by the system's settings before
// anything is written; the message names the box.
bool Form2::Numeros_Validos() const
{
    const QList<std::pair<const QLineEdit*, const QLabel*>> numeros = {
        {Text3, Label4}, {Text4, Label5}, {Text5, Label6}, {Text6, Label7}};
    for (const auto& [box, label] : numeros) {
        if (box->text().isEmpty() || lerNumero(box->text()))
            continue;
        platform().prompter.ok(QStringLiteral("O valor de %1 não é um número válido: \"%2\". Use a vírgula para "
                                              "os decimais (por exemplo 1,5).")
                                   .arg(label->text(), box->text()));
        return false;
    }
    return true;
}

void Form2::Command3_Click()
{
    if (Faltan_Datos()) {
        platform().prompter.ok(MSG_DATOS_FALTANTES);
        return;
    }
    if (!Numeros_Validos())
        return;
    const QString nombre = recortarEspacios(Text2->text());
    Text2->setText(nombre);
    if (Nombre_Repetido(nombre)) {
        platform().prompter.ok(MSG_NOMBRE_REPETIDO);
        return;
    }
    const Guardado guardado = Guardar();
    Limpiar_Campos();
    Colocar_En_Lista(guardado);
}

// Another product already has exactly this name (letter case counts); when
// changing a product, its own row does not count.
bool Form2::Nombre_Repetido(const QString& nombre) const
{
    Connection conexion(platform().folder);
    RecordSet mismos(conexion, Query::ProductosPorNombre, RecordSet::Equals{Productos::NombreProducto, nombre});
    for (; !mismos.eof(); mismos.moveNext()) {
        if (!m_ || mismos.text(Productos::CodigoProducto) != Text1->text())
            return true;
    }
    return false;
}

// The saved row is read back as the list shows it. The window changes only
// once the save is stored, from what it returned.
Form2::Guardado Form2::Guardar()
{
    Connection conexion(platform().folder);
    const auto [guardado, escrito] = runInTransaction(conexion, [&] {
        Guardado hecho;
        const bool listaAlDia = Lista_Al_Dia(conexion);
        if (m_) {
            RecordSet producto(conexion, Query::ProductosPorNombre,
                               RecordSet::Equals{Productos::CodigoProducto, Text1->text()});
            if (producto.eof())
                return std::pair{hecho, conexion.dataMark()};
            Asignar_Campos(producto);
            producto.update();
            hecho.rowId = producto.rowId();
        } else {
            RecordSet productos(conexion, Query::ProductosPorNombre, RecordSet::Mode::AppendOnly);
            productos.addNew();
            productos.setText(Productos::CodigoProducto, Text1->text());
            Asignar_Campos(productos);
            productos.update();
            hecho.rowId = productos.rowId();
        }
        hecho.listaAlDia = listaAlDia;
        if (listaAlDia)
            hecho.lugar = filas_->placeByName(conexion, Text2->text(), hecho.rowId);
        return std::pair{hecho, conexion.dataMark()};
    });
    listaLeida_ = escrito;
    Bloquear_Edicion();
    Command4->setEnabled(false);
    return guardado;
}

// Every field but the code, from the boxes as they stand.
void Form2::Asignar_Campos(RecordSet& producto)
{
    producto.setText(Productos::NombreProducto, Text2->text());
    producto.setText(Productos::Cantidad, Text3->text());
    producto.setText(Productos::PrecioCosto, Text4->text());
    producto.setText(Productos::PrecioVenta, Text5->text());
    if (Text6->text().isEmpty())
        producto.setNumber(Productos::StockCritico, 0);
    else
        producto.setText(Productos::StockCritico, Text6->text());
    producto.setText(Productos::Categoria, Combo2->currentText());
}

void Form2::Command4_Click()
{
    bool enOferta = false;
    {
        Connection conexion(platform().folder);
        RecordSet producto(conexion, Query::ProductosPorNombre,
                           RecordSet::Equals{Productos::CodigoProducto, Text1->text()});
        enOferta = !producto.eof() && !producto.isNull(Productos::ParteDeOferta) &&
                   producto.number(Productos::ParteDeOferta) == 1;
    }
    if (enOferta) {
        platform().prompter.ok(MSG_EN_OFERTA);
        return;
    }
    if (!platform().prompter.yesNo(MSG_CONFIRMAR_EXCLUSION, TITULO_CONFIRMAR_EXCLUSION)) {
        Cargar_Lista();
        return;
    }
    const QString codigo = Text7;
    bool listaAlDia = false;
    std::vector<qint64> quitados;
    {
        Connection conexion(platform().folder);
        auto [alDia, ids, escrito] = runInTransaction(conexion, [&] {
            const bool leidaAlDia = Lista_Al_Dia(conexion);
            std::vector<qint64> borrados;
            RecordSet productos(conexion, Query::ProductosPorNombre,
                                RecordSet::Equals{Productos::CodigoProducto, codigo});
            for (; !productos.eof(); productos.moveNext()) {
                borrados.push_back(productos.rowId());
                productos.deleteCurrent();
            }
            return std::tuple{leidaAlDia, std::move(borrados), conexion.dataMark()};
        });
        listaAlDia = alDia;
        quitados = std::move(ids);
        listaLeida_ = escrito;
    }
    Limpiar_Campos();
    Bloquear_Edicion();
    Quitar_De_Lista(quitados, listaAlDia);
    Command4->setEnabled(false);
}

void Form2::Volver_A_Inicio()
{
    Limpiar_Campos();
    Bloquear_Edicion();
    Command4->setEnabled(false);
}

void Form2::Command5_Click()
{
    Volver_A_Inicio();
    Cargar_Lista();
}

void Form2::Combo1_Click()
{
    const int chosen = Combo1->currentIndex();
    if (chosen < 0)
        return;
    Volver_A_Inicio();
    Listar(ORDENES[chosen].ids);
}

// Loads the product of the selected entry, even over one being edited.
void Form2::ListView1_Click()
{
    const int fila = ListView1->selectedRow();
    if (fila < 0)
        return;
    Text1->setText(ListView1->text(fila, 1));
    Buscar_Producto();
}

void Form2::Command7_Click()
{
    auto* selector = new Form10(platform(), {[this](const QString& codigo) {
                                                 setEnabled(true);
                                                 Text1->setText(codigo);
                                                 Buscar_Producto();
                                             },
                                             {}});
    selector->openFrom(this);
}
