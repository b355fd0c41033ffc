#include "users/program_start.h"

#include "sale/form1.h"
#include "store/connection.h"
#include "store/store_error.h"
#include "users/form4.h"
#include "users/instance_lock.h"

#include <QApplication>
#include <QDir>

std::optional<int> Comprobar_Inicio(Form4& login, const InstanceLock& lock, Platform& platform)
{
    if (!login.Form_Load(lock))
        return EXIT_START_REFUSED;
    if (lock.status() == InstanceLock::Status::FolderNotWritable) {
        platform.prompter.critical(QStringLiteral("O programa não pode gravar na sua pasta, onde fica o arquivo de "
                                                  "dados bd1.\nPasta: %1")
                                       .arg(QDir::toNativeSeparators(platform.folder)));
        return EXIT_START_REFUSED;
    }
    try {
        Connection connection(platform.folder);
    } catch (const StoreError& error) {
        platform.prompter.critical(error.message());
        return EXIT_START_REFUSED;
    }
    return std::nullopt;
}

int Ejecutar_Programa(Platform& platform)
{
    InstanceLock lock(platform.folder);
    Form1 principal(platform);
    Form4 login(platform, principal);
    if (const std::optional<int> refused = Comprobar_Inicio(login, lock, platform))
        return *refused;
    login.show();
    const int exitCode = QApplication::exec();
    // bd1 alone holds everything once the program is closed.
    Connection::releaseAll();
    return exitCode;
}
