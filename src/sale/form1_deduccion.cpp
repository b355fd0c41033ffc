// The sale window's deduct mode: a code confirmed with a quantity comes off
// the sale instead of going on it. F2 in the code box turns it on and F1 off,
// both only while "Quantidade Manual" is checked.
#include "sale/form1.h"

#include "common/report_list.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString MSG_NADA_PARA_DEDUCIR = QStringLiteral("Não há nada para deduzir enquanto a lista estiver vazia");
const QString MSG_CANTIDAD_MAYOR =
    QStringLiteral("Você não pode descontar uma quantidade maior que a quantidade vendida");
const QString MSG_NO_ESTA_EN_LISTA = QStringLiteral("O código inserido não está na lista");

}   // namespace

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text7 && event->type() == QEvent::KeyPress)
        Text7_KeyDown(static_cast<QKeyEvent*>(event)->key());
    return Window::eventFilter(watched, event);
}

void Form1::Text7_KeyDown(int tecla)
{
    if (tecla == Qt::Key_F12) {
        run([this] { Reimprimir_Recibo(); });
        return;
    }
    if (!Check1->isChecked())
        return;
    if (tecla == Qt::Key_F2)
        Label18->show();
    else if (tecla == Qt::Key_F1)
        Label18->hide();
}

// A scanned label takes its own line off the sale, whatever the quantity box
// holds; the entry then waits for the next code as after any deduction.
void Form1::Deducir_Etiqueta(const QString& codigo)
{
    const VentaActual::Deduccion hecha = venta_.quitarEtiqueta(codigo);
    if (hecha == VentaActual::Deduccion::ListaVacia)
        platform().prompter.ok(MSG_NADA_PARA_DEDUCIR);
    else if (hecha == VentaActual::Deduccion::CodigoAusente)
        platform().prompter.ok(MSG_NO_ESTA_EN_LISTA);
    Mostrar_Deduccion();
}

void Form1::Mostrar_Deduccion()
{
    Mostrar_Lista();
    Reiniciar_Entrada();
    Calcular_Total();
    Mostrar_Total();
}

void Form1::Deducir_Producto()
{
    switch (venta_.deducir(Text7->text(), Text8->text())) {
    case VentaActual::Deduccion::ListaVacia:
        platform().prompter.ok(MSG_NADA_PARA_DEDUCIR);
        Text8->clear();
        return;
    case VentaActual::Deduccion::CantidadMayor:
        platform().prompter.ok(MSG_CANTIDAD_MAYOR);
        Text8->clear();
        return;
    case VentaActual::Deduccion::CodigoAusente:
        platform().prompter.ok(MSG_NO_ESTA_EN_LISTA);
        break;
    case VentaActual::Deduccion::Hecha:
        break;
    }
    Mostrar_Deduccion();
}
