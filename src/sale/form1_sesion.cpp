// The sale window's day session: the load that offers an unfinished session
// back, the session start, and the close that ends the day.
#include "sale/form1.h"

#include "common/date_text.h"
#include "sale/cierre_dia.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/operations.h"
#include "store/outbox.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QTimer>

namespace {

const QString TITULO_CONFIRMACION = QStringLiteral("Confirmação");
const QString MSG_RECUPERAR =
    QStringLiteral("O sistema fechou inesperadamente. Deseja continuar com o a venda anterior? Se pressionar NÃO, a "
                   "venda anterior será fechada e um novo início de venda será iniciado");
const QString MSG_SALIR = QStringLiteral("Deseja sair do sistema confirmando o fim das vendas do dia?");
const QString MSG_AGUARDANDO =
    QStringLiteral("Há %1 vendas aguardando envio ao servidor; o fechamento do dia precisa delas no servidor.");
const QString MSG_AGUARDANDO_UMA =
    QStringLiteral("Há 1 venda aguardando envio ao servidor; o fechamento do dia precisa dela no servidor.");
const QString MSG_SEM_SERVIDOR =
    QStringLiteral("Sem conexão com o servidor; o fechamento do dia precisa do servidor.");
const QString MSG_SAIR_SEM_FECHAR =
    QStringLiteral("Deseja sair do sistema sem fechar o dia? As vendas serão enviadas quando o servidor responder, e "
                   "o dia continua na próxima entrada.");

}   // namespace

void Form1::Form_Load()
{
    Preparar_Listas();
    Iniciar_Envio();
    Leer_Resolucion();
    Centrar_Panel();
    run([this] { Preparar_Sesion(); });
    Text7->clear();
    Text8->clear();
    Text8->setEnabled(false);
    Limpiar_Venta();
    Text7->setFocus();
}

// The table of open lines gets its unit price column if it lacks it, and an
// unfinished earlier session is offered back.
void Form1::Preparar_Sesion()
{
    bool sesionPendiente = false;
    {
        Connection conexion(platform().folder);
        if (conexion.onTillCopy())   // the server's lines are out of reach; the outbox tells
            return Preguntar_Sesion(Ventas_Aguardando() > 0);
        Actualizar_Temporal(conexion);
        RecordSet temporal(conexion, Query::Temporal);
        sesionPendiente = !temporal.eof();
    }
    Preguntar_Sesion(sesionPendiente || Ventas_Aguardando() > 0);
}

void Form1::Preguntar_Sesion(bool sesionPendiente)
{
    if (!sesionPendiente)
        return;
    if (platform().prompter.yesNo(MSG_RECUPERAR, TITULO_CONFIRMACION))
        Timer2->start();
    else if (Cierre_Aplazado())
        Timer2->start();
    else
        ::Cerrar_Ventas_Del_Dia(platform().folder, Text3, platform().clock.now());
}

// A second after a load that continued the earlier session, the login has
// written its own start; the earlier one takes its place again.
void Form1::Timer2_Timer()
{
    Timer2->stop();
    Restaurar_Inicio();
}

void Form1::Abrir_Sesion(const QString& usuario)
{
    show();
    Text4 = usuario;
    Text3 = formatDateTime(platform().clock.now());
}

// The start stored with the session's first line: on the server, or, for the
// sales of a till on a server still waiting in its outbox, the oldest's.
void Form1::Restaurar_Inicio()
{
    {
        Connection conexion(platform().folder);
        if (!conexion.onTillCopy()) {
            RecordSet temporal(conexion, Query::Temporal);
            if (!temporal.eof()) {
                Text3 = temporal.text(Temporal::FechaInicio);
                return;
            }
        }
    }
    if (!envio_)
        return;
    Connection propio(platform().folder, Connection::Place::TillFile);
    if (const std::optional<QString> inicio = waitingSessionStart(propio))
        Text3 = *inicio;
}

// A till on a server closes its day on the server with nothing waiting to be
// sent; otherwise the cashier is told why. True when the close waits.
bool Form1::Cierre_Aplazado()
{
    if (!envio_)
        return false;
    const qint64 aguardando = Ventas_Aguardando();
    if (aguardando > 0)
        platform().prompter.exclamation(aguardando == 1 ? MSG_AGUARDANDO_UMA : MSG_AGUARDANDO.arg(aguardando),
                                        PROGRAM_TITLE);
    else if (Connection::serverAway(platform().folder))
        platform().prompter.exclamation(MSG_SEM_SERVIDOR, PROGRAM_TITLE);
    else
        return false;
    return true;
}

void Form1::Form_Unload(bool& cancel)
{
    Frame2->setEnabled(true);
    Command2_Click();
    if (!platform().prompter.yesNo(MSG_SALIR, TITULO_CONFIRMACION)) {
        cancel = true;
        Text7->setFocus();
        return;
    }
    if (Cierre_Aplazado()) {
        // The day stays open: the next start offers it back.
        cancel = !platform().prompter.yesNo(MSG_SAIR_SEM_FECHAR, TITULO_CONFIRMACION);
        if (cancel)
            Text7->setFocus();
        else
            Cerrar_Otras_Ventanas();
        return;
    }
    if (envio_)   // sales sent since the start may have joined an open session of the server
        Restaurar_Inicio();
    ::Cerrar_Ventas_Del_Dia(platform().folder, Text3, platform().clock.now());
    // The day is stored: a backup that cannot be written is told, never holds the close up.
    if (const std::optional<QString> falha = Respaldo_Automatico(platform().folder, platform().clock.now()))
        platform().prompter.exclamation(*falha, PROGRAM_TITLE);
    Cerrar_Otras_Ventanas();
}

// The day is closed: the payment dialog or any window still open goes with the program.
void Form1::Cerrar_Otras_Ventanas()
{
    for (QWidget* ventana : QApplication::topLevelWidgets()) {
        if (ventana != this && ventana->isVisible())
            ventana->close();
    }
}
