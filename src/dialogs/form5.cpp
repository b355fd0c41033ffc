#include "dialogs/form5.h"

#include "common/fonts.h"
#include "common/key_filter.h"
#include "common/money_format.h"
#include "common/numbers.h"
#include "common/qr_matrix.h"
#include "common/qr_painting.h"
#include "common/receipt_printer.h"
#include "dialogs/cobro.h"
#include "dialogs/imprimir_recibo.h"
#include "dialogs/recibos.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>
#include <optional>

namespace {

const QString MSG_VALOR_MENOR = QStringLiteral("O valor inserido deve ser igual ou superior ao total a pagar");
const QString MSG_VALOR_INVALIDO =
    QStringLiteral("O valor inserido não é um número válido. Digite o valor pago pelo cliente, por exemplo 50 ou 50,25.");
const QString MSG_VALOR_GRANDE =
    QStringLiteral("O valor inserido é alto demais. Digite no máximo 12 dígitos antes da vírgula.");
const QString MSG_DECIMALES = QStringLiteral("O valor inserido deve ter no máximo dois dígitos depois da vírgula.");
const QString MSG_VENTA_VACIA =
    QStringLiteral("A lista de produtos a serem vendidos está vazia: nenhum pagamento foi registrado.");
const QString MSG_RECIBO = QStringLiteral("A venda foi registrada, mas o recibo não foi impresso: %1.");
const QString MSG_GAVETA = QStringLiteral("A venda foi registrada, mas a gaveta não abriu: %1.");
const QString MSG_GAVETA_TAMBIEN = QStringLiteral("A gaveta também não abriu: %1.");

const QString MSG_PIX_SIN_VALOR = QStringLiteral("Uma venda de valor zero não pode ser paga com Pix.");
const QString MSG_QR_NO_IMPRESO = QStringLiteral("O QR do Pix não foi impresso: %1.");
const QString AGUARDANDO_PIX = QStringLiteral("Aguardando o Pix de %1");

const QString EFECTIVO = QStringLiteral("EFECTIVO");
const QString TARJETA = QStringLiteral("TARJETA");
const QString PIX = QStringLiteral("PIX");

// The second click of a double click on "PAGAR" comes this soon after the
// dialog shows; a payment button takes no mouse click before.
constexpr qint64 CLICK_GUARD_MS = 500;

constexpr int AMOUNT_POINTS = 18;

// The dialog's client area in twips: as it always was, with the PIX button's
// row below, and the Pix view with its code.
constexpr double DIALOG_WIDTH = 5415;
constexpr double DIALOG_HEIGHT = 3495;
constexpr double DIALOG_HEIGHT_WITH_PIX = 4335;
constexpr double PIX_VIEW_HEIGHT = 6135;
// A phone reads the code from the screen at about this many pixels a side.
constexpr int QR_SCREEN_PIXELS = 280;

QPixmap qrPixmap(const QByteArray& payload)
{
    const std::optional<QrMatrix> matrix = QrMatrix::encode(payload);
    if (!matrix)
        return {};
    const int modulePixels = std::max(2, QR_SCREEN_PIXELS / int(qrSideWithQuietZone(*matrix, 1)));
    return QPixmap::fromImage(qrImage(*matrix, modulePixels));
}

bool digitOrComma(QChar c)
{
    return KeyFilter::digits(c) || c == QLatin1Char(',');
}

// Money is handed over in whole cents.
bool masDeDosDecimales(const QString& texto)
{
    const qsizetype coma = texto.indexOf(NumberSettings::current().decimal);
    return coma >= 0 && texto.size() - coma - 1 > 2;
}

// Why the amount typed cannot be taken, or nothing.
QString valorRechazado(const QString& texto, const std::optional<double>& pagaCon, double total)
{
    if (!pagaCon)
        return MSG_VALOR_INVALIDO;
    if (masDeDosDecimales(texto))
        return MSG_DECIMALES;
    if (*pagaCon >= TOO_LARGE_TO_SHOW)
        return MSG_VALOR_GRANDE;
    if (total > *pagaCon)
        return MSG_VALOR_MENOR;
    return {};
}

}   // namespace

