#include "devices/xlsx_spreadsheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <xlsxwriter.h>

namespace {

int columnIndex(const QString& letter)
{
    if (letter.size() != 1 || letter.at(0) < QLatin1Char('A') || letter.at(0) > QLatin1Char('Z'))
        throw SpreadsheetError(QStringLiteral("Coluna de planilha inválida: \"%1\".").arg(letter));
    return letter.at(0).unicode() - 'A';
}

const QString XLSX_TYPE = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
constexpr int DESKTOP_QUERY_TIMEOUT_MS = 10000;

// A desktop entry id names its file under an applications folder, a "-" of
// the id standing for a subfolder ("kde-calc.desktop" may be kde/calc.desktop).
QString desktopEntryFile(const QString& id)
{
    QString relative = id;
    for (;;) {
        const QString found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, relative);
        if (!found.isEmpty())
            return found;
        const qsizetype dash = relative.indexOf(u'-');
        if (dash < 0)
            return {};
        relative[dash] = u'/';
    }
}

lxw_color_t rgbOf(const QColor& color)
{
    return (lxw_color_t(color.red()) << 16) | (lxw_color_t(color.green()) << 8) | lxw_color_t(color.blue());
}

}   // namespace

XlsxSpreadsheet::XlsxSpreadsheet(const Clock& clock, QString folder, Opener opener)
    : clock_(clock), folder_(std::move(folder)), opener_(std::move(opener))
{
}

XlsxSpreadsheet::~XlsxSpreadsheet()
{
    discard();
}

QString XlsxSpreadsheet::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

XlsxSpreadsheet::Opener XlsxSpreadsheet::desktopOpener()
{
    return [](const QString& path) {
        const QString launcher = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        return !launcher.isEmpty() && !desktopSpreadsheetProgram().isEmpty()
               && QProcess::startDetached(launcher, {path});
    };
}

// Asked of the desktop's own tool, which knows the desktop's settings; where
// it is missing, so is the launcher that would open the file.
QString XlsxSpreadsheet::desktopSpreadsheetProgram()
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty())
        return {};
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), XLSX_TYPE});
    if (!query.waitForFinished(DESKTOP_QUERY_TIMEOUT_MS) || query.exitStatus() != QProcess::NormalExit
        || query.exitCode() != 0)
        return {};
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).section(u'\n', 0, 0).trimmed();
    return id.endsWith(QLatin1String(".desktop")) ? desktopEntryFile(id) : QString();
}

// "Estoque 07-12-2026 15-04-32.xlsx"; a second export within the same second gets " (2)" and so on.
QString XlsxSpreadsheet::fileName() const
{
    const QString stem =
        QStringLiteral("Estoque ") + clock_.now().toString(QStringLiteral("dd-MM-yyyy HH-mm-ss"));
    QString name = stem + QStringLiteral(".xlsx");
    for (int copy = 2; QFileInfo::exists(QDir(folder_).filePath(name)); ++copy)
        name = stem + QStringLiteral(" (%1).xlsx").arg(copy);
    return name;
}

void XlsxSpreadsheet::createWorkbook()
{
    discard();
    if (!QDir().mkpath(folder_))
        throw SpreadsheetError(QStringLiteral("Não foi possível criar a pasta %1 para a planilha.")
                                   .arg(QDir::toNativeSeparators(folder_)));
    path_ = QDir(folder_).filePath(fileName());
    // Rows go to disk as they are finished, so a large listing costs little memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(QFile::encodeName(path_).constData(), &options);
    if (workbook_)
        worksheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (!worksheet_) {
        discard();
        throw SpreadsheetError(QStringLiteral("Não foi possível preparar a planilha: falta memória."));
    }
}

lxw_worksheet* XlsxSpreadsheet::sheet() const
{
    if (!worksheet_)
        throw SpreadsheetError(QStringLiteral("Nenhuma planilha foi criada."));
    return worksheet_;
}

void XlsxSpreadsheet::check(int result, const QString& doing) const
{
    if (result != LXW_NO_ERROR)
        throw SpreadsheetError(QStringLiteral("Não foi possível %1 na planilha.").arg(doing));
}

// A cell is written for every field of every row: its message is made only when it failed.
void XlsxSpreadsheet::checkCell(int result, int row, int column) const
{
    if (result != LXW_NO_ERROR)
        check(result, QStringLiteral("escrever a célula da linha %1, coluna %2").arg(row).arg(column));
}

void XlsxSpreadsheet::setColumnWidth(const QString& column, double width)
{
    const int index = columnIndex(column);
    check(worksheet_set_column(sheet(), index, index, width, nullptr),
          QStringLiteral("ajustar a largura da coluna %1").arg(column));
}

// Finished rows are already on disk: a cell above the current row would be lost.
void XlsxSpreadsheet::checkOrder(int row)
{
    if (row < currentRow_)
        throw SpreadsheetError(QStringLiteral("A linha %1 da planilha já foi gravada.").arg(row));
    currentRow_ = row;
}

void XlsxSpreadsheet::setText(int row, int column, const QString& text)
{
    checkOrder(row);
    checkCell(worksheet_write_string(sheet(), row - 1, column - 1, text.toUtf8().constData(), nullptr), row, column);
    if (row == 1)
        heading_.insert(column, text);
}

void XlsxSpreadsheet::setNumber(int row, int column, double value)
{
    checkOrder(row);
    checkCell(worksheet_write_number(sheet(), row - 1, column - 1, value, nullptr), row, column);
    if (row == 1)
        heading_.insert(column, value);
}

// A cell's format is given as it is written, so the heading cell is written again with its font.
void XlsxSpreadsheet::setHeadingFont(int column, const CellFont& font)
{
    lxw_worksheet* target = sheet();
    checkOrder(1);
    lxw_format* format = workbook_add_format(workbook_);
    if (!format)
        throw SpreadsheetError(QStringLiteral("Não foi possível preparar a planilha: falta memória."));
    format_set_font_color(format, rgbOf(font.color));
    format_set_font_size(format, font.points);
    if (font.bold)
        format_set_bold(format);
    const QVariant value = heading_.value(column);
    const QString doing = QStringLiteral("formatar o título da coluna %1").arg(column);
    if (value.typeId() == QMetaType::Double)
        check(worksheet_write_number(target, 0, column - 1, value.toDouble(), format), doing);
    else if (value.isValid())
        check(worksheet_write_string(target, 0, column - 1, value.toString().toUtf8().constData(), format), doing);
    else
        check(worksheet_write_blank(target, 0, column - 1, format), doing);
}

void XlsxSpreadsheet::makeVisible()
{
    sheet();
    const lxw_error result = workbook_close(workbook_);
    workbook_ = nullptr;
    worksheet_ = nullptr;
    heading_.clear();
    currentRow_ = 1;
    const QString where = QDir::toNativeSeparators(path_);
    if (result != LXW_NO_ERROR) {
        QFile::remove(path_);
        throw SpreadsheetError(
            QStringLiteral("Não foi possível gravar o arquivo %1: a pasta não permite gravação ou o disco está cheio.")
                .arg(where));
    }
    if (!opener_(path_))
        throw SpreadsheetError(QStringLiteral("A planilha foi salva em %1, mas nenhum programa de planilhas "
                                              "conseguiu abri-la. Abra o arquivo a partir dessa pasta.")
                                   .arg(where));
}

void XlsxSpreadsheet::discard()
{
    if (workbook_)
        lxw_workbook_free(workbook_);
    workbook_ = nullptr;
    worksheet_ = nullptr;
    heading_.clear();
    currentRow_ = 1;
}
