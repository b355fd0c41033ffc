#include "app/programa.h"

#include "catalogue/form2.h"
#include "catalogue/form9.h"
#include "common/fonts.h"
#include "reports/form12.h"
#include "reports/form6.h"
#include "reports/form7.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "users/form4.h"
#include "users/form8.h"
#include "users/instance_lock.h"
#include "users/program_start.h"

#include <QApplication>

void Registrar_Ventanas(Form1& principal)
{
    Platform& platform = principal.platform();
    principal.Registrar_Ventana(QStringLiteral("edicionProductos"), [&platform] { return new Form2(platform); });
    principal.Registrar_Ventana(QStringLiteral("usuarios"), [&platform] { return new Form8(platform); });
    principal.Registrar_Ventana(QStringLiteral("recaudaciondeldia"),
                                [&platform, &principal] { return new Form6(platform, principal); });
    principal.Registrar_Ventana(QStringLiteral("recaudacion"), [&platform] { return new Form7(platform); });
    principal.Registrar_Ventana(QStringLiteral("stock"), [&platform] { return new Form9(platform); });
    principal.Registrar_Ventana(QStringLiteral("ventaparcial"), [&platform] { return new Form12(platform); });
}

int Ejecutar_Programa(Platform& platform)
{
    QApplication::setFont(inScreenFamily(QApplication::font()));
    InstanceLock lock(platform.folder);
    Form1 principal(platform);
    Registrar_Ventanas(principal);
    Form4 login(platform, principal);
    if (const std::optional<int> refused = Comprobar_Inicio(login, lock, platform))
        return *refused;
    login.show();
    const int exitCode = QApplication::exec();
    // bd1 alone holds everything once the program is closed.
    Connection::releaseAll();
    return exitCode;
}
