#include "users/form4.h"

#include "common/key_filter.h"
#include "sale/sesion_venta.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "users/instance_lock.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString MSG_SIN_USUARIO = QStringLiteral("Você deve inserir seu nome de usuário");
const QString MSG_SIN_SENHA = QStringLiteral("Você deve inserir sua senha");
const QString MSG_SENHA_INCORRECTA = QStringLiteral("A senha está incorreta");
const QString MSG_USUARIO_INCORRECTO = QStringLiteral("O nome de usuário inserido está incorreto");

}   // namespace

Form4::Form4(Platform& platform, SesionVenta& sesion, QWidget* parent)
    : Window(platform, parent), sesion_(sesion)
{
    setClientSizeTwips(5400, 2700);
    Label1 = new QLabel(centralWidget());
    Text1 = new QLineEdit(centralWidget());
    Label2 = new QLabel(centralWidget());
    Text2 = new QLineEdit(centralWidget());
    Text2->setEchoMode(QLineEdit::Password);
    Text2->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));   // "*"
    declareControls({
        {Label1, "Label1", 360, 360, 4680, 375, "NOME USUÁRIO", 11},
        {Text1, "Text1", 360, 735, 4680, 495, {}, 14},
        {Label2, "Label2", 360, 1395, 4680, 375, "SENHA", 11},
        {Text2, "Text2", 360, 1770, 4680, 495, {}, 14},
    });

    setTabOrder(Text1, Text2);
    filterKeys(Text1, KeyFilter::lowercaseOrDigits, [this] { Validar_Ingreso(); });
    filterKeys(Text2, KeyFilter::lowercaseOrDigits, [this] { Validar_Ingreso(); });
    Text1->setFocus();
}

bool Form4::Form_Load(const InstanceLock& lock)
{
    if (lock.status() != InstanceLock::Status::AlreadyRunning)
        return true;
    platform().prompter.exclamation(QStringLiteral("ERROR : \rO programa já está em execução"),
                                   PROGRAM_TITLE + QStringLiteral(" - Erro de entrada"));
    return false;
}

void Form4::Validar_Ingreso()
{
    if (Text1->text().isEmpty()) {
        platform().prompter.ok(MSG_SIN_USUARIO);
        Text1->setFocus();
        return;
    }
    if (Text2->text().isEmpty()) {
        platform().prompter.ok(MSG_SIN_SENHA);
        Text2->setFocus();
        return;
    }
    Connection conexion(platform().folder);
    RecordSet usuarios(conexion, Query::UsuariosPorNombre);
    if (usuarios.isEmpty())
        return;
    // Only the first row with the name, in name order, decides.
    for (; !usuarios.eof(); usuarios.moveNext()) {
        if (usuarios.isNull(Usuarios::NombreUsuario) || usuarios.text(Usuarios::NombreUsuario) != Text1->text())
            continue;
        if (usuarios.text(Usuarios::Contrasena) == Text2->text()) {
            Abrir_Sesion(usuarios.text(Usuarios::NombreUsuario));
        } else {
            platform().prompter.ok(MSG_SENHA_INCORRECTA);
            Text2->clear();
            Text2->setFocus();
        }
        return;
    }
    platform().prompter.ok(MSG_USUARIO_INCORRECTO);
    Text1->setFocus();
}

// The sale window is shown, and so loaded, before it learns who logged in and when.
void Form4::Abrir_Sesion(const QString& usuario)
{
    sesion_.Abrir_Sesion(usuario);
    close();
}