Form5::Form5(Platform& platform, Cobro& cobro, QWidget* parent) : Window(platform, parent), cobro_(cobro)
{
    setClientSizeTwips(DIALOG_WIDTH, platform.pix.enabled() ? DIALOG_HEIGHT_WITH_PIX : DIALOG_HEIGHT);
    QWidget* panel = centralWidget();
    Label1 = new QLabel(panel);
    Label2 = new QLabel(panel);
    Label3 = new QLabel(panel);
    Text1 = new QLineEdit(panel);
    Label4 = new QLabel(panel);
    Label5 = new QLabel(panel);
    Command1 = new QPushButton(panel);
    Command2 = new QPushButton(panel);
    Command3 = new QPushButton(panel);
    Command4 = new QPushButton(panel);
    FramePix = new QWidget(panel);
    Label6 = new QLabel(FramePix);
    Image1 = new QLabel(FramePix);
    Command5 = new QPushButton(FramePix);
    Command6 = new QPushButton(FramePix);
    Command7 = new QPushButton(FramePix);
    declareControls({
        {Label1, "Label1", 240, 240, 2055, 375, "Total a pagar", 12},
        {Label2, "Label2", 2400, 120, 2775, 615, {}, AMOUNT_POINTS},
        {Label3, "Label3", 240, 960, 2055, 375, "Paga com     R$", 12},
        {Text1, "Text1", 2400, 840, 2775, 615, {}, 18},
        {Label4, "Label4", 240, 1680, 2055, 375, "Seu troco é  R$", 12},
        {Label5, "Label5", 2400, 1560, 2775, 615, {}, AMOUNT_POINTS},
        {Command1, "Command1", 240, 2520, 1575, 735, "DINHEIRO", 12},
        {Command2, "Command2", 1920, 2520, 1575, 735, "CARTÃO", 12},
        {Command3, "Command3", 3600, 2520, 1575, 735, "VOLTAR", 12},
        {Command4, "Command4", 240, 3360, 3255, 735, "&PIX", 12},
        {FramePix, "FramePix", 0, 0, DIALOG_WIDTH, PIX_VIEW_HEIGHT},
        {Label6, "Label6", 120, 120, 5175, 495, {}, 14},
        {Image1, "Image1", 120, 720, 5175, 4455},
        {Command5, "Command5", 240, 5280, 1575, 735, "PIX &RECEBIDO", 10},
        {Command6, "Command6", 1920, 5280, 1575, 735, "&IMPRIMIR QR", 10},
        {Command7, "Command7", 3600, 5280, 1575, 735, "VOLTAR", 12},
    });
    Crear_Vista_Pix();
    filterKeys(Text1, digitOrComma, [this] { Text1_Enter(); });
    on(Command1, &QPushButton::clicked, [this] { Command1_Click(); });
    on(Command2, &QPushButton::clicked, [this] { Command2_Click(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    // Escape goes back from wherever the focus is, the box or a button.
    on(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, [this] { Escape(); });
    // Enter on a focused button presses it, as Space does; in the Pix view it presses nothing.
    for (QPushButton* button : {Command1, Command2, Command3, Command4, Command5, Command6, Command7})
        button->installEventFilter(this);
    keepOffOpeningButton(botonesDePago());
}

// The Pix view stays hidden until "PIX" is chosen. None of its buttons is a
// default one: a scanner's Enter must never take a payment.
void Form5::Crear_Vista_Pix()
{
    FramePix->setAutoFillBackground(true);
    FramePix->hide();
    Label6->setAlignment(Qt::AlignCenter);
    Image1->setAlignment(Qt::AlignCenter);
    for (QPushButton* button : {Command5, Command6, Command7}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    on(Command5, &QPushButton::clicked, [this] { Command5_Click(); });
    on(Command6, &QPushButton::clicked, [this] { Command6_Click(); });
    on(Command7, &QPushButton::clicked, [this] { Command7_Click(); });
    Command4->setVisible(platform().pix.enabled());
}

QList<QWidget*> Form5::botonesDePago() const
{
    if (platform().pix.enabled())
        return {Command1, Command2, Command4};
    return {Command1, Command2};
}

void Form5::Form_Load()
{
    Mostrar_Entero(Label2, textoTotal(cobro_.venta().totalAPagar));   // the total as the sale window shows it
    Text1->clear();
    Text1->setReadOnly(false);
    Label5->clear();
    Command1->setEnabled(true);
    Command2->setEnabled(true);
    Command4->setEnabled(true);
    Mostrar_Vista_Pix(false);
    Text1->setFocus();
}

// However the dialog closes, the sale window is usable again.
void Form5::Form_Unload(bool& cancel)
{
    Q_UNUSED(cancel)
    cobro_.Devolver_Venta();
}

void Form5::showEvent(QShowEvent* event)
{
    mostrado_.start();
    Window::showEvent(event);
}

// A mouse click on a payment button just after the dialog showed is the rest
// of a double click on "PAGAR", not a choice: it is dropped, press and
// release alike. The keyboard always pays.
bool Form5::Clic_Temprano(QObject* watched, QEvent* event) const
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        break;
    default:
        return false;
    }
    const bool botonDePago = botonesDePago().contains(qobject_cast<QWidget*>(watched));
    return botonDePago && (!mostrado_.isValid() || mostrado_.elapsed() < CLICK_GUARD_MS);
}

bool Form5::eventFilter(QObject* watched, QEvent* event)
{
    if (Clic_Temprano(watched, event))
        return true;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QPushButton*>(watched);
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (button->parentWidget() != FramePix)
                button->click();
            return true;
        }
    }
    return Window::eventFilter(watched, event);
}

