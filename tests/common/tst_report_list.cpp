#include "catalogue/form2.h"
#include "catalogue/form9.h"
#include "common/report_list.h"
#include "reports/form12.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The sale list's display columns.
const QList<ReportColumn> SALE_COLUMNS = {
    {QStringLiteral("_"), 0, Qt::AlignLeft},
    {QStringLiteral("Código"), 1900, Qt::AlignLeft},
    {QStringLiteral("Quantidade"), 1500, Qt::AlignRight},
    {QStringLiteral("Valor Total"), 2200, Qt::AlignCenter},
};

Qt::Alignment horizontalAlignment(const QVariant& alignment)
{
    return Qt::Alignment(alignment.toInt()) & Qt::AlignHorizontal_Mask;
}

QColor cellColor(const ReportList& list, int row, int column, Qt::ItemDataRole role)
{
    return list.model()->data(list.model()->index(row, column), role).value<QColor>();
}

QList<QStringList> numberedRows(int count)
{
    QList<QStringList> rows;
    for (int row = 0; row < count; ++row)
        rows.append({QString::number(row + 1), QStringLiteral("code %1").arg(row), QStringLiteral("1")});
    return rows;
}

// Notes the region of every paint of a widget.
class PaintedRegion : public QObject {
public:
    explicit PaintedRegion(QWidget* widget) { widget->installEventFilter(this); }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

// A shown window with a text box holding the keyboard above a list.
struct BoxAboveList {
    BoxAboveList()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(list);
        list->setColumns(SALE_COLUMNS);
        list->setRows(numberedRows(40));
        window.resize(400, 300);
        window.show();
        window.activateWindow();
        box->setFocus();
    }
    QWidget window;
    QLineEdit* box = new QLineEdit(&window);
    ReportList* list = new ReportList(&window);
};

int inkPixels(const QImage& image, const QRect& area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += image.pixelColor(x, y) != LIST_BACKGROUND_COLOR;
    return ink;
}

// The program's windows, loaded over a bd1 of their own, each list as its window sets it up.
struct LoadedWindows {
    LoadedWindows()
    {
        for (QWidget* window : std::initializer_list<QWidget*>{&sale, &maintenance, &stock, &sales})
            window->show();
    }
    ReportList* list(const QString& name)
    {
        if (name == "sale")
            return ui(sale).ListView1;
        if (name == "maintenance")
            return maintenance.ListView1;
        if (name == "stock")
            return stock.ListView1;
        return sales.ListView2;
    }

    TestDatabase database;
    FakePlatform fakes{database.folder()};
    Form1 sale{fakes.platform};
    Form2 maintenance{fakes.platform};
    Form9 stock{fakes.platform};
    Form12 sales{fakes.platform};
};

const QString ARIAL_METRICS = QStringLiteral("Liberation Sans");
const QChar ELLIPSIS(0x2026);

}  // namespace

class TestReportList : public QObject {
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void newColumnsReplaceHiddenState();
    void titlesTooWideEndInEllipsis_data();
    void titlesTooWideEndInEllipsis();
    void textsTooWideEndInEllipsis();
    void codesAndTimesInTheWindowsLists_data();
    void codesAndTimesInTheWindowsLists();
    void controlCharactersShowAsSpaces_data();
    void controlCharactersShowAsSpaces();
    void colorsAndFont();
    void colorsArePainted();
    void fillingRows();
    void setRowChangesThatRowOnly();
    void oneRowChangeRepaintsThatRowOnly();
    void showRowKeepsTheNewestRowInView();
    void clicksLeaveTheFocus_data();
    void clicksLeaveTheFocus();
    void outOfRange_data();
    void outOfRange();
    void selection();
    void usersCannotEdit();
    void viewShowsTheModel();
};

void TestReportList::columns_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<int>("widthPixels");
    QTest::addColumn<int>("alignment");

    QTest::newRow("zero width hides") << 0 << "_" << true << 0 << int(Qt::AlignLeft);
    QTest::newRow("1900 twips left") << 1 << "Código" << false << 127 << int(Qt::AlignLeft);
    QTest::newRow("1500 twips right") << 2 << "Quantidade" << false << 100 << int(Qt::AlignRight);
    QTest::newRow("2200 twips centre") << 3 << "Valor Total" << false << 147 << int(Qt::AlignHCenter);
}

