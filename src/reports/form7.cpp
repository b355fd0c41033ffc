#include "reports/form7.h"

#include "common/date_text.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "common/twips.h"
#include "reports/recaudacion_periodo.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/schema.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr double PANEL_WIDTH = 15135;    // twips
constexpr double PANEL_HEIGHT = 10215;   // twips

const QString MSG_SIN_SESION = QStringLiteral("Você deve selecionar a data a ser consultada");
const QString MSG_SIN_MES = QStringLiteral("Você deve selecionar o mês e o ano a serem consultado");
const QString CONSULTA_SESION = QStringLiteral("1");
const QString CONSULTA_MES = QStringLiteral("2");
const QString TODAS = QStringLiteral("Todas");

const QStringList MESES = {
    QStringLiteral("Janeiro"), QStringLiteral("Fevereiro"), QStringLiteral("Março"),    QStringLiteral("Abril"),
    QStringLiteral("Maio"),    QStringLiteral("Junho"),     QStringLiteral("Julho"),    QStringLiteral("Agosto"),
    QStringLiteral("Setembro"), QStringLiteral("Outubro"),  QStringLiteral("Novembro"), QStringLiteral("Dezembro"),
};

QLabel* label(QWidget* parent, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* result = new QLabel(parent);
    result->setAlignment(alignment);
    return result;
}

QComboBox* dropDownList(QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    return combo;
}

QString money(double value)
{
    return Formato(value, FORMATO_REAIS_3);
}

// "ABERTURA: 05/03/2024 às 08:00 hrs.  ENCERRAMENTO: 05/03/2024 a las 18:30 hrs. "
QString periodoDeSesion(const QDateTime& inicio, const QString& fechaCierre)
{
    const std::optional<QDateTime> cierre = parseDateTime(fechaCierre);
    const QString cierreDia = cierre ? formatDateTime(*cierre, DateLayout::Date) : QString();
    const QString cierreHora = cierre ? formatDateTime(*cierre, DateLayout::HourMinute) : QString();
    return QStringLiteral("ABERTURA: ") + formatDateTime(inicio, DateLayout::Date) + QStringLiteral(" às ") +
           formatDateTime(inicio, DateLayout::HourMinute) + QStringLiteral(" hrs. ") +
           QStringLiteral(" ENCERRAMENTO: ") + cierreDia + QStringLiteral(" a las ") + cierreHora +
           QStringLiteral(" hrs. ");
}

QList<QStringList> filasDe(const LineasRecaudadas& lineas)
{
    QList<QStringList> filas;
    filas.reserve(lineas.productos.size());
    for (const ProductoRecaudado& producto : lineas.productos)
        filas.append(QStringList{QString::number(filas.size() + 1)} + producto.celdas());
    return filas;
}

}   // namespace

Form7::Form7(Platform& platform, QWidget* parent) : Window(platform, parent)
{
    setFillsScreen();
    construirControles();
    conectarEventos();
}

void Form7::construirControles()
{
    Picture1 = new QWidget(centralWidget());
    Label2 = label(Picture1, Qt::AlignCenter);
    Label2->setAutoFillBackground(true);
    Label2->setStyleSheet(QStringLiteral("background-color: black; color: white;"));
    Label1 = label(Picture1);
    Combo1 = dropDownList(Picture1);
    Combo2 = dropDownList(Picture1);
    Command1 = new QPushButton(Picture1);
    Label3 = label(Picture1);
    Combo4 = dropDownList(Picture1);
    Combo5 = dropDownList(Picture1);
    Combo6 = dropDownList(Picture1);
    Command3 = new QPushButton(Picture1);
    ListView1 = new ReportList(Picture1);
    Label4 = label(Picture1);
    Label6 = label(Picture1);
    Label7 = label(Picture1);
    Label8 = label(Picture1);
    Label9 = label(Picture1);
    Label11 = label(Picture1);
    Label13 = label(Picture1);
    Label13->hide();
    Label12 = label(Picture1, Qt::AlignCenter);
    Label12->setAutoFillBackground(true);
    Label12->setStyleSheet(QStringLiteral("background-color: yellow; color: red;"));
    Combo2->hide();
    Combo6->hide();
    Label12->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    Timer1->setSingleShot(true);

    declareControls({
        {Picture1, "Picture1", 0, 0, PANEL_WIDTH, PANEL_HEIGHT},
        {Label2, "Label2", 0, 0, 15135, 495, "HISTÓRICO DE ARRECADAÇÃO", 14},
        {Label1, "Label1", 120, 600, 5055, 375, "ARRECADAÇÃO DIÁRIA", 12},
        {Combo1, "Combo1", 120, 1020, 3375, 420, {}, 11},
        {Combo2, "Combo2", 120, 1500, 3375, 420, {}, 11},
        {Command1, "Command1", 3600, 975, 1575, 495, "BUSCAR", 11},
        {Label3, "Label3", 7560, 600, 5055, 375, "ARRECADAÇÃO MENSAL", 12},
        {Combo4, "Combo4", 7560, 1020, 2295, 420, {}, 11},
        {Combo5, "Combo5", 9960, 1020, 1335, 420, {}, 11},
        {Combo6, "Combo6", 7560, 1500, 3735, 420, {}, 11},
        {Command3, "Command3", 11400, 975, 1575, 495, "BUSCAR", 11},
        {Label4, "Label4", 120, 1560, 14895, 375, {}, 11},
        {ListView1, "ListView1", 0, 2040, 15135, 5895},
        {Label12, "Label12", 3840, 4440, 7455, 615, "     CARREGANDO...   AGUARDE...", 16},
        {Label6, "Label6", 120, 8040, 7335, 375, {}, 12},
        {Label7, "Label7", 120, 8520, 7335, 375, {}, 12},
        {Label8, "Label8", 120, 9000, 7335, 375, {}, 12},
        {Label9, "Label9", 7560, 8040, 7335, 375, {}, 12},
        {Label11, "Label11", 7560, 8520, 7335, 375, {}, 12},
        {Label13, "Label13", 7560, 9000, 7335, 375, {}, 12},
    });
}

