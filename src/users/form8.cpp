#include "users/form8.h"

#include "common/key_filter.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/queries.h"
#include "store/record_set.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

namespace {

const QString MSG_SIN_NOMBRE = QStringLiteral("Você deve inserir o nome do usuário");
const QString MSG_OBLIGATORIOS = QStringLiteral("Todos os dados obrigatórios devem ser preenchidos para que seja salvo");
const QString MSG_ADMIN = QStringLiteral("A conta do administrador não pode ser excluída");
const QString MSG_CONFIRMAR = QStringLiteral("Você tem certeza que deseja excluir o registro deste Usuário?");
const QString TITULO_CONFIRMAR = QStringLiteral("Confirme Eliminación");
const QString ADMIN = QStringLiteral("admin");

// The receipt choices in the order of the box, with their codes.
struct Eleccion {
    const char* texto;
    const char* codigo;
};
const Eleccion ELECCIONES[] = {{"No Imprimir", "0"}, {"Imprimir 58mm", "58"}, {"Imprimir 80mm", "80"}};

}   // namespace

Form8::Form8(Platform& platform, QWidget* parent) : Window(platform, parent)
{
    setClientSizeTwips(6000, 3600);
    construirControles();
    conectarEventos();
}

void Form8::construirControles()
{
    Label1 = new QLabel(centralWidget());
    Label1->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(centralWidget());
    Text1 = new QLineEdit(centralWidget());
    Label3 = new QLabel(centralWidget());
    Text2 = new QLineEdit(centralWidget());
    Combo1 = new QComboBox(centralWidget());
    Command3 = new QPushButton(centralWidget());
    Command4 = new QPushButton(centralWidget());
    Command5 = new QPushButton(centralWidget());
    declareControls({
        {Label1, "Label1", 0, 240, 6000, 495, "ALTERAR SENHA", 14},
        {Label2, "Label2", 360, 960, 2295, 375, "NOME USUÁRIO", 10},
        {Text1, "Text1", 2760, 960, 2895, 375, {}, 11},
        {Label3, "Label3", 360, 1500, 2295, 375, "SENHA", 10},
        {Text2, "Text2", 2760, 1500, 2895, 375, {}, 11},
        {Combo1, "Combo1", 2760, 2040, 2895, 375, {}, 10},
        {Command3, "Command3", 360, 2760, 1695, 495, "Salvar", 10},
        {Command4, "Command4", 2160, 2760, 1695, 495, "Excluir", 10},
        {Command5, "Command5", 3960, 2760, 1695, 495, "Cancelar", 10},
    });
}

void Form8::conectarEventos()
{
    filterKeys(Text1, KeyFilter::lowercaseOrDigits, [this] { Buscar_Usuario(); });
    filterKeys(Text2, KeyFilter::lowercaseOrDigits);
    on(Combo1, &QComboBox::activated, [this] { Combo1_Click(); });
    on(Command3, &QPushButton::clicked, [this] { Command3_Click(); });
    on(Command4, &QPushButton::clicked, [this] { Command4_Click(); });
    on(Command5, &QPushButton::clicked, [this] { Command5_Click(); });
}

void Form8::Form_Load()
{
    Combo1->clear();
    for (const Eleccion& eleccion : ELECCIONES)
        Combo1->addItem(QString::fromUtf8(eleccion.texto));
    Combo1->setCurrentIndex(-1);
    Text3 = QStringLiteral("1");
    Text1->clear();
    Text1->setEnabled(true);
    Text2->clear();
    Text2->setEnabled(false);
    Combo1->setEnabled(true);
    Command4->setEnabled(false);
    Text1->setFocus();
}

void Form8::Habilitar_Edicion()
{
    Text1->setEnabled(false);
    Text2->setEnabled(true);
    Combo1->setEnabled(true);
}

void Form8::Bloquear_Edicion()
{
    Text1->setEnabled(true);
    Text2->setEnabled(false);
    Combo1->setEnabled(false);
    Text1->setFocus();
}

// The choice box's text and the receipt code stay as they are.
void Form8::Limpiar_Campos()
{
    Text1->clear();
    Text2->clear();
    Combo1->setEnabled(false);
}

// A receipt code other than 0, 58 and 80 leaves the code and the box as they were.
void Form8::Cargar_Usuario(double permiso, const QString& contrasena)
{
    for (int item = 0; item < int(std::size(ELECCIONES)); ++item) {
        if (permiso == Valor_Inicial(QString::fromLatin1(ELECCIONES[item].codigo))) {
            Text3 = QString::fromLatin1(ELECCIONES[item].codigo);
            Combo1->setCurrentIndex(item);
        }
    }
    Text2->setText(contrasena);
}

void Form8::Buscar_Usuario()
{
    if (Text1->text().isEmpty()) {
        platform().prompter.ok(MSG_SIN_NOMBRE);
        return;
    }
    Connection conexion(platform().folder);
    RecordSet encontrado(conexion, Query::UsuariosPorNombre, RecordSet::Equals{Usuarios::NombreUsuario, Text1->text()});
    Habilitar_Edicion();
    m = !encontrado.eof();
    Command4->setEnabled(m);
    if (m)
        Cargar_Usuario(encontrado.isNull(Usuarios::PermisoCruce) ? -1 : encontrado.number(Usuarios::PermisoCruce),
                       encontrado.text(Usuarios::Contrasena));
    Text2->setFocus();
}

void Form8::Combo1_Click()
{
    const int item = Combo1->currentIndex();
    if (item >= 0 && item < int(std::size(ELECCIONES)))
        Text3 = QString::fromLatin1(ELECCIONES[item].codigo);
}

// A known user gets its password and receipt code changed; a new name is appended.
void Form8::Command3_Click()
{
    if (Text1->text().isEmpty() || Text2->text().isEmpty()) {
        platform().prompter.ok(MSG_OBLIGATORIOS);
        return;
    }
    const double permiso = Valor_Inicial(Text3);
    {
        Connection conexion(platform().folder);
        std::optional<RecordSet> usuario;
        if (m)
            usuario.emplace(conexion, Query::UsuariosPorNombre,
                            RecordSet::Equals{Usuarios::NombreUsuario, Text1->text()});
        // A user removed since the lookup is stored again rather than losing what was typed.
        if (!usuario || usuario->eof()) {
            usuario.reset();
            usuario.emplace(conexion, Query::UsuariosPorNombre, RecordSet::Mode::AppendOnly);
            usuario->addNew();
            usuario->setText(Usuarios::NombreUsuario, Text1->text());
        }
        usuario->setText(Usuarios::Contrasena, Text2->text());
        usuario->setNumber(Usuarios::PermisoCruce, permiso);
        usuario->update();
    }
    Bloquear_Edicion();
    Command4->setEnabled(false);
    Limpiar_Campos();
}

void Form8::Command4_Click()
{
    Connection conexion(platform().folder);
    RecordSet usuario(conexion, Query::UsuariosPorNombre, RecordSet::Equals{Usuarios::NombreUsuario, Text1->text()});
    if (usuario.eof())
        return;
    if (usuario.text(Usuarios::NombreUsuario) == ADMIN) {
        platform().prompter.ok(MSG_ADMIN);
        return;
    }
    if (!platform().prompter.yesNo(MSG_CONFIRMAR, TITULO_CONFIRMAR))
        return;
    usuario.deleteCurrent();
    Limpiar_Campos();
    Bloquear_Edicion();
    Command4->setEnabled(false);
}

void Form8::Command5_Click()
{
    Limpiar_Campos();
    Bloquear_Edicion();
    Command4->setEnabled(false);
}
