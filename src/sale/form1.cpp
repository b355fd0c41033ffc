#include "sale/form1.h"

#include "common/key_filter.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "common/twips.h"
#include "dialogs/form5.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace {

constexpr double PANEL_WIDTH = 15135;    // twips
constexpr double PANEL_HEIGHT = 10215;   // twips
constexpr int LIST_TITLE_POINTS = 12;

const QString MSG_LISTA_VACIA = QStringLiteral("A lista de produtos a serem vendidos está vazia");

QLabel* label(QWidget* parent, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* result = new QLabel(parent);
    result->setAlignment(alignment);
    return result;
}

QLineEdit* entryBox(QWidget* parent, int maxLength)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    box->setAlignment(Qt::AlignCenter);
    return box;
}

}   // namespace

const QList<ReportColumn>& columnasListaVenta()
{
    static const QList<ReportColumn> columnas = {{QStringLiteral("_"), 0},
                                                 {QStringLiteral("Código"), 1900, Qt::AlignLeft, Qt::ElideLeft},
                                                 {QStringLiteral("Nome"), 6700},
                                                 {QStringLiteral("Quantidade"), 1500, Qt::AlignRight},
                                                 {QStringLiteral("Valor Unitário"), 2200, Qt::AlignCenter},
                                                 {QStringLiteral("Valor Total"), 2200, Qt::AlignCenter},
                                                 {QStringLiteral("1/0"), 0, Qt::AlignCenter},
                                                 {QStringLiteral("Categoria"), 0, Qt::AlignCenter}};
    return columnas;
}

Form1::Form1(Platform& platform, QWidget* parent) : Window(platform, parent)
{
    setFillsScreen();
    construirControles();
    Preparar_Menu();
    conectarEventos();
}

void Form1::construirControles()
{
    Picture1 = new QWidget(centralWidget());
    Label13 = label(Picture1, Qt::AlignCenter);
    Label13->setAutoFillBackground(true);
    Label13->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    ListView1 = new ReportList(Picture1);
    Label17 = label(Picture1);
    Label17->setStyleSheet(QStringLiteral("color: red;"));
    Label17->hide();
    Check1 = new QCheckBox(Picture1);
    Picture2 = new QWidget(Picture1);

    Frame2 = new QFrame(Picture2);
    Label18 = label(Frame2, Qt::AlignCenter);
    Label18->setAutoFillBackground(true);
    Label18->setStyleSheet(QStringLiteral("background-color: yellow; color: black;"));
    Label18->hide();
    Label5 = label(Frame2);
    Text7 = entryBox(Frame2, 15);
    Command3 = new QPushButton(Frame2);
    Command3->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Command3->setToolTip(QStringLiteral("Buscar produto pelo nome"));
    Command1 = new QPushButton(Frame2);
    Label6 = label(Frame2);
    Text8 = entryBox(Frame2, 6);
    Text8->setAutoFillBackground(true);
    Command2 = new QPushButton(Frame2);

    Frame3 = new QFrame(Picture2);
    Label7 = label(Frame3, Qt::AlignCenter);
    Label8 = label(Frame3, Qt::AlignCenter);
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(1000);
    Label19 = label(Picture1);
    Label19->setStyleSheet(QStringLiteral("color: red;"));
    Label19->hide();

    declareControls({
        {Picture1, "Picture1", 0, 0, PANEL_WIDTH, PANEL_HEIGHT},
        {Label13, "Label13", 0, 0, 15135, 495, "LISTA DE PRODUTOS A SEREM VENDIDOS", 14},
        {ListView1, "ListView1", 0, 480, 15135, 5295},
        {Label17, "Label17", 120, 5880, 5295, 375, {}, 12},
        {Check1, "Check1", 5520, 5880, 3015, 495, "Quantidade Manual", 12},
        {Picture2, "Picture2", 0, 6360, 15135, 3135},
        {Frame2, "Frame2", 120, -120, 8175, 3135},
        {Frame3, "Frame3", 8280, -120, 6615, 3135},
        {Label18, "Label18", 2880, 360, 3255, 375, "DEDUZIR PRODUTO", 12},
        {Label5, "Label5", 120, 720, 2775, 495, "Código do Produto", 12},
        {Text7, "Text7", 2880, 720, 2655, 495, {}, 16},
        {Command3, "Command3", 5640, 720, 495, 495},
        {Command1, "Command1", 6240, 720, 1815, 975, "PAGAR", 16},
        {Label6, "Label6", 120, 1320, 1815, 495, "Quantidade", 12},
        {Text8, "Text8", 2880, 1320, 1335, 495, {}, 16},
        {Command2, "Command2", 360, 2280, 2655, 615, "CANCELAR", 12},
        {Label7, "Label7", 2400, 240, 1935, 735, "TOTAL", 24},
        {Label8, "Label8", 240, 960, 6135, 975, {}, 36},
        {Label19, "Label19", 120, 9600, 14895, 375, {}, 12},
    });
}