void TestReportList::columns()
{
    QFETCH(int, column);
    QFETCH(QString, title);
    QFETCH(bool, hidden);
    QFETCH(int, widthPixels);
    QFETCH(int, alignment);

    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.addNumberedRow({QStringLiteral("789"), QStringLiteral("2"), QStringLiteral("R$ 5,00")});

    QCOMPARE(list.columnCount(), 4);
    QCOMPARE(list.columnTitle(column), title);
    QCOMPARE(list.model()->headerData(column, Qt::Horizontal).toString(), title);
    QCOMPARE(list.isColumnHidden(column), hidden);
    if (!hidden)
        QCOMPARE(list.columnWidth(column), widthPixels);
    const QModelIndex cell = list.model()->index(0, column);
    QCOMPARE(horizontalAlignment(cell.data(Qt::TextAlignmentRole)), Qt::Alignment(alignment));
    QCOMPARE(horizontalAlignment(list.model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)),
             Qt::Alignment(alignment));
}

void TestReportList::newColumnsReplaceHiddenState()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.setColumns({{QStringLiteral("Nome"), 3000, Qt::AlignLeft}, {QStringLiteral("Total"), 0, Qt::AlignRight}});

    QCOMPARE(list.columnCount(), 2);
    QVERIFY(!list.isColumnHidden(0));
    QCOMPARE(list.columnWidth(0), 200);
    QVERIFY(list.isColumnHidden(1));
    QCOMPARE(list.columnTitle(2), QString());
}

void TestReportList::titlesTooWideEndInEllipsis_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("alignment");

    QTest::newRow("right-aligned") << "Quantidade" << int(Qt::AlignRight);
    QTest::newRow("centred") << "Valor Unitário" << int(Qt::AlignCenter);
    QTest::newRow("left-aligned") << "Categoria" << int(Qt::AlignLeft);
}

// The sale list's titles at its 18-point bold font: cut short with "…" on the
// right in a narrow column, whole in a wide one, cells likewise.
void TestReportList::titlesTooWideEndInEllipsis()
{
    QFETCH(QString, title);
    QFETCH(int, alignment);

    ReportList list;
    list.setFontSize(18);
    list.setColumns({{QStringLiteral("_"), 0}, {title, 1500, Qt::Alignment(alignment)}, {QStringLiteral("B"), 6000}});
    list.resize(600, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QString narrow = list.shownTitle(1);
    QVERIFY2(narrow.endsWith(QChar(0x2026)), qPrintable(narrow));
    QVERIFY2(narrow.size() >= 3 && title.startsWith(narrow.chopped(1)), qPrintable(narrow));
    QVERIFY(list.header()->fontMetrics().horizontalAdvance(narrow) <= list.columnWidth(1));
    QCOMPARE(list.shownTitle(2), QStringLiteral("B"));
    QCOMPARE(list.textElideMode(), Qt::ElideRight);

    list.setColumnWidth(1, list.header()->fontMetrics().horizontalAdvance(title) + 40);
    QCOMPARE(list.shownTitle(1), title);
    QCOMPARE(list.shownTitle(3), QString());
}

// A right-aligned text of full blocks wider than its cell: it keeps its start
// and ends in "…", whose dots sit low where the blocks would fill the height.
void TestReportList::textsTooWideEndInEllipsis()
{
    ReportList list;
    list.setFontSize(18);
    list.setColumns({{QStringLiteral("Quantidade"), 1500, Qt::AlignRight}, {QStringLiteral("B"), 3000}});
    list.setRows({{QStringLiteral("1"), QStringLiteral("y")}, {QString(30, QChar(0x2588)), QStringLiteral("x")}});
    list.resize(400, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QImage image = list.viewport()->grab().toImage();
    const QRect cell = list.visualRect(list.model()->index(1, 0));   // not the current row, which the style frames
    const QRect end(cell.right() - 15, cell.top() + 2, 12, cell.height() - 4);
    const QRect endTop(end.topLeft(), QSize(end.width(), end.height() / 2));
    QCOMPARE(image.pixelColor(cell.left() + 1, cell.center().y()), LIST_BACKGROUND_COLOR);
    QCOMPARE(image.pixelColor(cell.center()), LIST_TEXT_COLOR);
    QCOMPARE(inkPixels(image, endTop), 0);
    QVERIFY(inkPixels(image, end) > 0);
}

void TestReportList::codesAndTimesInTheWindowsLists_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("elided");   // Qt::ElideNone: shown whole

    const QString code = QStringLiteral("7891000000014");
    QTest::newRow("product window code") << "maintenance" << 1 << code << int(Qt::ElideNone);
    QTest::newRow("session sale time") << "sales" << 0 << "08/12/2026 10:23:45" << int(Qt::ElideNone);
    QTest::newRow("sale list code") << "sale" << 1 << code << int(Qt::ElideLeft);
    QTest::newRow("stock report code") << "stock" << 1 << code << int(Qt::ElideLeft);
    QTest::newRow("sale list name") << "sale" << 2 << QString(60, u'M') << int(Qt::ElideRight);
}

// Measured at each list's own font against its column: a code or a sale time
// fits where the column was made for it; where a code cannot, its last
// digits stay in view; any other text keeps its start.
void TestReportList::codesAndTimesInTheWindowsLists()
{
    QFETCH(QString, window);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(int, elided);

    LoadedWindows windows;
    ReportList* list = windows.list(window);
    QVERIFY2(QFontInfo(list->font()).family() == ARIAL_METRICS,
             "Liberation Sans is not installed (Debian fonts-liberation2, see scripts/install-deps.sh)");
    QCOMPARE(QFontInfo(list->window()->font()).family(), ARIAL_METRICS);

    const int row = list->addRow(QStringList(list->columnCount(), QStringLiteral("1")));
    list->setText(row, column, text);
    const int textWidth = QFontMetrics(list->font()).horizontalAdvance(text);
    const QString shown = list->shownText(row, column);
    switch (elided) {
    case Qt::ElideNone:
        QVERIFY2(textWidth < list->columnWidth(column), qPrintable(QString::number(textWidth)));
        QCOMPARE(shown, text);
        break;
    case Qt::ElideLeft:
        QVERIFY2(shown.startsWith(ELLIPSIS) && text.endsWith(shown.mid(1)), qPrintable(shown));
        QVERIFY2(shown.size() > 6, qPrintable(shown));
        break;
    default:
        QVERIFY2(shown.endsWith(ELLIPSIS) && text.startsWith(shown.chopped(1)), qPrintable(shown));
    }
}

void TestReportList::controlCharactersShowAsSpaces_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");

    QTest::newRow("line break") << "Arroz\nTipo 1" << "Arroz Tipo 1";
    QTest::newRow("tab") << "Arroz\tTipo 1" << "Arroz Tipo 1";
    QTest::newRow("escape") << "Arroz \x1b[2J" << "Arroz  [2J";
    QTest::newRow("plain") << "Feijão Preto" << "Feijão Preto";
}

