#include "catalogue/exportar_excel.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "devices/xlsx_spreadsheet.h"
#include "support/fake_platform.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList HEADINGS = {"ITEM", "CÓDIGO PRODUCTO", "NOMBRE PRODUCTO", "CANTIDAD", "PRECIO COSTO",
                              "PRECIO VENTA", "CATEGORÍA", "COSTO TOTAL", "VENTA TOTAL"};

// The stock list's nine columns, filled with the given rows.
void fill(ReportList& list, const QList<QStringList>& rows)
{
    QList<ReportColumn> columns;
    for (const QString& heading : HEADINGS)
        columns.append({heading, 1000});
    list.setColumns(columns);
    list.setRows(rows);
}

QList<QStringList> threeRows()
{
    return {{"1", "789001", "Arroz Tipo 1", "40", "18,9", "27,9", "Mercearia", "756", "1116"},
            {"2", "789002", "Sabão", "2,5", "1,25", "2,5", "Limpeza", "3,125", "6,25"},
            {"3", "789003", "Brinde", "1500", "0", "0", "Bazar", "0", "0"}};
}

// A python with the spreadsheet reader, or empty.
QString readerPython()
{
    for (const QString& candidate : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        if (candidate.isEmpty())
            continue;
        if (QProcess::execute(candidate, {"-c", "import openpyxl"}) == 0)
            return candidate;
    }
    return {};
}

