// Writes a large bd1 for trying the program and the benchmarks on a shop
// with a long history: make_large_db FOLDER [--products N] [--sales M]

#include "support/large_database.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

#include <exception>
#include <optional>

namespace {

std::optional<int> countOption(const QCommandLineParser& parser, const QString& name, int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const LargeDatabaseOptions defaults;

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a new bd1 with a large catalogue and sale archive."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Folder of the new bd1 (made if missing)."));
    parser.addOption({QStringLiteral("products"),
                      QStringLiteral("Number of products (default %1).").arg(defaults.products),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("sales"),
                      QStringLiteral("Number of archived sale lines (default %1).").arg(defaults.saleLines),
                      QStringLiteral("M")});
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    const std::optional<int> products = countOption(parser, QStringLiteral("products"), defaults.products);
    const std::optional<int> sales = countOption(parser, QStringLiteral("sales"), defaults.saleLines);
    if (folders.size() != 1 || !products || !sales) {
        err << parser.helpText();
        return 2;
    }

    LargeDatabaseOptions options;
    options.products = *products;
    options.saleLines = *sales;
    QElapsedTimer timer;
    timer.start();
    try {
        const LargeDatabaseSummary summary = generateLargeDatabase(folders.first(), options);
        out << QStringLiteral("%1: %2 products, %3 sale lines in %4 sales over %5 sessions, %6 MB, %7 s\n")
                   .arg(summary.path)
                   .arg(summary.products)
                   .arg(summary.saleLines)
                   .arg(summary.sales)
                   .arg(summary.sessions)
                   .arg(QFileInfo(summary.path).size() / 1e6, 0, 'f', 1)
                   .arg(timer.elapsed() / 1000.0, 0, 'f', 1);
    } catch (const std::exception& error) {
        err << "make_large_db: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