void Form7::conectarEventos()
{
    for (QComboBox* combo : {Combo1, Combo2, Combo4, Combo5, Combo6})
        on(combo, &QComboBox::activated, [this] { Limpiar_Resultado(); });
    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

void Form7::Form_Load()
{
    Centrar_Panel();
    Configurar_Lista();
    Cargar_Sesiones();
    Cargar_Meses();
    Cargar_Categorias();
    Limpiar_Resultado();
}

void Form7::Centrar_Panel()
{
    placePanel(Picture1, platform().screen.size(), PANEL_WIDTH, PANEL_HEIGHT);
}

void Form7::Configurar_Lista()
{
    ListView1->setColumns({{QStringLiteral("_"), 0},
                           {QStringLiteral("Código"), 2000, Qt::AlignLeft, Qt::ElideLeft},
                           {QStringLiteral("Nome"), 5500},
                           {QStringLiteral("Quantidade"), 1300, Qt::AlignRight},
                           {QStringLiteral("Custo Total"), 1600, Qt::AlignCenter},
                           {QStringLiteral("Venda Total"), 1600, Qt::AlignCenter},
                           {QStringLiteral("Categoría"), 2500, Qt::AlignCenter}});
    ListView1->setColors(LIST_TEXT_COLOR, LIST_BACKGROUND_COLOR);
    ListView1->setFontSize(13);
}

// The session starts, newest first, and the years from now back to the oldest session.
void Form7::Cargar_Sesiones()
{
    const int anoActual = platform().clock.now().date().year();
    int anoMasAntiguo = anoActual;
    Connection conexion(platform().folder);
    RecordSet sesiones(conexion, Query::TipoPago);
    if (!sesiones.isEmpty()) {
        if (const std::optional<QDateTime> primera = sesiones.dateTime(TipoPago::FechaInicio))
            anoMasAntiguo = std::min(anoActual, primera->date().year());
        // The tills of a shop on a server list each session with its till.
        const bool variasCajas = conexion.sharedByTills();
        for (sesiones.moveLast(); !sesiones.bof(); sesiones.movePrevious()) {
            const QString inicio = sesiones.text(TipoPago::FechaInicio);
            const int caja = sesiones.isNull(TipoPago::Caixa) ? 1 : static_cast<int>(sesiones.number(TipoPago::Caixa));
            Combo1->addItem(variasCajas ? QStringLiteral("%1 caixa %2").arg(inicio).arg(caja) : inicio,
                            QStringList{inicio, QString::number(caja)});
        }
    }
    Combo1->setCurrentIndex(-1);
    Cargar_Anos(anoMasAntiguo);
}

void Form7::Cargar_Anos(int anoMasAntiguo)
{
    for (int ano = platform().clock.now().date().year(); ano >= anoMasAntiguo; --ano)
        Combo5->addItem(QString::number(ano));
    Combo5->setCurrentIndex(-1);
}

void Form7::Cargar_Meses()
{
    Combo4->addItems(MESES);
    Combo4->setCurrentIndex(-1);
}

void Form7::Cargar_Categorias()
{
    Connection conexion(platform().folder);
    RecordSet categorias(conexion, Query::Categorias, RecordSet::Mode::ReadOnlyList);
    if (categorias.isEmpty())
        return;
    for (; !categorias.eof(); categorias.moveNext()) {
        Combo6->addItem(categorias.text(Productos::Categoria));
        Combo2->addItem(categorias.text(Productos::Categoria));
    }
    Combo6->addItem(TODAS);
    Combo2->addItem(TODAS);
}

void Form7::Limpiar_Resultado()
{
    ListView1->clear();
    for (QLabel* resultado : {Label4, Label6, Label7, Label8, Label9, Label11, Label13})
        resultado->clear();
}

void Form7::Command1_Click()
{
    Limpiar_Resultado();
    if (Combo1->currentText().isEmpty()) {
        platform().prompter.ok(MSG_SIN_SESION);
        return;
    }
    Iniciar_Consulta(CONSULTA_SESION);
}

void Form7::Command3_Click()
{
    Limpiar_Resultado();
    if (Combo4->currentText().isEmpty() || Combo5->currentText().isEmpty()) {
        platform().prompter.ok(MSG_SIN_MES);
        return;
    }
    Iniciar_Consulta(CONSULTA_MES);
}

// The notice is painted first; the query runs on the timer's tick, after the click has returned.
void Form7::Iniciar_Consulta(const QString& consulta)
{
    Text1 = consulta;
    Label12->show();
    Timer1->start();
}

// The query runs once: the notice goes and the marker empties even when the query fails.
void Form7::Timer1_Timer()
{
    Timer1->stop();
    const QString consulta = Text1;
    run([&] {
        if (consulta == CONSULTA_SESION)
            Recaudacion_Por_Fecha();
        else if (consulta == CONSULTA_MES)
            Recaudacion_Por_Mes();
    });
    Terminar_Consulta();
}

void Form7::Terminar_Consulta()
{
    Label12->hide();
    Text1.clear();
    Timer1->stop();
}

void Form7::Recaudacion_Por_Fecha()
{
    const QStringList guardada = Combo1->currentData().toStringList();   // its start and its till
    const std::optional<QDateTime> inicio = parseDateTime(guardada.value(0));
    if (!inicio)
        return;
    const SesionDeCaja sesion{*inicio, guardada.value(1).toInt()};
    Connection conexion(platform().folder);
    const LineasRecaudadas lineas = lineasDeSesion(conexion, sesion);
    ListView1->setRows(filasDe(lineas));
    Mostrar_Totales_Lineas(lineas.costo, lineas.venta);
    const PagosRecaudados pagos = pagosDeSesion(conexion, sesion);
    if (pagos.sesionEncontrada)
        Label4->setText(periodoDeSesion(*inicio, pagos.fechaCierre));
    Mostrar_Pagos(pagos);
}

void Form7::Recaudacion_Por_Mes()
{
    const int mes = static_cast<int>(MESES.indexOf(Combo4->currentText())) + 1;
    const QString ano = Combo5->currentText();
    if (mes == 0)   // a name that is no month matches no row
        return;
    const PeriodoMensual periodo = periodoDelMes(ano.toInt(), mes);
    Connection conexion(platform().folder);
    if (hayRecaudacion(conexion)) {
        const LineasRecaudadas lineas = lineasDelMes(conexion, periodo);
        ListView1->setRows(filasDe(lineas));
        Mostrar_Totales_Lineas(lineas.costo, lineas.venta);
        Label4->setText(QStringLiteral("vendas feitas em ") + Combo4->currentText() + QStringLiteral(" de ") + ano);
    }
    const PagosRecaudados pagos = pagosDelMes(conexion, periodo);
    Mostrar_Pagos(pagos);
}

void Form7::Mostrar_Totales_Lineas(double costo, double venta)
{
    Label6->setText(QStringLiteral("Custo Total ") + money(costo));
    Label7->setText(QStringLiteral("Venda Total ") + money(venta));
    Label8->setText(QStringLiteral("Receita ") + money(venta - costo));
}

void Form7::Mostrar_Pagos(const PagosRecaudados& pagos)
{
    Label9->setText(QStringLiteral("Dinheiro ") + money(pagos.efectivo));
    Label11->setText(QStringLiteral("Cartão ") + money(pagos.tarjeta));
    Label13->setText(QStringLiteral("Pix ") + money(pagos.pix));
    Label13->setVisible(platform().pix.enabled() || pagos.pix != 0);
}
