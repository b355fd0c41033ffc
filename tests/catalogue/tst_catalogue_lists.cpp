// The catalogue's long lists read a product's fields only when its row is
// shown: what that can break and the window tests do not see.
#include "catalogue/form2.h"
#include "catalogue/form9.h"
#include "common/money_format.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "store/connection.h"
#include "store/fields.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/other_program.h"
#include "support/test_database.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

// Products "Item 000001" to "Item <count>" (codes 1 to count), in one
// statement of another program: a large catalogue in a second or two. Every
// field type shows: fractional and negative quantities, zero, empty and
// fractional prices, empty and differently cased categories, names with
// accents and a tab.
void addProducts(const TestDatabase& database, int count)
{
    OtherProgram other(database.path());
    const QByteArray sql =
        QByteArray("with recursive n(i) as (select 1 union all select i + 1 from n where i < ") +
        QByteArray::number(count) +
        ") insert into Productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, StockCritico, "
        "Categoria) select i, printf('Item %06d', i) || case i % 7 when 3 then ' Açúcar' when 5 then char(9) || "
        "'Pão' else '' end, case i % 5 when 0 then 0 when 1 then i * 0.25 when 2 then -i else i end, "
        "case i % 4 when 0 then 0 when 1 then null else i * 1.5 end, case i % 6 when 0 then 0 when 1 then 2.999 "
        "else i + 0.5 end, i % 3, case i % 4 when 0 then null when 1 then 'bebidas' else 'Bebidas' end from n";
    QCOMPARE(other.execute(sql.constData()), 0);
}

// Product maintenance over a catalogue of generated products.
class Maintenance {
public:
    explicit Maintenance(int products) : fakes(database.folder())
    {
        addProducts(database, products);
        form.show();
    }
    void lookup(const QString& code)
    {
        form.Text1->setText(code);
        form.Buscar_Producto();
    }
    void save(const QString& name, const QString& quantity)
    {
        form.Text2->setText(name);
        form.Text3->setText(quantity);
        for (QLineEdit* box : {form.Text4, form.Text5})
            box->setText(QStringLiteral("1"));
        if (form.Combo2->currentText().isEmpty())
            form.Combo2->setEditText(QStringLiteral("Geral"));
        form.Command3_Click();
    }
    void listAgain() const
    {
        form.Combo1->setCurrentIndex(1);
        emit form.Combo1->activated(1);
    }
    QStringList row(int row) const { return form.ListView1->row(row); }

    TestDatabase database;
    FakePlatform fakes;
    Form2 form{fakes.platform};
};

// Every product's row as the window's listing made it before it read rows
// only when shown: each field's text as the store reads it, a price of 0
// as "R$ 0", in name order.
QList<QStringList> eagerRows(const QString& folder)
{
    Connection connection(folder);
    RecordSet products(connection, Query::ProductosPorNombre, RecordSet::Mode::ReadOnlyList);
    QList<QStringList> rows;
    const auto price = [&](const QString& field) {
        if (products.isNull(field))
            return QString();
        return products.number(field) == 0 ? QStringLiteral("R$ 0") : products.text(field);
    };
    for (; !products.eof(); products.moveNext())
        rows.append({QString::number(rows.size() + 1), products.text(Productos::CodigoProducto),
                     products.text(Productos::NombreProducto), products.text(Productos::Cantidad),
                     price(Productos::PrecioCosto), price(Productos::PrecioVenta),
                     products.text(Productos::Categoria)});
    return rows;
}

// Rows read far apart and backwards, so that reads start in the middle of
// what was read before and what was read is dropped.
QList<int> scatteredRows(int count)
{
    QList<int> rows;
    for (int row = count - 1; row >= 0; row -= 37)
        rows.append(row);
    for (int row = 0; row < count; ++row)
        if (!rows.contains(row))
            rows.append(row);
    return rows;
}

