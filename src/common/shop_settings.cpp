#include "common/shop_settings.h"

#include "common/settings_file.h"

#include <libpq-fe.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString SERVER = QStringLiteral("loja/servidor");
const QString TILL = QStringLiteral("loja/caixa");

std::optional<int> parseTill(const QString& text)
{
    bool ok = false;
    const int till = text.toInt(&ok);
    if (!ok || till < 1 || till > MOST_TILLS)
        return std::nullopt;
    return till;
}

// Whether the connection names a password, in either of libpq's forms.
// A connection libpq cannot read is left for the connection to report.
bool holdsPassword(const QString& connection)
{
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(connection.toUtf8().constData(), &error);
    PQfreemem(error);
    bool password = false;
    for (PQconninfoOption* option = options; option && option->keyword; ++option) {
        if (qstrcmp(option->keyword, "password") == 0 && option->val && *option->val)
            password = true;
    }
    PQconninfoFree(options);
    return password;
}

bool othersCanRead(const QString& path)
{
    return QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther);
}

}   // namespace

ShopSettingsRead Ler_Configuracao_Loja(const QString& folder)
{
    const QString path = settingsPath(folder);
    ShopSettingsRead read;
    if (!QFileInfo::exists(path))
        return read;
    SettingsReader reader(path);
    read.settings.server = reader.text(SERVER);
    if (read.settings.server.isEmpty())
        return read;
    read.settings.till = reader.read(TILL, 1, QStringLiteral("um número inteiro de 1 a %1").arg(MOST_TILLS),
                                     QStringLiteral("1"), parseTill);
    read.problems = settingsProblems(path, reader.problems());
    if (holdsPassword(read.settings.server) && othersCanRead(path))
        read.refusal = QStringLiteral("O arquivo de configuração \"%1\" guarda a senha do servidor da loja e pode ser "
                                      "lido por outros usuários deste computador. Tire a senha dele e ponha-a no "
                                      "arquivo ~/.pgpass (com permissão 600), ou deixe o arquivo legível só pelo "
                                      "usuário do caixa (chmod 600 \"%1\").")
                           .arg(QDir::toNativeSeparators(path));
    return read;
}