// Names stored with control characters list on one line; the stored text stays as it is.
void TestReportList::controlCharactersShowAsSpaces()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);

    ReportList list;
    list.setColumns({{QStringLiteral("Nome"), 6000}});
    list.addRow({stored});

    QCOMPARE(list.model()->index(0, 0).data().toString(), shown);
    QCOMPARE(list.shownText(0, 0), shown);
    QCOMPARE(list.text(0, 0), stored);
}

void TestReportList::colorsAndFont()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.addRow({QStringLiteral("1"), QStringLiteral("789")});

    QCOMPARE(cellColor(list, 0, 1, Qt::ForegroundRole), QColor(0, 0, 0));
    QCOMPARE(cellColor(list, 0, 1, Qt::BackgroundRole), QColor(255, 255, 128));

    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    const QColor windowBackground = list.palette().color(QPalette::Window);
    list.setColors(Qt::red, windowBackground);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(cellColor(list, 0, 3, Qt::ForegroundRole), QColor(Qt::red));
    QCOMPARE(cellColor(list, 0, 3, Qt::BackgroundRole), windowBackground);
    QCOMPARE(list.textColor(), QColor(Qt::red));
    QCOMPARE(list.backgroundColor(), windowBackground);
    QCOMPARE(list.palette().color(QPalette::Base), windowBackground);

    list.setFontSize(18);
    QCOMPARE(list.font().pointSize(), 18);
    QVERIFY(list.font().bold());
    QCOMPARE(list.header()->font().pointSize(), 18);
}

// The colours reach the screen: a row away from its text (not the current row,
// which the style frames) and the empty space below the rows are both painted
// in the list's background.
void TestReportList::colorsArePainted()
{
    ReportList list;
    list.setColumns({{QStringLiteral("A"), 3000, Qt::AlignLeft}});
    list.setRows({{QStringLiteral("1")}, {QStringLiteral("2")}});
    list.resize(300, 200);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QImage image = list.viewport()->grab().toImage();
    const QRect secondRow = list.visualRect(list.model()->index(1, 0));
    QCOMPARE(image.pixelColor(secondRow.right() - 3, secondRow.center().y()), LIST_BACKGROUND_COLOR);
    QCOMPARE(image.pixelColor(secondRow.center().x(), secondRow.bottom() + 20), LIST_BACKGROUND_COLOR);
}