// The stock window over generated products, every price filled in (the
// window refuses a listing with an empty price).
struct Stock {
    explicit Stock(int products) : fakes(database.folder())
    {
        addProducts(database, products);
        other().execute("update Productos set PrecioCosto = 0.75 where PrecioCosto is null");
        form.show();
    }
    OtherProgram other() const { return OtherProgram(database.path()); }
    TestDatabase database;
    FakePlatform fakes;
    Form9 form{fakes.platform};
};

// The stock value at cost of the whole catalogue as it is, each product's
// "Custo Total" text read back and added in row id order.
QString totalLine(const QString& folder)
{
    std::map<qint64, double> values;
    Connection connection(folder);
    RecordSet products(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
    for (; !products.eof(); products.moveNext())
        values[products.rowId()] =
            A_Numero(A_Texto(products.number(Productos::Cantidad) * products.number(Productos::PrecioCosto)));
    double sum = 0;
    for (const auto& [rowId, value] : values)
        sum += value;
    return QStringLiteral("Total de Investimento ") + Formato(sum, FORMATO_REAIS_3);
}

// A listing's source whose steps after the first fail, as a file taken away would.
class FailingRows : public ReportRows {
public:
    int count() const override { return 10; }
    QStringList texts(int row) const override { return {QString::number(row + 1)}; }
    bool complete() const override { return false; }
    int readMore() override { throw std::runtime_error("o arquivo não pôde ser lido"); }
};

// A walked product as a line of text: each field, a number that cannot be read as "?".
QString describe(const ListedProduct& product)
{
    const auto number = [](const std::function<double()>& read) {
        try {
            return QString::number(read(), 'g', 17);
        } catch (const ConversionError&) {
            return QStringLiteral("?");
        }
    };
    return QStringList{product.code(), product.name(), product.category(),
                       number([&] { return product.quantity(); }), number([&] { return product.costPrice(); }),
                       number([&] { return product.salePrice(); })}
        .join(u'|');
}

}   // namespace

class CatalogueListsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    // Every cell of every column type, made when read, is the text the whole
    // listing used to make at once.
    void maintenanceCellsAreTheEagerTexts()
    {
        Maintenance maintenance(400);
        const QList<QStringList> expected = eagerRows(maintenance.database.folder());
        QCOMPARE(maintenance.form.ListView1->rowCount(), expected.size());
        for (int row : scatteredRows(int(expected.size())))
            QCOMPARE(maintenance.row(row), expected[row]);
    }

    // The whole listing's rows are the rows its eager listings (a code's
    // products) make for the same products, totals included.
    void stockCellsAreTheEagerTexts()
    {
        TestDatabase database;
        addProducts(database, 300);
        // The stock window refuses a listing with an empty price.
        QCOMPARE(OtherProgram(database.path()).execute("update Productos set PrecioCosto = 0.75 where PrecioCosto is null"), 0);
        FakePlatform fakes(database.folder());
        Form9 stock(fakes.platform);
        stock.show();
        stock.Text1->setText(QStringLiteral("*"));
        stock.Buscar();
        const int count = stock.ListView1->rowCount();
        QCOMPARE(count, 300);
        QList<QStringList> lazy;
        for (int row : scatteredRows(count))
            lazy.append(stock.ListView1->row(row));
        stock.Option2->click();
        for (const QStringList& row : lazy) {
            stock.Text2->setText(row[1]);
            stock.Buscar();
            QCOMPARE(stock.ListView1->rowCount(), 1);
            QCOMPARE(stock.ListView1->row(0).mid(1), row.mid(1));
        }
    }

    // The total of a large listing is summed while the window is idle: another
    // program writing meanwhile, before or after the products summed so far,
    // leaves the exact total of the catalogue as it is.
    void stockTotalAfterAnotherProgramWrote_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::newRow("a product summed changed")
            << QByteArray("update Productos set Cantidad = 1000, PrecioCosto = 3 where rowid = 5");
        QTest::newRow("a product not yet summed changed")
            << QByteArray("update Productos set Cantidad = 1000, PrecioCosto = 3 where rowid = 24000");
        QTest::newRow("a product summed removed") << QByteArray("delete from Productos where rowid = 7");
        QTest::newRow("a product added") << QByteArray(
            "insert into Productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, StockCritico) "
            "values ('900', 'Novo', 10, 2.5, 3, 0)");
    }
    void stockTotalAfterAnotherProgramWrote()
    {
        QFETCH(QByteArray, change);
        Stock stock(25000);
        stock.form.Text1->setText(QStringLiteral("*"));
        stock.form.Buscar();
        QCOMPARE(stock.form.Label2->text(), QStringLiteral("Total de Investimento: calculando..."));
        QCOMPARE(stock.other().execute(change.constData()), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!stock.form.Label2->text().contains(QStringLiteral("calculando")), 20000);
        QCOMPARE(stock.form.Label2->text(), totalLine(stock.database.folder()));
        QCOMPARE(stock.fakes.prompter.texts(), QStringList());
    }

    // A step of a listing that fails while the window is idle or the list is
    // scrolled is told once, naming the cause and what to do, and the
    // keyboard stays in the box being typed into.
    void aFailedStepIsToldOnce_data()
    {
        QTest::addColumn<bool>("scrolled");
        QTest::newRow("while idle") << false;
        QTest::newRow("scrolled to its end") << true;
    }
    void aFailedStepIsToldOnce()
    {
        QFETCH(bool, scrolled);
        Stock stock(10);
        QTRY_VERIFY(stock.form.isActiveWindow());
        stock.form.Text1->setFocus();
        stock.form.ListView1->setSource(std::make_shared<FailingRows>());
        if (scrolled)
            stock.form.ListView1->model()->fetchMore({});
        QTRY_COMPARE(stock.fakes.prompter.texts().size(), 1);
        QTest::qWait(50);
        stock.form.ListView1->model()->fetchMore({});
        QTest::qWait(50);
        QCOMPARE(stock.fakes.prompter.texts(),
                 QStringList({"O restante da lista não pôde ser lido: o arquivo não pôde ser lido\nFaça a busca de "
                              "novo para ver a lista completa."}));
        QCOMPARE(stock.form.ListView1->rowCount(), 10);
        QCOMPARE(QApplication::focusWidget(), stock.form.Text1);
    }

    // Another program changes or removes products after the list was filled:
    // the rows read when it was filled keep what the catalogue held then, a
    // row read later shows the product as it is then, a removed product an
    // empty row, and no row moves.
    void anotherProgramBetweenOpeningAndScrolling_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QStringList>("shown");   // code, name, quantity; nothing for a product removed

        QTest::newRow("changed in the first screen") << 2 << QByteArray("update Productos set Cantidad = 77 where rowid = 3")
                                                     << QStringList({"3", "Item 000003 Açúcar", "3"});
        QTest::newRow("changed far below") << 250 << QByteArray("update Productos set Cantidad = 77 where rowid = 251")
                                           << QStringList({"251", "Item 000251", "77"});
        QTest::newRow("removed far below") << 260 << QByteArray("delete from Productos where rowid = 261")
                                           << QStringList();
    }
    void anotherProgramBetweenOpeningAndScrolling()
    {
        QFETCH(int, row);
        QFETCH(QByteArray, change);
        QFETCH(QStringList, shown);
        Maintenance maintenance(300);
        QCOMPARE(OtherProgram(maintenance.database.path()).execute(change.constData()), 0);
        maintenance.form.ListView1->showRow(row);
        QCOMPARE(maintenance.form.ListView1->rowCount(), 300);
        QCOMPARE(maintenance.row(row).value(0), QString::number(row + 1));
        QCOMPARE(maintenance.row(row).mid(1, 3), shown);
        QCOMPARE(maintenance.row(row + 1).value(1), QString::number(row + 2));
    }

    // A save at the far end of a long list: the product takes the place a new
    // listing gives it, and every row around equals that new listing's.
    void saveAtTheFarEndOfALongList_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("scrolledToTheEnd");   // or only its first rows read when saving

        QTest::newRow("last renamed to the first") << "100000" << "Aaa primeiro" << 0 << 100000 << true;
        QTest::newRow("last renamed to the middle") << "100000" << "Item 050000 b" << 50000 << 100000 << true;
        QTest::newRow("last product's quantity") << "100000" << "Item 100000" << 99999 << 100000 << true;
        QTest::newRow("a new product at the end") << "999999" << "Zzz último" << 100000 << 100001 << true;
        QTest::newRow("first renamed to the last") << "1" << "Zzz último" << 99999 << 100000 << true;
        QTest::newRow("first renamed to the middle") << "1" << "Item 050000 b" << 49999 << 100000 << true;
        QTest::newRow("first to the last, list read in part") << "1" << "Zzz último" << 99999 << 100000 << false;
        QTest::newRow("last to the first, list read in part") << "100000" << "Aaa primeiro" << 0 << 100000 << false;
        QTest::newRow("new at the end, list read in part") << "999999" << "Zzz último" << 100000 << 100001 << false;
    }
    void saveAtTheFarEndOfALongList()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(int, place);
        QFETCH(int, count);
        QFETCH(bool, scrolledToTheEnd);
        Maintenance maintenance(100000);
        if (scrolledToTheEnd)
            maintenance.form.ListView1->showRow(99999);
        maintenance.lookup(code);
        maintenance.fakes.prompter.clear();   // a stored price too long for its box
        maintenance.save(name, QStringLiteral("42"));
        QCOMPARE(maintenance.fakes.prompter.texts(), QStringList());
        QCOMPARE(maintenance.form.ListView1->rowCount(), count);
        QList<QStringList> updated;
        for (int row = std::max(0, place - 2); row < std::min(count, place + 3); ++row)
            updated.append(maintenance.row(row));
        QCOMPARE(maintenance.row(place).mid(0, 4), QStringList({QString::number(place + 1), code, name, "42"}));

        maintenance.listAgain();
        QList<QStringList> fresh;
        for (int row = std::max(0, place - 2); row < std::min(count, place + 3); ++row)
            fresh.append(maintenance.row(row));
        QCOMPARE(updated, fresh);
    }

    // The whole catalogue read in passes over the table comes out as the one
    // statement in name order gives it, every product once, in shares of at
    // most a pass, and as the data were when the walk began: what another
    // program writes after the first share is in none of the later ones.
    void passesOverTheTableGiveTheListingAsItBegan_data()
    {
        QTest::addColumn<int>("perPass");
        QTest::newRow("one product a pass") << 1;
        QTest::newRow("a few passes") << 70;
        QTest::newRow("one pass") << 1000;
    }
    void passesOverTheTableGiveTheListingAsItBegan()
    {
        QFETCH(int, perPass);
        TestDatabase database;
        addProducts(database, 300);
        OtherProgram other(database.path());
        QCOMPARE(other.execute("delete from Productos where rowid % 11 = 0"), 0);   // gaps in the row ids
        QCOMPARE(other.execute("update Productos set NombreProducto = 'Z' || NombreProducto where rowid % 3 = 0"), 0);
        Connection connection(database.folder());
        QStringList expected;
        walkProductShares(connection, nullptr, Query::ProductosListado, {}, [&](ProductShare&& share) {
            share.forEach([&](const ListedProduct& product) { expected << describe(product); });
        });
        QCOMPARE(expected.size(), 273);

        QStringList walked;
        walkProductShares(connection, &Query::IdsPorNombre, Query::ProductosListado, {}, [&](ProductShare&& share) {
            QVERIFY(share.size() <= size_t(perPass));
            if (walked.isEmpty())
                QCOMPARE(other.execute("update Productos set NombreProducto = 'Mudado', Cantidad = 1; "
                                       "delete from Productos where rowid % 2 = 0"), 0);
            share.forEach([&](const ListedProduct& product) { walked << describe(product); });
        }, size_t(perPass));
        QCOMPARE(walked, expected);
    }
};

QTEST_MAIN(CatalogueListsTest)
#include "tst_catalogue_lists.moc"
