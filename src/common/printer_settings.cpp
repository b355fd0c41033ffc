#include "common/printer_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>

namespace {

constexpr int MIN_COLUMNS = 20;
constexpr int MAX_COLUMNS = 80;

const QString MODE = QStringLiteral("impressao/modo");
const QString QUEUE = QStringLiteral("impressao/fila");
const QString COLUMNS_80 = QStringLiteral("impressao/colunas_80mm");
const QString COLUMNS_58 = QStringLiteral("impressao/colunas_58mm");
const QString DRAWER = QStringLiteral("impressao/gaveta");

const char DEFAULT_FILE[] =
    "; Impressão dos recibos do Tenduca nesta instalação.\n"
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
    "gaveta=nao\n";

QString keyName(const QString& key)
{
    return key.section(u'/', 1);
}

QString textOf(const QSettings& file, const QString& key)
{
    const QVariant value = file.value(key);
    // A value with commas reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(u',').trimmed();
    return value.toString().trimmed();
}

class Reader {
public:
    explicit Reader(const QString& path) : file_(path, QSettings::IniFormat) {}

    QSettings::Status status() const { return file_.status(); }

    template <typename T, typename Parse>
    T read(const QString& key, T fallback, const QString& allowed, const QString& fallbackText, Parse parse)
    {
        if (!file_.contains(key))
            return fallback;
        const QString text = textOf(file_, key);
        if (const std::optional<T> value = parse(text.toLower()))
            return *value;
        problems_ << QStringLiteral("O valor \"%1\" de \"%2\" não é válido (use %3); será usado %4.")
                         .arg(text, keyName(key), allowed, fallbackText);
        return fallback;
    }

    QString queue() const { return textOf(file_, QUEUE); }
    QStringList& problems() { return problems_; }

private:
    QSettings file_;
    QStringList problems_;
};

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

bool writeDefaults(const QString& path)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(DEFAULT_FILE) == qint64(sizeof DEFAULT_FILE - 1)
           && file.commit();
}

PrinterSettings readSettings(Reader& reader)
{
    const PrinterSettings defaults;
    const QString columnsAllowed = QStringLiteral("um número inteiro de %1 a %2").arg(MIN_COLUMNS).arg(MAX_COLUMNS);
    PrinterSettings settings;
    settings.mode = reader.read(MODE, defaults.mode, QStringLiteral("pagina ou escpos"), QStringLiteral("\"pagina\""),
                                parseMode);
    settings.queue = reader.queue();
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
    const QString path = QDir(folder).filePath(PRINTER_SETTINGS_FILE);
    PrinterSettingsRead read;
    if (!QFileInfo::exists(path)) {
        // A folder that does not exist is reported by the start of the program itself.
        if (QFileInfo(folder).isDir() && !writeDefaults(path))
            read.problems = QStringLiteral("O arquivo de configuração \"%1\" não pôde ser criado; os recibos saem "
                                           "como página na impressora padrão.")
                                .arg(QDir::toNativeSeparators(path));
        return read;
    }
    Reader reader(path);
    if (reader.status() != QSettings::NoError) {
        read.problems = QStringLiteral("O arquivo de configuração \"%1\" não pôde ser lido; os recibos saem como "
                                       "página na impressora padrão.")
                            .arg(QDir::toNativeSeparators(path));
        return read;
    }
    read.settings = readSettings(reader);
    if (!reader.problems().isEmpty())
        read.problems = QStringLiteral("No arquivo de configuração \"%1\":\n").arg(QDir::toNativeSeparators(path))
                        + reader.problems().join(u'\n');
    return read;
}
