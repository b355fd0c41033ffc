#include "users/program_start.h"

#include "store/connection.h"
#include "store/store_error.h"
#include "users/form4.h"
#include "users/instance_lock.h"

#include <QDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>

namespace {

const QString MSG_SEM_SERVIDOR = QStringLiteral(
    "O servidor da loja não responde. Este caixa vai vender com a sua cópia dos produtos e dos usuários e enviar as "
    "vendas ao servidor quando ele voltar.");

// The value of a toolkit option given as "-name value" or "--name value".
QString toolkitOption(const QStringList& arguments, const QString& name)
{
    for (qsizetype at = 1; at + 1 < arguments.size(); ++at)
        if (arguments[at] == u'-' + name || arguments[at] == QStringLiteral("--") + name)
            return arguments[at + 1];
    return {};
}

// The toolkit draws on an X display unless another platform (offscreen,
// vnc, wayland…) is named on the command line or in the environment.
bool drawsOnXDisplay(const QStringList& arguments)
{
    QString platforms = toolkitOption(arguments, QStringLiteral("platform"));
    if (platforms.isEmpty())
        platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platforms.isEmpty())
        return true;
    const QStringList named = platforms.split(u';', Qt::SkipEmptyParts);
    return std::any_of(named.begin(), named.end(), [](const QString& platform) {
        return platform.section(u':', 0, 0).trimmed() == QLatin1String("xcb");
    });
}

// Asks the X server as the toolkit would: by connecting to it.
bool xDisplayAnswers(const QString& display)
{
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t* connection = xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

// Names what was found: nothing, a Wayland session without an X display
// beside it (no XWayland), or an X display that does not answer.
QString noDisplayMessage(const QString& display)
{
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    QString why = QStringLiteral("não foi possível conectar à tela gráfica \"%1\"").arg(display);
    if (display.isEmpty() && wayland.isEmpty())
        why = QStringLiteral("nenhuma tela gráfica foi indicada (DISPLAY e WAYLAND_DISPLAY estão vazias)");
    else if (display.isEmpty())
        why = QStringLiteral("a sessão Wayland \"%1\" foi encontrada, mas o programa abre suas janelas numa tela X "
                             "e a variável DISPLAY está vazia (o XWayland não está ativo)")
                  .arg(wayland);
    return QStringLiteral("%1 não pode abrir suas janelas: %2.\nInicie o programa pelo menu ou pelo ícone da área "
                          "de trabalho, com a sessão gráfica aberta.\n")
        .arg(PROGRAM_TITLE, why);
}

}   // namespace

std::optional<int> Comprobar_Pantalla(const QStringList& arguments)
{
    QString display = toolkitOption(arguments, QStringLiteral("display"));
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (drawsOnXDisplay(arguments) && !xDisplayAnswers(display)) {
        std::fputs(noDisplayMessage(display).toUtf8().constData(), stderr);
        return EXIT_START_REFUSED;
    }
    if (arguments.contains(DISPLAY_CHECK_OPTION))
        return 0;
    return std::nullopt;
}

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
        if (connection.onTillCopy())
            platform.prompter.exclamation(MSG_SEM_SERVIDOR, PROGRAM_TITLE);
    } catch (const StoreError& error) {
        platform.prompter.critical(error.message());
        return EXIT_START_REFUSED;
    }
    return std::nullopt;
}
