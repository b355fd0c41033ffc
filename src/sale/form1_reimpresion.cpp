// The sale window's reprint: F12 in the code box prints again the receipt of
// the last sale recorded in the open session. Nothing is written.
#include "sale/form1.h"

#include "dialogs/imprimir_recibo.h"
#include "sale/ultima_venta.h"

#include <QLineEdit>

namespace {

const QString MSG_SIN_VENTA = QStringLiteral("Ainda não há venda registrada nesta sessão para reimprimir o recibo.");
const QString MSG_SIN_MODELO =
    QStringLiteral("O usuário %1 não tem modelo de recibo escolhido (58 mm ou 80 mm); o recibo não foi reimpresso.");
const QString MSG_NO_IMPRESO = QStringLiteral("O recibo não foi reimpresso: %1.");

}   // namespace

void Form1::Reimprimir_Recibo()
{
    const QString aviso = Reimpresion();
    if (!aviso.isEmpty())
        platform().prompter.ok(aviso);
    Text7->setFocus();
}

// Why the receipt was not printed again, or nothing when it was.
QString Form1::Reimpresion()
{
    const std::optional<Recibo> recibo = Leer_Ultima_Venta(platform().folder);
    if (!recibo)
        return MSG_SIN_VENTA;
    const std::optional<int> modelo = Modelo_Recibo(platform().folder, Text4);
    if (!modelo)
        return MSG_SIN_MODELO.arg(Text4);
    const QString motivo = Imprimir_Recibo_Modelo(platform(), *modelo, *recibo);
    return motivo.isEmpty() ? QString() : MSG_NO_IMPRESO.arg(motivo);
}