void TestReportList::fillingRows()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);

    QCOMPARE(list.addRow({QStringLiteral("x"), QStringLiteral("111")}), 0);
    QCOMPARE(list.addNumberedRow({QStringLiteral("222"), QStringLiteral("3")}), 1);
    QCOMPARE(list.row(1), QStringList({"2", "222", "3"}));
    QCOMPARE(list.text(0, 0), QStringLiteral("x"));

    list.setText(1, 2, QStringLiteral("4"));
    QCOMPARE(list.text(1, 2), QStringLiteral("4"));
    QCOMPARE(list.model()->index(1, 2).data().toString(), QStringLiteral("4"));
    list.setText(0, 3, QStringLiteral("R$ 9"));   // a short row grows to the column
    QCOMPARE(list.row(0), QStringList({"x", "111", "", "R$ 9"}));

    list.setRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
    QCOMPARE(list.rowCount(), 3);
    list.removeRow(1);
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(list.text(1, 1), QStringLiteral("c"));
    QCOMPARE(list.addNumberedRow({QStringLiteral("d")}), 2);
    QCOMPARE(list.text(2, 0), QStringLiteral("3"));

    list.clear();
    QCOMPARE(list.rowCount(), 0);
    QCOMPARE(list.columnCount(), 4);
}

void TestReportList::setRowChangesThatRowOnly()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.setRows({{"1", "a", "1"}, {"2", "b", "1"}, {"3", "c", "1"}});
    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    QSignalSpy reset(list.model(), &QAbstractItemModel::modelReset);
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);

    list.setRow(1, {"2", "b", "3", "R$ 9,"});
    QCOMPARE(list.row(0), QStringList({"1", "a", "1"}));
    QCOMPARE(list.row(1), QStringList({"2", "b", "3", "R$ 9,"}));
    QCOMPARE(list.row(2), QStringList({"3", "c", "1"}));
    QCOMPARE(list.model()->index(1, 3).data().toString(), QStringLiteral("R$ 9,"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed[0][0].toModelIndex(), list.model()->index(1, 0));
    QCOMPARE(changed[0][1].toModelIndex(), list.model()->index(1, 3));

    list.setRow(-1, {"x"});
    list.setRow(3, {"x"});
    QCOMPARE(list.rowCount(), 3);
    QCOMPARE(changed.count(), 1);

    QCOMPARE(list.addNumberedRow({"d", "1"}), 3);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(changed.count(), 1);
}

// What keeps the counter fast: a changed line repaints its own row, not the
// list, and the list emptied after a payment is painted once.
void TestReportList::oneRowChangeRepaintsThatRowOnly()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.setRows(numberedRows(30));
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QApplication::processEvents();
    PaintedRegion region(list.viewport());

    list.setRow(4, {"5", "code 4", "2"});
    list.setText(6, 2, QStringLiteral("7"));
    QTRY_VERIFY_WITH_TIMEOUT(!region.painted.isEmpty(), 2000);
    QApplication::processEvents();

    const QRect fifth = list.visualRect(list.model()->index(4, 1));
    const QRect seventh = list.visualRect(list.model()->index(6, 2));
    QVERIFY(region.painted.boundingRect().top() >= fifth.top());
    QVERIFY(region.painted.boundingRect().bottom() <= seventh.bottom());
    QVERIFY(!region.painted.intersects(list.visualRect(list.model()->index(5, 1))));

    list.clear();   // its scroll bar goes at once, not after a first paint that paints it again
    QVERIFY(!list.verticalScrollBar()->isVisible());
}

void TestReportList::showRowKeepsTheNewestRowInView()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.setFontSize(18);
    list.resize(400, 160);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    for (int added = 1; added <= 50; ++added) {
        const int row = list.addNumberedRow({QStringLiteral("code %1").arg(added), QStringLiteral("1")});
        list.showRow(row);
        const QRect shown = list.visualRect(list.model()->index(row, 1));
        QVERIFY2(list.viewport()->rect().contains(shown), qPrintable(QString::number(added)));
    }
    QVERIFY(list.verticalScrollBar()->value() > 0);
    QCOMPARE(list.horizontalScrollBar()->value(), 0);

    list.setRow(0, {"1", "code 1", "2"});
    list.showRow(0);
    QVERIFY(list.viewport()->rect().contains(list.visualRect(list.model()->index(0, 1))));
    const int scrolled = list.verticalScrollBar()->value();
    list.showRow(1);   // already in view: no scrolling
    list.showRow(99);
    QCOMPARE(list.verticalScrollBar()->value(), scrolled);
}

