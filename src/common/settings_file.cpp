#include "common/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const char DEFAULT_FILE[] =
    "; Configuração do Tenduca nesta instalação.\n"
    "[impressao]\n"
    "; pagina: o recibo sai como página na impressora padrão do sistema.\n"
    "; escpos: o recibo vai como texto ESC/POS, sem driver, para a fila indicada em \"fila\".\n"
    "modo=pagina\n"
    "; Nome da fila da impressora de recibos (veja com: lpstat -p). Vazio: a impressora padrão.\n"
    "fila=\n"
    "; Caracteres por linha no modo escpos: 48 no papel de 80 mm, 32 no de 58 mm (de 20 a 80).\n"
    "colunas_80mm=48\n"
    "colunas_58mm=32\n"
    "; sim: o pagamento em dinheiro abre a gaveta ligada à impressora de recibos.\n"
    "gaveta=nao\n"
    "\n"
    "[loja]\n"
    "; Vazio: este caixa trabalha só com o arquivo bd1 desta pasta.\n"
    "; Uma loja com vários caixas: a conexão com o servidor PostgreSQL da loja, por exemplo\n"
    "; servidor=host=192.168.0.10 dbname=loja user=caixa1\n"
    "; (a senha fica no arquivo ~/.pgpass do usuário, nunca aqui).\n"
    "servidor=\n"
    "; O número deste caixa na loja, de 1 a 99, diferente em cada caixa.\n"
    "caixa=1\n"
    "\n"
    "[pix]\n"
    "; A chave Pix da loja: os dígitos do CPF ou do CNPJ, o e-mail, o telefone como +55DDNNNNNNNNN\n"
    "; ou a chave aleatória. Vazio: sem Pix.\n"
    "chave=\n"
    "; O nome e a cidade do recebedor como o banco os tem (até 25 e 15 caracteres).\n"
    "nome=\n"
    "cidade=\n"
    "\n"
    "[balanca]\n"
    "; O formato da etiqueta programado na balança da loja, uma letra por dígito depois do 2 inicial\n"
    "; (11 letras; o 13º dígito é o verificador): C código do produto, T preço em centavos,\n"
    "; P peso em gramas, 0 dígito ignorado. Formatos comuns: CCCC0TTTTTT, CCCCCTTTTTT, CCCC0PPPPPP,\n"
    "; CCCCCPPPPPP. Vazio: sem etiquetas de balança.\n"
    "formato=\n";

}   // namespace

QString settingsPath(const QString& folder)
{
    return QDir(folder).filePath(SETTINGS_FILE);
}

bool writeDefaultSettings(const QString& folder)
{
    const QString path = settingsPath(folder);
    if (!QFileInfo(folder).isDir() || QFileInfo::exists(path))
        return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(DEFAULT_FILE) == qint64(sizeof DEFAULT_FILE - 1) &&
           file.commit();
}

QString settingsProblems(const QString& path, const QStringList& problems)
{
    if (problems.isEmpty())
        return {};
    return QStringLiteral("No arquivo de configuração \"%1\":\n").arg(QDir::toNativeSeparators(path)) +
           problems.join(u'\n');
}

SettingsReader::SettingsReader(const QString& path) : file_(path, QSettings::IniFormat) {}

QString SettingsReader::text(const QString& key) const
{
    const QVariant value = file_.value(key);
    // A value with commas reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').trimmed();
    return value.toString().trimmed();
}