void Form5::Text1_Enter()
{
    if (Text1->text().isEmpty()) {
        Command1->click();
        return;
    }
    const double total = A_Numero(cobro_.venta().totalAPagar);
    const std::optional<double> pagaCon = lerNumero(Text1->text());
    if (const QString rechazo = valorRechazado(Text1->text(), pagaCon, total); !rechazo.isEmpty()) {
        platform().prompter.ok(rechazo);
        Text1->clear();
        Text1->setFocus();
        return;
    }
    Mostrar_Vuelto(roundToCents(*pagaCon - total));
    Text1->setReadOnly(true);
    Command1->setEnabled(true);
    Command2->setEnabled(false);
    Command4->setEnabled(false);
    Command1->setFocus();
}

// The change comes in whole cents. Below 1 it shows as a plain number (0,
// 0,5); from 1 up with two decimals.
void Form5::Mostrar_Vuelto(double vuelto)
{
    Label5->setText(A_Texto(vuelto));
    if (Valor_Inicial(Label5->text()) != 0)
        Mostrar_Entero(Label5, Formato(vuelto, FORMATO_NUMERO_2_FIXO));
}

// An amount is shown whole, in a smaller font when it is long.
void Form5::Mostrar_Entero(QLabel* label, const QString& texto)
{
    label->setText(texto);
    label->setFont(fontFitting(boldFont(AMOUNT_POINTS), texto, label->contentsRect().width()));
}

void Form5::Command1_Click()
{
    Pagar(EFECTIVO, QStringLiteral("0"));
}

void Form5::Command2_Click()
{
    Pagar(TARJETA, QStringLiteral("1"));
}

void Form5::Command3_Click()
{
    close();
}

// "PIX": the code of the sale's total, with a transaction id of its own.
void Form5::Command4_Click()
{
    if (pagado_ || !platform().pix.enabled())
        return;
    if (cobro_.venta().isEmpty()) {
        platform().prompter.ok(MSG_VENTA_VACIA);
        close();
        return;
    }
    pix_ = Preparar_Pix(platform().pix, platform().till, platform().clock.now(), cobro_.venta().totalAPagar);
    if (!pix_) {
        platform().prompter.ok(MSG_PIX_SIN_VALOR);
        return;
    }
    Label6->setText(AGUARDANDO_PIX.arg(pix_->monto));
    Image1->setPixmap(qrPixmap(pix_->payload));
    Mostrar_Vista_Pix(true);
}

// "PIX RECEBIDO": the cashier has seen the money arrive.
void Form5::Command5_Click()
{
    if (pix_)
        Pagar(PIX, RECIBO_PIX);
}

// "IMPRIMIR QR": the slip for a payer who would rather scan paper, on the
// roll the user prints receipts on.
void Form5::Command6_Click()
{
    if (!pix_)
        return;
    if (!platform().printer) {
        platform().prompter.ok(MSG_QR_NO_IMPRESO.arg(QStringLiteral("nenhuma impressora está disponível")));
        return;
    }
    const int rolo = Modelo_Recibo(platform().folder, cobro_.usuario()).value_or(80);
    try {
        Imprimir_Qr_Pix(*platform().printer, rolo, platform().pix.name, *pix_);
    } catch (const PrintError& error) {
        platform().prompter.ok(MSG_QR_NO_IMPRESO.arg(error.message()));
    }
}

// "VOLTAR" in the Pix view: back to the dialog, nothing recorded.
void Form5::Command7_Click()
{
    Mostrar_Vista_Pix(false);
    (Text1->isReadOnly() ? static_cast<QWidget*>(Command1) : Text1)->setFocus();
}

