// The sale window's day session: the load that offers an unfinished session
// back, the session start, and the close that ends the day.
#include "sale/form1.h"

#include "common/date_text.h"
#include "sale/cierre_dia.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/operations.h"
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

}   // namespace

void Form1::Form_Load()
{
    Preparar_Listas();
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
        Actualizar_Temporal(conexion);
        RecordSet temporal(conexion, Query::Temporal);
        sesionPendiente = !temporal.eof();
    }
    if (!sesionPendiente)
        return;
    if (platform().prompter.yesNo(MSG_RECUPERAR, TITULO_CONFIRMACION))
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

void Form1::Restaurar_Inicio()
{
    Connection conexion(platform().folder);
    RecordSet temporal(conexion, Query::Temporal);
    if (!temporal.eof())
        Text3 = temporal.text(Temporal::FechaInicio);
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
