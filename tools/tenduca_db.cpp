// tenduca-db: creates the database file bd1 that the program works on, and
// looks after it: backups, restoring a backup, the catalogue to and from a
// spreadsheet's CSV file.
//
//   tenduca-db create FOLDER [--demo]
//   tenduca-db backup FOLDER [DEST]
//   tenduca-db restore FOLDER BACKUP
//   tenduca-db import-products FOLDER FILE.csv [--ignorar-invalidas]
//   tenduca-db export-products FOLDER FILE.csv
//   tenduca-db sql FOLDER ["SQL"]
//   tenduca-db servidor criar URL
//   tenduca-db servidor enviar FOLDER URL
//   tenduca-db --help
//
// The program itself never creates its database; an installation runs this once.

#include "catalogue/catalogue_file.h"
#include "demo_catalogue.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/store_error.h"
#include "storetool/database_creator.h"
#include "storetool/server_shop.h"
#include "storetool/sql_shell.h"
#include "users/instance_lock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHash>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>
#include <QTextStream>

namespace {

constexpr int USAGE_ERROR = 2;

void printUsage(QTextStream& stream)
{
    stream << "Uso:\n"
              "  tenduca-db create PASTA [--demo]\n"
              "      Cria um novo arquivo de dados bd1 na PASTA, com o usuário admin (senha admin).\n"
              "      --demo  inclui um catálogo de demonstração de uma pequena mercearia, e o admin\n"
              "              imprime o recibo de 80 mm.\n"
              "  tenduca-db backup PASTA [DESTINO]\n"
              "      Grava uma cópia datada do bd1 em PASTA/backups (ou em DESTINO); guarda as 30 mais novas.\n"
              "  tenduca-db restore PASTA BACKUP\n"
              "      Coloca o BACKUP no lugar do bd1 da PASTA; o bd1 atual é guardado com a data no nome.\n"
              "      Feche o programa antes.\n"
              "  tenduca-db import-products PASTA ARQUIVO.csv [--ignorar-invalidas]\n"
              "      Inclui e atualiza produtos a partir de uma planilha salva em CSV. Se alguma linha for\n"
              "      recusada nada é gravado, a menos que se peça --ignorar-invalidas.\n"
              "  tenduca-db export-products PASTA ARQUIVO.csv\n"
              "      Grava o catálogo inteiro num arquivo CSV no mesmo formato.\n"
              "  tenduca-db sql PASTA [\"COMANDOS SQL\"]\n"
              "      Executa comandos SQL no bd1 da PASTA, com a senha e a ordem de textos do programa, e\n"
              "      mostra cada linha com os campos separados por \"|\". Sem COMANDOS, lê os comandos da\n"
              "      entrada padrão (cada um terminado por \";\"). Pode ser usado com o programa aberto.\n"
              "  tenduca-db servidor criar CONEXAO\n"
              "      Cria as tabelas de uma loja num banco de dados novo e vazio de um servidor PostgreSQL\n"
              "      (CONEXAO: \"host=SERVIDOR dbname=loja user=USUARIO\" ou postgresql://...), com o usuário\n"
              "      admin (senha admin). A senha do servidor vem do arquivo ~/.pgpass ou de PGPASSWORD.\n"
              "  tenduca-db servidor enviar PASTA CONEXAO\n"
              "      Copia para a loja recém-criada no servidor o catálogo, os usuários e as vendas arquivadas\n"
              "      do bd1 da PASTA, numa única transação. Feche o dia nesse caixa antes.\n"
              "  tenduca-db -h, --help\n"
              "      Mostra esta ajuda.\n";
}

int usage(QTextStream& err)
{
    printUsage(err);
    return USAGE_ERROR;
}

bool asksForHelp(const QStringList& arguments)
{
    return arguments.contains(QLatin1String("--help")) || arguments.contains(QLatin1String("-h"));
}

int create(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    NewDatabaseOptions newOptions;
    for (const QString& option : options) {
        if (option == QLatin1String("--demo")) {
            newOptions.products = demoCatalogue();
            newOptions.administratorReceipt = 80;   // the demo prints its receipts
        }
        else if (option == QLatin1String("--temporal-antigo"))   // for tests of the upgrade: the older Temporal
            newOptions.olderTemporal = true;
        else
            return usage(err);
    }
    const QString path = createDatabase(folder, newOptions);
    out << "Arquivo de dados criado: " << QDir::toNativeSeparators(path) << '\n';
    if (!newOptions.products.isEmpty())
        out << newOptions.products.size() << " produtos de demonstração incluídos.\n";
    out << "Usuário: admin  Senha: admin\n";
    return 0;
}

int backup(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    if (options.size() > 1)
        return usage(err);
    const QString path = writeBackup(folder, QDateTime::currentDateTime(), options.value(0));
    out << "Backup gravado: " << QDir::toNativeSeparators(path) << '\n';
    return 0;
}

int restore(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    if (options.size() != 1)
        return usage(err);
    // Held until the backup is in place, so the program cannot start on a half-restored folder.
    const InstanceLock lock(folder);
    if (lock.status() == InstanceLock::Status::AlreadyRunning) {
        err << "O programa está aberto nesta pasta de dados. Feche-o (confirmando ou não o fim do dia) e tente de "
               "novo; nada foi alterado.\n";
        return 1;
    }
    if (lock.status() == InstanceLock::Status::FolderNotWritable) {
        err << "A pasta " << QDir::toNativeSeparators(folder) << " não permite gravação; nada foi alterado.\n";
        return 1;
    }
    const QString aside = restoreBackup(folder, options[0], QDateTime::currentDateTime());
    out << "Backup restaurado em " << QDir::toNativeSeparators(databasePath(folder)) << '\n';
    if (!aside.isEmpty())
        out << "O arquivo de dados anterior foi guardado como " << QDir::toNativeSeparators(aside) << '\n';
    return 0;
}

int importProducts(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    const bool skipInvalid = options.contains(QStringLiteral("--ignorar-invalidas"));
    if (options.size() != (skipInvalid ? 2 : 1) || options[0].startsWith(QLatin1String("--")))
        return usage(err);
    QFile file(options[0]);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "O arquivo " << QDir::toNativeSeparators(options[0]) << " não pode ser lido: " << file.errorString()
            << '\n';
        return 1;
    }
    const CatalogueImport result = importCatalogue(folder, file, skipInvalid);
    for (const RejectedLine& rejected : result.rejected)
        err << "Linha " << rejected.line << ": " << rejected.reason << '\n';
    if (!result.written) {
        err << result.rejected.size() << (result.rejected.size() == 1 ? " linha recusada" : " linhas recusadas")
            << "; nada foi gravado. Corrija o arquivo ou use --ignorar-invalidas para gravar as outras linhas.\n";
        return 1;
    }
    out << result.added << " produtos incluídos, " << result.updated << " atualizados";
    if (!result.rejected.isEmpty())
        out << ", " << result.rejected.size() << " linhas ignoradas";
    out << ".\n";
    return 0;
}

