#include "reports/form6.h"

#include "common/date_text.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "sale/sesion_venta.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QFrame>
#include <QLabel>

namespace {

const QString DINHEIRO = QStringLiteral("Total Dinheiro = ");
const QString CARTAO = QStringLiteral("Total Cartão = ");
const QString PIX = QStringLiteral("Total Pix = ");

constexpr double WIDTH = 6735;
constexpr double HEIGHT = 3975;
constexpr double PIX_ROW = 600;

QLabel* centredLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QFrame* separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    return line;
}

// An amount after its prefix: a zero or empty amount in its zero form
// ("R$ 0" and the number pattern), any other in the money pattern. The zero
// test reads the number itself, so 0,50 is an amount, not a zero.
QString montoFormateado(const QString& prefijo, const QString& caption)
{
    const double valor = caption.isEmpty() ? 0 : A_Numero(caption);
    if (valor == 0) {
        const QString numero = caption.isEmpty() ? QString() : Formato(valor, FORMATO_NUMERO_2);
        return prefijo + QStringLiteral("R$ 0") + numero;
    }
    return prefijo + Formato(valor, FORMATO_REAIS_2);
}

}   // namespace

Form6::Form6(Platform& platform, SesionVenta& sesion, QWidget* parent)
    : Window(platform, parent), sesion_(sesion)
{
    setClientSizeTwips(WIDTH, HEIGHT);
    Label2 = centredLabel(centralWidget());
    Label3 = centredLabel(centralWidget());
    Line1 = separator(centralWidget());
    Label1 = centredLabel(centralWidget());
    Line2 = separator(centralWidget());
    Label4 = new QLabel(centralWidget());
    Label5 = new QLabel(centralWidget());
    Label6 = new QLabel(centralWidget());
    declareControls({
        {Label2, "Label2", 240, 240, 6255, 375, "RECEITA PARCIAL COM DATA", 12},
        {Label3, "Label3", 240, 615, 6255, 375, {}, 12},
        {Line1, "Line1", 240, 1110, 6255, 15},
        {Label1, "Label1", 240, 1245, 6255, 735, {}, 24},
        {Line2, "Line2", 240, 2100, 6255, 15},
        {Label4, "Label4", 240, 2355, 6255, 495, {}, 14},
        {Label5, "Label5", 240, 2955, 6255, 495, {}, 14},
        {Label6, "Label6", 240, 3555, 6255, 495, {}, 14},
    });
    Label6->hide();
}

void Form6::Form_Load()
{
    const double total = Sumar_Ventas();
    Label1->setText(A_Texto(total));
    sesion_.Restaurar_Inicio();
    Leer_TipoPago();
    Label3->setText(formatDateTime(platform().clock.now(), DateLayout::Date));
    Formatear_Montos();
}

// Every line of the open session; a line without an amount counts as 0.
double Form6::Sumar_Ventas()
{
    double total = 0;
    Connection conexion(platform().folder);
    RecordSet temporal(conexion, Query::Temporal);
    for (; !temporal.eof(); temporal.moveNext()) {
        if (!temporal.isNull(Temporal::TotalVenta))
            total += temporal.number(Temporal::TotalVenta);
    }
    return total;
}

// The cash and card takings of the first row of the open session, in start order.
void Form6::Leer_TipoPago()
{
    Label4->clear();
    Label5->clear();
    Label6->clear();
    const QString inicio = sesion_.Inicio_Sesion();
    if (!parseDateTime(inicio))   // no session start matches no row
        return;
    Connection conexion(platform().folder);
    RecordSet sesion(conexion, Query::TipoPagoListado, RecordSet::Equals{TipoPago::FechaInicio, inicio});
    if (sesion.eof())
        return;
    Label4->setText(sesion.text(TipoPago::efectivo));
    Label5->setText(sesion.text(TipoPago::tarjeta));
    Label6->setText(sesion.text(TipoPago::pix));
}

void Form6::Formatear_Montos()
{
    Label1->setText(montoFormateado(QString(), Label1->text()));
    Label4->setText(montoFormateado(DINHEIRO, Label4->text()));
    Label5->setText(montoFormateado(CARTAO, Label5->text()));
    // A till that never took Pix shows the window as it always was.
    const bool conPix = platform().pix.enabled() || (!Label6->text().isEmpty() && A_Numero(Label6->text()) != 0);
    Label6->setText(montoFormateado(PIX, Label6->text()));
    Label6->setVisible(conPix);
    setClientSizeTwips(WIDTH, conPix ? HEIGHT + PIX_ROW : HEIGHT);
}