void Form5::Escape()
{
    if (!FramePix->isHidden())
        Command7_Click();
    else
        Command3_Click();
}

// The Pix view covers the dialog, which grows to hold it; the dialog's own
// controls are hidden meanwhile, so that neither they nor their shortcuts
// can be reached.
void Form5::Mostrar_Vista_Pix(bool visible)
{
    if (!visible)
        pix_.reset();
    for (QWidget* control : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2),
                             static_cast<QWidget*>(Label3), static_cast<QWidget*>(Text1),
                             static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label5),
                             static_cast<QWidget*>(Command1), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3)})
        control->setVisible(!visible);
    Command4->setVisible(!visible && platform().pix.enabled());
    const double height = visible ? PIX_VIEW_HEIGHT
                                  : (platform().pix.enabled() ? DIALOG_HEIGHT_WITH_PIX : DIALOG_HEIGHT);
    if (FramePix->isHidden() == visible) {
        setClientSizeTwips(DIALOG_WIDTH, height);
        // Grown downwards, the dialog stays whole on the screen.
        const int below = frameGeometry().top() + frameGeometry().height() - platform().screen.size().height();
        if (below > 0)
            move(x(), std::max(0, y() - below));
    }
    FramePix->setVisible(visible);
    if (visible) {
        FramePix->raise();
        Command7->setFocus();
    }
}

// The dialog takes one payment: a second click, queued behind the first,
// finds it taken. The payment is handed over and the sale recorded first;
// only a recorded sale has its receipt printed, from the sale as recorded. A
// receipt that could not be printed is reported after the sale is stored.
// A sale emptied behind the dialog is never paid, and the cashier is told.
void Form5::Pagar(const QString& tipo, const QString& clase)
{
    if (pagado_)
        return;
    if (cobro_.venta().isEmpty()) {
        platform().prompter.ok(MSG_VENTA_VACIA);
        close();
        return;
    }
    pagado_ = true;
    const std::optional<VentaRegistrada> registrada = tipo == EFECTIVO ? cobro_.CobrarEfectivo(Text1->text(), Label5->text())
                                                      : tipo == PIX    ? cobro_.CobrarPix()
                                                                       : cobro_.CobrarTarjeta();
    Text2 = clase;
    const QString sinRecibo = registrada ? Imprimir(*registrada) : QString();
    close();
    if (registrada)
        Avisar(tipo, sinRecibo);
}

// Why the receipt was not printed, or nothing.
QString Form5::Imprimir(const VentaRegistrada& venta)
{
    try {
        return Imprimir_Recibo(platform(), venta.sesion.usuario, Leer_Recibo(venta));
    } catch (const AppError& error) {   // the receipt choice could not be read
        return error.message();
    }
}

// What went wrong around a recorded sale, in one message: the receipt, and
// for cash the drawer.
void Form5::Avisar(const QString& tipo, const QString& sinRecibo)
{
    QStringList avisos;
    if (!sinRecibo.isEmpty())
        avisos << MSG_RECIBO.arg(sinRecibo);
    if (const QString sinGaveta = tipo == EFECTIVO ? Abrir_Gaveta() : QString(); !sinGaveta.isEmpty())
        avisos << (avisos.isEmpty() ? MSG_GAVETA : MSG_GAVETA_TAMBIEN).arg(sinGaveta);
    if (!avisos.isEmpty())
        platform().prompter.ok(avisos.join(u'\n'));
}

// The drawer opens for a recorded cash sale only, whether a receipt was
// printed or not; why it did not open, or nothing.
QString Form5::Abrir_Gaveta()
{
    if (!platform().drawer)
        return {};
    try {
        platform().drawer->open();
    } catch (const PrintError& error) {
        return error.message();
    }
    return {};
}

// The receipt of the recorded sale, with the amounts the dialog shows.
Recibo Form5::Leer_Recibo(const VentaRegistrada& venta) const
{
    Recibo recibo;
    for (const LineaVenta& linea : venta.lineas)
        recibo.filas.append({linea.nombre, linea.cantidad, linea.ventaUnitaria, linea.ventaTotal});
    recibo.total = Label2->text();
    recibo.pagaCon = Text1->text();
    recibo.vuelto = Label5->text();
    recibo.tipoPago = Text2;
    if (pix_)
        recibo.pixTransaccion = pix_->transaccion;
    recibo.momento = platform().clock.now();
    return recibo;
}