int sql(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    if (options.size() > 1)
        return usage(err);
    if (options.size() == 1)
        return runSqlStatements(folder, options[0], out, err) ? 0 : 1;
    QTextStream in(stdin);
    return runSqlStatements(folder, in, out, err) ? 0 : 1;
}

int server(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    if (arguments.size() == 2 && arguments[0] == QLatin1String("criar")) {
        createServerShop(arguments[1]);
        out << "Loja criada no servidor. Usuário: admin  Senha: admin\n";
        return 0;
    }
    if (arguments.size() == 3 && arguments[0] == QLatin1String("enviar")) {
        const ShopSent sent = sendShopToServer(arguments[1], arguments[2]);
        out << sent.products << " produtos, " << sent.users << " usuários, " << sent.sessions << " sessões e "
            << sent.lines << " linhas de vendas arquivadas enviados ao servidor.\n";
        return 0;
    }
    return usage(err);
}

int exportProducts(const QString& folder, const QStringList& options, QTextStream& out, QTextStream& err)
{
    if (options.size() != 1)
        return usage(err);
    QSaveFile file(options[0]);
    const bool written = file.open(QIODevice::WriteOnly) && exportCatalogue(folder, file);
    if (!written || !file.commit()) {
        err << "O arquivo " << QDir::toNativeSeparators(options[0]) << " não pôde ser gravado: " << file.errorString()
            << '\n';
        return 1;
    }
    out << "Catálogo gravado em " << QDir::toNativeSeparators(options[0]) << '\n';
    return 0;
}

// Runs one command; a failure is told in Portuguese with exit status 1. The
// connection held to bd1 is closed at the end, with its log written into it.
template <typename Command>
int runTool(Command command, QTextStream& err)
{
    int exitCode = 1;
    try {
        exitCode = command();
    } catch (const AppError& error) {
        err << error.message() << '\n';
    }
    Connection::releaseAll();
    return exitCode;
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList arguments = app.arguments().mid(1);
    if (asksForHelp(arguments)) {
        printUsage(out);
        return 0;
    }
    if (arguments.size() < 2)
        return usage(err);
    if (arguments.first() == QLatin1String("servidor"))
        return runTool([&] { return server(arguments.mid(1), out, err); }, err);
    const QString command = arguments.takeFirst();
    const QString folder = arguments.takeFirst();
    using Command = int (*)(const QString&, const QStringList&, QTextStream&, QTextStream&);
    const QHash<QString, Command> commands = {
        {QStringLiteral("create"), create},
        {QStringLiteral("backup"), backup},
        {QStringLiteral("restore"), restore},
        {QStringLiteral("import-products"), importProducts},
        {QStringLiteral("export-products"), exportProducts},
        {QStringLiteral("sql"), sql},
    };
    if (!commands.contains(command))
        return usage(err);
    return runTool([&] { return commands.value(command)(folder, arguments, out, err); }, err);
}