void TestReportList::clicksLeaveTheFocus_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("a row") << "row";
    QTest::newRow("a title") << "header";
    QTest::newRow("the scroll bar") << "scroll bar";
}

// A list that takes no focus leaves the keyboard in the box above it (where
// the scanner types); a list that takes focus gets it from the same click,
// which shows the click does reach the list.
void TestReportList::clicksLeaveTheFocus()
{
    QFETCH(QString, where);

    for (const bool takesFocus : {false, true}) {
        BoxAboveList window;
        QVERIFY(QTest::qWaitForWindowActive(&window.window));
        window.list->setTakesFocus(takesFocus);
        QCOMPARE(window.list->takesFocus(), takesFocus);
        QCOMPARE(QApplication::focusWidget(), window.box);

        ReportList* list = window.list;
        if (where == "row") {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(2, 1)).center());
            QCOMPARE(list->selectedRow(), 2);
        } else if (where == "header") {
            QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, QPoint(list->columnWidth(1) / 2, 5));
        } else {
            QScrollBar* bar = list->verticalScrollBar();
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 5));
            QVERIFY(bar->value() > 0);
        }
        QCOMPARE(QApplication::focusWidget(), takesFocus ? static_cast<QWidget*>(list) : window.box);
    }
}

void TestReportList::outOfRange_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");

    QTest::newRow("negative row") << -1 << 0;
    QTest::newRow("row past the end") << 2 << 0;
    QTest::newRow("negative column") << 0 << -1;
    QTest::newRow("column past the columns") << 0 << 4;
}

void TestReportList::outOfRange()
{
    QFETCH(int, row);
    QFETCH(int, column);

    ReportList list;
    list.setColumns(SALE_COLUMNS);
    const QList<QStringList> rows = {{"1", "a", "b", "c"}, {"2", "d", "e", "f"}};
    list.setRows(rows);

    QCOMPARE(list.text(row, column), QString());
    list.setText(row, column, QStringLiteral("written"));
    list.removeRow(-1);
    list.removeRow(2);
    QCOMPARE(list.row(0), rows[0]);
    QCOMPARE(list.row(1), rows[1]);
    QCOMPARE(list.row(2), QStringList());
}

void TestReportList::selection()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.setRows({{"1", "a"}, {"2", "b"}, {"3", "c"}});
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.selectedRow(), -1);

    list.selectRow(2);
    QCOMPARE(list.selectedRow(), 2);
    QVERIFY(list.selectionModel()->isRowSelected(2, {}));

    const QRect secondRow = list.visualRect(list.model()->index(1, 1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, secondRow.center());
    QCOMPARE(list.selectedRow(), 1);
    QVERIFY(!list.selectionModel()->isRowSelected(2, {}));

    list.selectRow(7);
    QCOMPARE(list.selectedRow(), -1);
    list.selectRow(0);
    list.clear();
    QCOMPARE(list.selectedRow(), -1);
}

void TestReportList::usersCannotEdit()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.addRow({QStringLiteral("1"), QStringLiteral("789")});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QModelIndex cell = list.model()->index(0, 1);
    QVERIFY(!(list.model()->flags(cell) & Qt::ItemIsEditable));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(cell).center());
    QTest::keyClick(list.viewport(), Qt::Key_F2);
    QVERIFY(list.findChild<QLineEdit*>() == nullptr);
    QCOMPARE(list.text(0, 1), QStringLiteral("789"));
}

void TestReportList::viewShowsTheModel()
{
    ReportList list;
    list.setColumns(SALE_COLUMNS);
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(!list.rootIsDecorated());
    QVERIFY(list.uniformRowHeights());
    QVERIFY(!list.header()->isHidden());

    QList<QStringList> rows;
    for (int row = 0; row < 500; ++row)
        rows.append({QString::number(row + 1), QStringLiteral("code %1").arg(row)});
    list.setRows(rows);
    list.addNumberedRow({QStringLiteral("last")});

    QCOMPARE(list.model()->rowCount(), 501);
    QCOMPARE(list.rowCount(), 501);
    QCOMPARE(list.indexAt(list.visualRect(list.model()->index(0, 1)).center()).row(), 0);
    list.selectRow(500);
    const QRect lastRow = list.visualRect(list.model()->index(500, 1));
    QVERIFY(list.viewport()->rect().contains(lastRow.center()));
    QCOMPARE(list.indexAt(lastRow.center()).data().toString(), QStringLiteral("last"));
}

QTEST_MAIN(TestReportList)
#include "tst_report_list.moc"