void Form1::conectarEventos()
{
    // Nothing but the boxes keeps the focus from the scanner: clicks leave it
    // in the code box, the keyboard still reaches the buttons with Tab.
    for (QWidget* control : {static_cast<QWidget*>(Check1), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Command2), static_cast<QWidget*>(Command3)})
        control->setFocusPolicy(Qt::TabFocus);
    ListView1->setTakesFocus(false);
    Text7->installEventFilter(this);
    filterKeys(Text7, KeyFilter::digits, [this] { Text7_Enter(); });
    filterKeys(Text8, KeyFilter::digitsCommaPoint, [this] { Text8_Enter(); });
    on(Check1, &QCheckBox::toggled, [this] { Check1_Click(); });
    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    on(Command2, &QPushButton::clicked, [this] { Command2_Click(); });
    on(Timer2, &QTimer::timeout, [this] { Timer2_Timer(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
}

void Form1::Preparar_Listas()
{
    ListView1->setColumns(columnasListaVenta());
    ListView1->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
    ListView1->setFontSize(18);
    // At the rows' 18 points "Quantidade" and "Valor Unitário" are wider than their columns.
    ListView1->setTitleFontSize(LIST_TITLE_POINTS);
}

void Form1::Leer_Resolucion()
{
    const QSize pixels = platform().screen.size();
    Text1 = QString::number(pixels.width());
    Text2 = QString::number(pixels.height());
}

void Form1::Centrar_Panel()
{
    placePanel(Picture1, QSizeF(Valor_Inicial(Text1), Valor_Inicial(Text2)), PANEL_WIDTH, PANEL_HEIGHT);
}

void Form1::Limpiar_Venta()
{
    ListView1->clear();
    venta_.limpiar();
    Text7->clear();
    Text8->clear();
    Text7->setEnabled(true);
    Text8->setText(QStringLiteral("1"));
    Text8->setEnabled(false);
    Check1->setEnabled(true);
    Label8->setText(QStringLiteral("0"));
    Label8->setText(Formato(A_Numero(Label8->text()), FORMATO_REAIS_INTEIRO));
    Pintar_Cantidad(Qt::white);
    Label17->hide();
    Label18->hide();
}

void Form1::Command1_Click()
{
    if (ListView1->rowCount() == 0) {
        platform().prompter.ok(MSG_LISTA_VACIA);
        Text7->setFocus();
        return;
    }
    if (pago_) {   // one payment at a time
        pago_->activateWindow();
        return;
    }
    auto* pago = new Form5(platform(), *this);
    pago_ = pago;
    connect(pago, &Window::closed, this, [this] {
        Frame2->setEnabled(true);
        Text7->setFocus();
    });
    // "PAGAR" itself is handed over: the second click of a double click on it
    // must not land on a payment button.
    pago->openFrom(this, QRect(Command1->mapToGlobal(QPoint(0, 0)), Command1->size()));
    Frame2->setEnabled(false);
}

void Form1::Command2_Click()
{
    Limpiar_Venta();
    Text7->setFocus();
}
