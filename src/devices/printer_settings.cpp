#include "devices/printer_settings.h"

#include "common/settings_file.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int MIN_COLUMNS = 20;
constexpr int MAX_COLUMNS = 80;

const QString MODE = QStringLiteral("impressao/modo");
const QString QUEUE = QStringLiteral("impressao/fila");
const QString COLUMNS_80 = QStringLiteral("impressao/colunas_80mm");
const QString COLUMNS_58 = QStringLiteral("impressao/colunas_58mm");
const QString DRAWER = QStringLiteral("impressao/gaveta");

std::optional<PrinterSettings::Mode> parseMode(const QString& text)
{
    if (text == QLatin1String("pagina") || text == QLatin1String("página"))
        return PrinterSettings::Mode::Page;
    if (text == QLatin1String("escpos"))
        return PrinterSettings::Mode::EscPos;
    return std::nullopt;
}

std::optional<bool> parseYesNo(const QString& text)
{
    if (text == QLatin1String("sim"))
        return true;
    if (text == QLatin1String("nao") || text == QLatin1String("não"))
        return false;
    return std::nullopt;
}

std::optional<int> parseColumns(const QString& text)
{
    bool ok = false;
    const int columns = text.toInt(&ok);
    if (!ok || columns < MIN_COLUMNS || columns > MAX_COLUMNS)
        return std::nullopt;
    return columns;
}

PrinterSettings readSettings(SettingsReader& reader)
{
    const PrinterSettings defaults;
    const QString columnsAllowed = QStringLiteral("um número inteiro de %1 a %2").arg(MIN_COLUMNS).arg(MAX_COLUMNS);
    PrinterSettings settings;
    settings.mode = reader.read(MODE, defaults.mode, QStringLiteral("pagina ou escpos"), QStringLiteral("\"pagina\""),
                                parseMode);
    settings.queue = reader.text(QUEUE);
    settings.columns.mm80 = reader.read(COLUMNS_80, defaults.columns.mm80, columnsAllowed,
                                        QString::number(defaults.columns.mm80), parseColumns);
    settings.columns.mm58 = reader.read(COLUMNS_58, defaults.columns.mm58, columnsAllowed,
                                        QString::number(defaults.columns.mm58), parseColumns);
    settings.openDrawer = reader.read(DRAWER, defaults.openDrawer, QStringLiteral("sim ou nao"),
                                      QStringLiteral("\"nao\""), parseYesNo);
    if (settings.mode == PrinterSettings::Mode::EscPos && settings.queue.isEmpty()) {
        reader.problems() << QStringLiteral("\"modo\" é escpos, mas \"fila\" está vazia: indique o nome da fila da "
                                            "impressora de recibos. Até lá os recibos saem como página na impressora "
                                            "padrão.");
        settings.mode = PrinterSettings::Mode::Page;
    }
    return settings;
}

}   // namespace

PrinterSettingsRead Ler_Configuracao_Impressao(const QString& folder)
{
    const QString path = settingsPath(folder);
    PrinterSettingsRead read;
    if (!QFileInfo::exists(path)) {
        // A folder that does not exist is reported by the start of the program itself.
        if (!writeDefaultSettings(folder))
            read.problems = QStringLiteral("O arquivo de configuração \"%1\" não pôde ser criado; os recibos saem "
                                           "como página na impressora padrão.")
                                .arg(QDir::toNativeSeparators(path));
        return read;
    }
    SettingsReader reader(path);
    if (reader.status() != QSettings::NoError) {
        read.problems = QStringLiteral("O arquivo de configuração \"%1\" não pôde ser lido; os recibos saem como "
                                       "página na impressora padrão.")
                            .arg(QDir::toNativeSeparators(path));
        return read;
    }
    read.settings = readSettings(reader);
    read.problems = settingsProblems(path, reader.problems());
    return read;
}
