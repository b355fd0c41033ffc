// The sale window of a till on a shop's server while the server is away: the
// sales kept in the till's outbox, their sender, and the line that tells the
// cashier.
#include "sale/form1.h"

#include "sale/envio_ventas.h"
#include "store/connection.h"
#include "store/outbox.h"

#include <QLabel>

namespace {

QString Vendas(qint64 quantas)
{
    if (quantas == 0)
        return QStringLiteral("nenhuma venda aguardando envio");
    return quantas == 1 ? QStringLiteral("1 venda aguardando envio")
                        : QStringLiteral("%1 vendas aguardando envio").arg(quantas);
}

}   // namespace

// The sender stops before the window it reports to goes.
Form1::~Form1()
{
    delete envio_;
}

// Only a till whose settings name a server sends anything.
void Form1::Iniciar_Envio()
{
    if (envio_ || !Connection::tillOnServer(platform().folder))
        return;
    envio_ = new EnvioVentas(platform().folder, this);
    connect(envio_, &EnvioVentas::estado, this, &Form1::Mostrar_Envio);
}

// The sender tries at once; the line tells the cashier meanwhile.
void Form1::Venta_Guardada_Para_Servidor()
{
    envio_->despertar();
    Mostrar_Envio({});
}

qint64 Form1::Ventas_Aguardando()
{
    if (!envio_)
        return 0;
    Connection propio(platform().folder, Connection::Place::TillFile);
    return salesWaiting(propio);
}

// A label: it never takes the focus from the code box. It tells what holds
// when it is shown, whatever the sender saw a moment ago.
void Form1::Mostrar_Envio(const QString& recusa)
{
    const qint64 aguardando = Ventas_Aguardando();
    const bool ausente = Connection::serverAway(platform().folder);
    if (!recusa.isEmpty())
        Label19->setText(QStringLiteral("As vendas aguardando envio não puderam ser enviadas (%1): %2")
                             .arg(Vendas(aguardando), recusa.section(u'\n', 0, 0)));
    else if (ausente)
        Label19->setText(QStringLiteral("Sem conexão com o servidor: %1").arg(Vendas(aguardando)));
    else
        Label19->setText(QStringLiteral("Enviando ao servidor: %1").arg(Vendas(aguardando)));
    Label19->setVisible(aguardando > 0 || ausente || !recusa.isEmpty());
}