// The workbook as a reader sees it: sheet names, column widths, and for every
// cell of the first sheet its type, value and font.
QJsonObject readBack(const QString& python, const QString& path)
{
    const char* script = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
cells = []
for row in sheet.iter_rows():
    for c in row:
        if c.value is None: continue
        cells.append({"row": c.row, "col": c.column, "type": c.data_type, "value": c.value,
                      "color": c.font.color.rgb if c.font.color is not None and isinstance(c.font.color.rgb, str) else None,
                      "size": c.font.sz, "bold": bool(c.font.b)})
widths = {letter: sheet.column_dimensions[letter].width for letter in "ABCDEFGHI"}
print(json.dumps({"sheets": book.sheetnames, "widths": widths, "cells": cells}))
)";
    QProcess reader;
    reader.start(python, {"-c", QString::fromUtf8(script), path});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) {
        qWarning() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

const QString XLSX_TYPE = QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");

// A desktop of the test's own: its settings and program entries live in a
// temporary folder, and no desktop environment is detected.
class OwnDesktop {
public:
    OwnDesktop()
    {
        for (const char* name : VARIABLES)
            qunsetenv(name);
        const QDir root(root_.path());
        qputenv("XDG_CONFIG_HOME", root.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", root.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", root.filePath("system").toUtf8());
    }
    ~OwnDesktop()
    {
        for (const char* name : VARIABLES)
            saved_.contains(name) ? qputenv(name, saved_.value(name).toLocal8Bit()) : qunsetenv(name);
    }

    void setDefault(const QString& entry) const
    {
        write("config/mimeapps.list", QString("[Default Applications]\n%1=%2\n").arg(XLSX_TYPE, entry));
    }
    QString addEntry(const QString& relativePath) const
    {
        return write("data/applications/" + relativePath,
                     QString("[Desktop Entry]\nType=Application\nName=Planilha\nExec=true %f\nMimeType=%1;\n")
                         .arg(XLSX_TYPE));
    }

private:
    static constexpr const char* VARIABLES[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                                "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                                "GNOME_DESKTOP_SESSION_ID", "XDG_MENU_PREFIX"};
    QString write(const QString& relativePath, const QString& text) const
    {
        const QString path = QDir(root_.path()).filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    const QProcessEnvironment saved_ = QProcessEnvironment::systemEnvironment();
    QTemporaryDir root_;
};

}   // namespace

class ExportarExcelTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void writesHeadingsThenRowsThenShows()
    {
        FakePlatform fakes;
        ReportList list;
        fill(list, threeRows());
        QProgressBar bar;
        QList<int> progress;
        fakes.spreadsheet.afterCall = [&] {
            if (fakes.spreadsheet.calls.last().endsWith(" 1") && fakes.spreadsheet.calls.last().startsWith("text"))
                progress.append(bar.value());
        };

        QVERIFY(Exportar_Excel(list, &bar, &fakes.spreadsheet, fakes.prompter));

        const FakeSpreadsheet& sheet = fakes.spreadsheet;
        QStringList expected = {"create", "width A 5", "width B 18", "width C 25", "width D 12", "width E 16",
                                "width F 16", "width G 30", "width H 14", "width I 14"};
        for (int column = 1; column <= 9; ++column)
            expected << QString("text 1 %1").arg(column) << QString("font %1 #0000ff 10 bold").arg(column);
        const QStringList kinds = {"text", "text", "text", "number", "number", "text", "text", "number", "number"};
        for (int row = 2; row <= 4; ++row) {
            for (int column = 1; column <= 9; ++column)
                expected << QString("%1 %2 %3").arg(kinds[column - 1]).arg(row).arg(column);
        }
        expected << "visible";
        QCOMPARE(sheet.calls, expected);

        for (int column = 1; column <= 9; ++column)
            QCOMPARE(sheet.cell(1, column), QVariant(HEADINGS[column - 1]));
        QCOMPARE(sheet.cell(3, 1), QVariant(QString("2")));
        QCOMPARE(sheet.cell(3, 4), QVariant(2.5));      // "2,5" read with the decimal comma
        QCOMPARE(sheet.cell(3, 5), QVariant(1.25));
        QCOMPARE(sheet.cell(3, 6), QVariant(QString("2,5")));   // the sale price stays text
        QCOMPARE(sheet.cell(3, 8), QVariant(3.125));
        QCOMPARE(sheet.cell(3, 9), QVariant(6.25));
        QCOMPARE(sheet.cell(4, 4), QVariant(1500.0));
        QCOMPARE(sheet.rowCount(), 4);

        // Before row n is written the bar shows the n − 1 rows done; at the end it is back at 0.
        QCOMPARE(progress, QList<int>({0, 0, 1, 2}));
        QCOMPARE(bar.maximum(), 3);
        QCOMPARE(bar.value(), 0);
        QVERIFY(fakes.prompter.messages.isEmpty());
    }

    void failureShowsOneMessageAndResetsTheBar_data()
    {
        QTest::addColumn<QString>("failAt");
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QString>("message");
        QTest::newRow("a quantity that does not read")
            << QString() << "2,5kg" << "Não foi possível exportar o item 2 (coluna CANTIDAD): \"2,5kg\" não é um número válido";
        QTest::newRow("the workbook cannot be made") << "create" << "2,5" << "falha simulada da planilha";
        QTest::newRow("writing a row") << "number 3 5" << "2,5" << "falha simulada da planilha";
        QTest::newRow("showing it") << "visible" << "2,5" << "falha simulada da planilha";
    }
    void failureShowsOneMessageAndResetsTheBar()
    {
        QFETCH(QString, failAt);
        QFETCH(QString, quantity);
        QFETCH(QString, message);
        FakePlatform fakes;
        QList<QStringList> rows = threeRows();
        rows[1][3] = quantity;
        ReportList list;
        fill(list, rows);
        QProgressBar bar;
        fakes.spreadsheet.failAt = failAt;

        QVERIFY(!Exportar_Excel(list, &bar, &fakes.spreadsheet, fakes.prompter));

        QCOMPARE(fakes.prompter.messages.size(), 1);
        QCOMPARE(fakes.prompter.messages[0].kind, FakePrompter::Kind::Critical);
        QCOMPARE(fakes.prompter.messages[0].text, message);
        QCOMPARE(fakes.spreadsheet.calls.last(), QString("discard"));
        QVERIFY(!fakes.spreadsheet.visible);
        QCOMPARE(bar.value(), 0);
    }

    void withoutProgressBar()
    {
        FakePlatform fakes;
        ReportList list;
        fill(list, threeRows());
        QVERIFY(Exportar_Excel(list, nullptr, &fakes.spreadsheet, fakes.prompter));
        QCOMPARE(fakes.spreadsheet.rowCount(), 4);
    }

    void realWorkbookReadsBack()
    {
        const QString python = readerPython();
        if (python.isEmpty())
            QSKIP("python3 with openpyxl is not installed (scripts/install-deps.sh installs python3-openpyxl)");
        QTemporaryDir folder;
        FakeClock clock;
        clock.moment = QDateTime(QDate(2026, 12, 7), QTime(15, 4, 32));
        QStringList opened;
        XlsxSpreadsheet spreadsheet(clock, folder.filePath("Documentos"), [&](const QString& path) {
            opened.append(path);
            return true;
        });
        FakePrompter prompter;
        ReportList list;
        fill(list, threeRows());

        QVERIFY(Exportar_Excel(list, nullptr, &spreadsheet, prompter));
        const QString path = folder.filePath("Documentos/Estoque 07-12-2026 15-04-32.xlsx");
        QCOMPARE(opened, QStringList{path});
        QVERIFY(prompter.messages.isEmpty());

        const QJsonObject book = readBack(python, path);
        QCOMPARE(book["sheets"].toArray().size(), 1);
        const QJsonObject widths = book["widths"].toObject();
        const QList<double> wanted = {5, 18, 25, 12, 16, 16, 30, 14, 14};
        for (int column = 0; column < 9; ++column) {
            // The file keeps the width with the cell padding the program adds (5 characters are 5,7109375).
            const double stored = widths[QString(QChar('A' + column))].toDouble();
            QVERIFY2(stored > wanted[column] && stored < wanted[column] + 1, qPrintable(QString::number(stored)));
        }

        QMap<QPair<int, int>, QJsonObject> cells;
        for (const QJsonValue& cell : book["cells"].toArray())
            cells.insert({cell["row"].toInt(), cell["col"].toInt()}, cell.toObject());
        QCOMPARE(cells.size(), 4 * 9);
        for (int column = 1; column <= 9; ++column) {
            const QJsonObject heading = cells.value({1, column});
            QCOMPARE(heading["value"].toString(), HEADINGS[column - 1]);
            QCOMPARE(heading["type"].toString(), QString("s"));
            QCOMPARE(heading["color"].toString(), QString("FF0000FF"));
            QCOMPARE(heading["size"].toDouble(), 10.0);
            QVERIFY(heading["bold"].toBool());
        }
        const QList<bool> numeric = {false, false, false, true, true, false, false, true, true};
        const QList<QStringList> rows = threeRows();
        for (int row = 0; row < rows.size(); ++row) {
            for (int column = 1; column <= 9; ++column) {
                const QJsonObject cell = cells.value({row + 2, column});
                const QString text = rows[row][column - 1];
                if (numeric[column - 1]) {
                    QCOMPARE(cell["type"].toString(), QString("n"));
                    QCOMPARE(cell["value"].toDouble(), A_Numero(text));
                } else {
                    QCOMPARE(cell["type"].toString(), QString("s"));
                    QCOMPARE(cell["value"].toString(), text);
                }
                QVERIFY(!cell["bold"].toBool());
            }
        }
    }

    void realFileNamesNeverOverwrite()
    {
        QTemporaryDir folder;
        FakeClock clock;
        QStringList opened;
        XlsxSpreadsheet spreadsheet(clock, folder.path(), [&](const QString& path) {
            opened.append(QFileInfo(path).fileName());
            return true;
        });
        FakePrompter prompter;
        ReportList list;
        fill(list, threeRows());
        QVERIFY(Exportar_Excel(list, nullptr, &spreadsheet, prompter));
        QVERIFY(Exportar_Excel(list, nullptr, &spreadsheet, prompter));
        QCOMPARE(opened, QStringList({"Estoque 05-03-2024 08-15-02.xlsx", "Estoque 05-03-2024 08-15-02 (2).xlsx"}));
    }

    // Finished rows are on disk already: writing above them is refused, not lost silently.
    void realRefusesARowAboveTheCurrentOne()
    {
        QTemporaryDir folder;
        FakeClock clock;
        XlsxSpreadsheet spreadsheet(clock, folder.path(), [](const QString&) { return true; });
        spreadsheet.createWorkbook();
        spreadsheet.setText(1, 1, "ITEM");
        spreadsheet.setNumber(3, 1, 2);
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, spreadsheet.setText(2, 1, "x"));
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, spreadsheet.setHeadingFont(1, {Qt::blue, 10, true}));
        spreadsheet.discard();
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    }

    void desktopProgramIsLookedUp_data()
    {
        QTest::addColumn<QString>("defaultEntry");
        QTest::addColumn<QString>("entryFile");
        QTest::addColumn<bool>("found");
        QTest::newRow("none set up") << QString() << QString() << false;
        QTest::newRow("set up, its entry gone") << "planilha.desktop" << QString() << false;
        QTest::newRow("set up") << "planilha.desktop" << "planilha.desktop" << true;
        QTest::newRow("set up in a subfolder") << "escritorio-planilha.desktop" << "escritorio/planilha.desktop"
                                               << true;
    }

    // A launcher says it opened the file even when no program is set up for
    // it: the program is looked up the way the desktop's launcher looks it up.
    void desktopProgramIsLookedUp()
    {
        QFETCH(QString, defaultEntry);
        QFETCH(QString, entryFile);
        QFETCH(bool, found);
        if (found && QStandardPaths::findExecutable("xdg-mime").isEmpty())
            QSKIP("xdg-mime is not installed (scripts/install-deps.sh installs xdg-utils)");
        OwnDesktop desktop;
        if (!defaultEntry.isEmpty())
            desktop.setDefault(defaultEntry);
        const QString entry = entryFile.isEmpty() ? QString() : desktop.addEntry(entryFile);

        QCOMPARE(XlsxSpreadsheet::desktopSpreadsheetProgram(), found ? entry : QString());
    }

    void realFailuresSayWhere()
    {
        QTemporaryDir folder;
        FakeClock clock;
        FakePrompter prompter;
        ReportList list;
        fill(list, threeRows());
        QProgressBar bar;

        // The desktop has no spreadsheet program: the file stays written, and the message says where.
        {
            OwnDesktop noSpreadsheetProgram;
            XlsxSpreadsheet unopened(clock, folder.path());
            QVERIFY(!Exportar_Excel(list, &bar, &unopened, prompter));
        }
        const QString path = QDir(folder.path()).filePath("Estoque 05-03-2024 08-15-02.xlsx");
        QVERIFY(QFile::exists(path));
        QCOMPARE(prompter.messages.size(), 1);
        QCOMPARE(prompter.messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY2(prompter.messages[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(prompter.last()));
        QCOMPARE(bar.value(), 0);

        // A folder that cannot be made, and one that cannot be written (not even by the
        // administrator): one message each, nothing opened, the bar back at 0.
        QFile blocker(folder.filePath("arquivo"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QList<QPair<QString, QString>> cases = {
            {folder.filePath("arquivo/Documentos"), "Não foi possível criar a pasta"},
            {"/proc", "Não foi possível gravar o arquivo /proc/Estoque 05-03-2024 08-15-02.xlsx"},
        };
        for (const auto& [where, message] : cases) {
            prompter.clear();
            bool opened = false;
            XlsxSpreadsheet unwritable(clock, where, [&](const QString&) { return opened = true; });
            QVERIFY(!Exportar_Excel(list, &bar, &unwritable, prompter));
            QCOMPARE(prompter.messages.size(), 1);
            QCOMPARE(prompter.messages[0].kind, FakePrompter::Kind::Critical);
            QVERIFY2(prompter.last().startsWith(message), qPrintable(prompter.last()));
            QVERIFY(!opened);
            QCOMPARE(bar.value(), 0);
        }
    }
};

QTEST_MAIN(ExportarExcelTest)
#include "tst_exportar_excel.moc"
