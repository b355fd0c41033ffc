// tenduca-db: creates the database file bd1 that the program works on.
//
//   tenduca-db create FOLDER [--demo]
//   tenduca-db --help
//
// The program itself never creates its database; an installation runs this once.

#include "demo_catalogue.h"
#include "store/database_creator.h"
#include "store/store_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTextStream>

namespace {

constexpr int USAGE_ERROR = 2;

void printUsage(QTextStream& stream)
{
    stream << "Uso: tenduca-db create PASTA [--demo]\n"
              "  Cria um novo arquivo de dados bd1 na PASTA, com o usuário admin (senha admin).\n"
              "  --demo  inclui um catálogo de demonstração de uma pequena mercearia.\n"
              "  -h, --help  mostra esta ajuda.\n";
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
    if (arguments.size() < 2 || arguments.takeFirst() != QLatin1String("create"))
        return usage(err);
    const QString folder = arguments.takeFirst();

    NewDatabaseOptions options;
    for (const QString& option : arguments) {
        if (option == QLatin1String("--demo"))
            options.products = demoCatalogue();
        else if (option == QLatin1String("--temporal-antigo"))   // for tests of the upgrade: the older Temporal
            options.olderTemporal = true;
        else
            return usage(err);
    }

    try {
        const QString path = createDatabase(folder, options);
        out << "Arquivo de dados criado: " << QDir::toNativeSeparators(path) << '\n';
        if (!options.products.isEmpty())
            out << options.products.size() << " produtos de demonstração incluídos.\n";
        out << "Usuário: admin  Senha: admin\n";
    } catch (const StoreError& error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
