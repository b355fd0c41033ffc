#include "app/programa.h"
#include "common/number_settings.h"
#include "common/report_list.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

namespace {

const QString ARROZ = "7891000000011";
const QString FEIJAO = "7891000000028";

// The sale window over a catalogue of its own, shown and active like at the counter.
class Counter {
public:
    explicit Counter(const QList<NewProduct>& products, QSize screen = QSize(1024, 768))
        : database_({products}), fakes_(database_.folder())
    {
        fakes_.screen.pixels = screen;
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the sale window did not become active");
    }

    // Types into whatever box has the focus, then Enter: as a scanner or the cashier does.
    void type(const QString& text)
    {
        QWidget* box = QApplication::focusWidget();
        QVERIFY2(box, "no box has the focus");
        typeKeys(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
    void scan(const QString& code) { type(code); }

    QStringList row(int index) const { return ui(form).ListView1->row(index); }
    QStringList messages() const { return fakes_.prompter.texts(); }
    FakePrompter& prompter() { return fakes_.prompter; }
    const TestDatabase& database() const { return database_; }
    Platform& platform() { return fakes_.platform; }
    void removeDatabase() const
    {
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(database_.path() + QLatin1String(suffix));
    }

private:
    TestDatabase database_;
    FakePlatform fakes_;

public:
    Form1 form{fakes_.platform};
};

void verifyWaitingForCode(const Form1& form)
{
    QVERIFY(ui(form).Text7->isEnabled());
    QCOMPARE(ui(form).Text7->text(), QString());
    QVERIFY(ui(form).Text7->hasFocus());
    QVERIFY(!ui(form).Text8->isEnabled());
    QCOMPARE(ui(form).Text8->text(), QString("1"));
    QVERIFY(ui(form).Check1->isEnabled());
}

void verifyWaitingForQuantity(const Form1& form, const QString& code)
{
    QVERIFY(!ui(form).Text7->isEnabled());
    QCOMPARE(ui(form).Text7->text(), code);
    QVERIFY(ui(form).Text8->isEnabled());
    QVERIFY(ui(form).Text8->hasFocus());
    QVERIFY(!ui(form).Check1->isEnabled());
}

// Scale labels: product "0123" by its code as printed, "456" without the
// leading zeros; a real product whose 13-digit code reads as a label too.
const QString PRICE_LABELS = "CCCC0TTTTTT";
const QString WEIGHT_LABELS = "CCCCCPPPPPP";
const QString QUEIJO_1990 = "2012300019901";   // 0123, R$ 19,90
const QString BANANA_099 = "2045600000997";    // 0456, R$ 0,99
const QString BANANA_2KG = "2004560020001";    // 00456, 2 kg
const QString UNKNOWN_LABEL = "2099900010002";
const QString MISREAD_LABEL = "2012300019902";
const QString PAO_DE_FORMA = "2012300050003";  // a product's own code
QList<NewProduct> scaleCatalogue()
{
    return {product("0123", "Queijo Minas kg", 89.90, 10, 9), product("456", "Banana Prata kg", 0.99, 50),
            product(PAO_DE_FORMA, "Pão de Forma", 7.5)};
}

QColor quantityBackground(const Form1& form)
{
    return ui(form).Text8->palette().color(QPalette::Base);
}

}   // namespace

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void loadsReadyForACode()
    {
        Counter counter({});
        const Form1& form = counter.form;
        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        QCOMPARE(form.Text1, QString("1024"));
        QCOMPARE(form.Text2, QString("768"));
        // Left 112,5 and Top 261 twips on a 1024 × 768 screen.
        QCOMPARE(ui(form).Picture1->pos(), QPoint(8, 17));
        QCOMPARE(ui(form).Picture1->size(), QSize(1009, 681));

        QCOMPARE(ui(form).ListView1->columnCount(), 8);
        QStringList titles;
        for (int c = 0; c < 8; ++c)
            titles.append(ui(form).ListView1->columnTitle(c));
        QCOMPARE(titles, QStringList({"_", "Código", "Nome", "Quantidade", "Valor Unitário", "Valor Total", "1/0",
                                      "Categoria"}));
        QCOMPARE(ui(form).ListView1->font().pointSize(), 18);
        QVERIFY(ui(form).ListView1->font().bold());
        QCOMPARE(ui(form).ListView1->backgroundColor(), QColor(255, 255, 128));
        QCOMPARE(ui(form).ListView1->textColor(), QColor(0, 0, 0));

        QCOMPARE(ui(form).Check1->text(), QString("Quantidade Manual"));
        QVERIFY(!ui(form).Check1->isChecked());
        QVERIFY(ui(form).Label17->isHidden());
        QVERIFY(ui(form).Label18->isHidden());
        QCOMPARE(ui(form).Label8->text(), QString("R$ "));
        verifyWaitingForCode(form);

        Counter narrow({}, QSize(800, 600));
        QVERIFY(ui(narrow.form).Picture1->pos().x() < 0);
    }

    void sameCodeAddsToItsLineInEntryOrder()
    {
        Counter counter({product(ARROZ, "Arroz Tipo 1 5 kg", 27.9, 100, 0, 18.9, "Mercearia"),
                         product(FEIJAO, "Feijão Carioca 1 kg", 8.49, 100, 0, 5.4, "Mercearia")});
        counter.scan(ARROZ);
        counter.scan(FEIJAO);
        counter.scan(ARROZ);
        counter.scan(ARROZ);
        const Form1& form = counter.form;
        QCOMPARE(ui(form).ListView1->rowCount(), 2);
        QCOMPARE(counter.row(0), QStringList({"1", ARROZ, "Arroz Tipo 1 5 kg", "3", "27,9", "83,7", "0", "Mercearia"}));
        QCOMPARE(counter.row(1), QStringList({"2", FEIJAO, "Feijão Carioca 1 kg", "1", "8,49", "8,49", "0", "Mercearia"}));
        QCOMPARE(form.venta().size(), 2);
        QCOMPARE(form.venta().lineas()[0].costoUnitario, QString("18,9"));
        QCOMPARE(form.venta().lineas()[0].costoTotal, QString("56,7"));
        QCOMPARE(form.venta().lineas()[0].ventaTotal, QString("83,7"));
        QCOMPARE(form.venta().cantidadEnLista, QString("3"));
        QCOMPARE(form.venta().totalAPagar, QString("92,19"));
        QCOMPARE(ui(form).Label8->text(), QString("R$ 92,19"));
        QVERIFY(counter.messages().isEmpty());
        verifyWaitingForCode(form);
    }

    void manualQuantity()
    {
        Counter counter({product(ARROZ, "Arroz", 2, 100, 0, 1.2)});
        Form1& form = counter.form;
        QTest::mouseClick(ui(form).Check1, Qt::LeftButton);
        QVERIFY(ui(form).Check1->isChecked());

        counter.scan(ARROZ);
        verifyWaitingForQuantity(form, ARROZ);
        QCOMPARE(ui(form).Text8->text(), QString());

        counter.type("");   // Enter on an empty quantity
        QCOMPARE(counter.prompter().last(), QString("É necessário inserir a quantidade a ser vendida"));
        verifyWaitingForQuantity(form, ARROZ);

        counter.type("1,5");
        QCOMPARE(counter.row(0), QStringList({"1", ARROZ, "Arroz", "1,5", "2", "3", "0", "Geral"}));
        QCOMPARE(form.venta().lineas()[0].costoTotal, QString("1,8"));
        QCOMPARE(ui(form).Label8->text(), QString("R$ 3,"));
        verifyWaitingForCode(form);
        QVERIFY(ui(form).Check1->isChecked());

        // A quantity of 0 abandons the entry.
        counter.scan(ARROZ);
        counter.type("0");
        QCOMPARE(ui(form).ListView1->rowCount(), 1);
        QCOMPARE(counter.row(0).at(3), QString("1,5"));
        verifyWaitingForCode(form);

        // A quantity that is not a number is reported and can be typed again.
        counter.prompter().clear();
        counter.scan(ARROZ);
        counter.type("1.5");
        QCOMPARE(counter.prompter().messages.size(), 1);
        QCOMPARE(counter.prompter().messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY(counter.prompter().last().contains("1.5"));
        verifyWaitingForQuantity(form, ARROZ);
        QCOMPARE(counter.row(0).at(3), QString("1,5"));
        ui(form).Text8->clear();
        counter.type("2");
        QCOMPARE(counter.row(0).at(3), QString("3,5"));
    }

    void manualQuantityRefusesAnUnknownCodeOnlyAfterTheQuantity()
    {
        Counter counter({product(ARROZ, "Arroz", 2)});
        Form1& form = counter.form;
        ui(form).Check1->setChecked(true);
        counter.scan("999");
        QVERIFY(counter.messages().isEmpty());
        verifyWaitingForQuantity(form, "999");
        counter.type("2");
        QCOMPARE(counter.messages(), QStringList{"O código inserido não existe"});
        QCOMPARE(ui(form).ListView1->rowCount(), 0);
        verifyWaitingForCode(form);
    }

    void automaticQuantityRefusesAnUnknownCodeAtOnce()
    {
        Counter counter({product(ARROZ, "Arroz", 2)});
        counter.type("");
        QCOMPARE(counter.messages(), QStringList{"É necessário inserir o código do produto"});
        counter.prompter().clear();

        counter.scan("12345");
        QCOMPARE(counter.messages(), QStringList{"O código inserido não existe"});
        QCOMPARE(ui(counter.form).ListView1->rowCount(), 0);
        verifyWaitingForCode(counter.form);
    }

    void boxesTakeOnlyTheirCharacters()
    {
        Counter counter({product(ARROZ, "Arroz", 2)});
        Form1& form = counter.form;
        typeKeys(ui(form).Text7, QString::fromUtf8("78a9 B-é1.,"));
        QCOMPARE(ui(form).Text7->text(), QString("7891"));
        typeKeys(ui(form).Text7, "12345678901234567890");
        QCOMPARE(ui(form).Text7->text().size(), 15);

        ui(form).Text7->clear();
        ui(form).Check1->setChecked(true);
        counter.scan(ARROZ);
        typeKeys(ui(form).Text8, QString::fromUtf8("1a,x5é -"));
        QCOMPARE(ui(form).Text8->text(), QString("1,5"));
        typeKeys(ui(form).Text8, "2.34567");
        QCOMPARE(ui(form).Text8->text(), QString("1,52.3"));
    }

    void criticalStockWarningFollowsTheLastProduct()
    {
        Counter counter({product(ARROZ, "Arroz Crítico", 2, 10, 5), product(FEIJAO, "Feijão", 3, 1000, 5)});
        const Form1& form = counter.form;
        for (int i = 0; i < 4; ++i)
            counter.scan(ARROZ);
        QCOMPARE(quantityBackground(form), QColor(Qt::white));
        QVERIFY(ui(form).Label17->isHidden());
        QCOMPARE(ui(form).Label17->text(), QString("Arroz Crítico"));

        counter.scan(ARROZ);   // 5 in the sale leaves 5 in stock: at the critical level
        QCOMPARE(quantityBackground(form), QColor(Qt::red));
        QVERIFY(ui(form).Label17->isVisible());
        QCOMPARE(ui(form).Label17->text(), QString("Arroz Crítico"));
        QCOMPARE(form.venta().cantidadEnLista, QString("5"));
        QCOMPARE(form.venta().stockCritico, QString("5"));
        QCOMPARE(form.venta().cantidadEnStock, QString("10"));

        counter.scan(FEIJAO);
        QCOMPARE(quantityBackground(form), QColor(Qt::white));
        QVERIFY(ui(form).Label17->isHidden());
        QCOMPARE(ui(form).Label17->text(), QString("Feijão"));
    }

    void totalsAndCancel()
    {
        Counter counter({product("1", "Bala", 0.5), product("2", "Balde", 1234.5), product("3", "Fogão", 1500),
                         product("4", "Brinde", 0)});
        Form1& form = counter.form;
        counter.scan("4");
        QCOMPARE(ui(form).Label8->text(), QString("R$ 0"));
        counter.scan("1");
        QCOMPARE(ui(form).Label8->text(), QString("R$ 0,5"));
        QCOMPARE(form.venta().totalAPagar, QString("0,5"));
        counter.scan("2");
        QCOMPARE(ui(form).Label8->text(), QString("R$ 1.235,"));

        QTest::mouseClick(ui(form).Command2, Qt::LeftButton);
        QCOMPARE(ui(form).Label8->text(), QString("R$ "));
        QCOMPARE(ui(form).ListView1->rowCount(), 0);
        QVERIFY(form.venta().isEmpty());
        QCOMPARE(form.venta().totalAPagar, QString("1235"));   // left for whoever reads the last total
        verifyWaitingForCode(form);

        counter.scan("2");
        QCOMPARE(ui(form).Label8->text(), QString("R$ 1.234,5"));
        form.Command2_Click();
        counter.scan("3");
        QCOMPARE(ui(form).Label8->text(), QString("R$ 1.500,"));
        QVERIFY(counter.messages().isEmpty());
    }

    void payingAnEmptySaleIsRefused()
    {
        Counter counter({product("1", "Bala", 0.5)});
        QTest::mouseClick(ui(counter.form).Command1, Qt::LeftButton);
        QCOMPARE(counter.messages(), QStringList{"A lista de produtos a serem vendidos está vazia"});
        // Nor is a payment ever recorded for an empty sale.
        QVERIFY(!counter.form.CobrarEfectivo("20", "19,50"));
        QVERIFY(!counter.form.CobrarTarjeta());
        QCOMPARE(counter.form.Text10, QString());
        counter.prompter().clear();
        counter.scan("1");
        counter.form.Command1_Click();
        QVERIFY(!counter.messages().contains("A lista de produtos a serem vendidos está vazia"));
    }

    void twoCatalogueRowsWithOneCodeAddTheFirstInNameOrderOnce()
    {
        Counter counter({product("555", "Zeta", 10), product("555", "Alfa", 20)});
        counter.scan("555");
        QCOMPARE(ui(counter.form).ListView1->rowCount(), 1);
        QCOMPARE(counter.row(0).mid(1, 5), QStringList({"555", "Alfa", "1", "20", "20"}));
        QCOMPARE(ui(counter.form).Label8->text(), QString("R$ 20,"));
    }

    void aDatabaseFailureLeavesTheSaleAsItWas()
    {
        Counter counter({product(ARROZ, "Arroz", 2)});
        counter.scan(ARROZ);
        counter.removeDatabase();
        counter.scan(ARROZ);
        QCOMPARE(counter.prompter().messages.size(), 1);
        QCOMPARE(counter.prompter().messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY2(counter.prompter().last().contains("não foi encontrado"), qPrintable(counter.prompter().last()));
        const Form1& form = counter.form;
        QCOMPARE(ui(form).ListView1->rowCount(), 1);
        QCOMPARE(counter.row(0).at(3), QString("1"));
        QCOMPARE(ui(form).Label8->text(), QString("R$ 2,"));
        QCOMPARE(ui(form).Text7->text(), ARROZ);   // kept for another try
        QVERIFY(ui(form).Text7->isEnabled());
        QVERIFY(!ui(form).Text8->isEnabled());
    }

    void controlsSitWhereTheDesignPutsThem()
    {
        Counter counter({});
        verifyControls(&counter.form, {
            {"Picture1", 112.5, 261, 15135, 10215},
            {"Label13", 0, 0, 15135, 495, "LISTA DE PRODUTOS A SEREM VENDIDOS"},
            {"ListView1", 0, 480, 15135, 5295},
            {"Label17", 120, 5880, 5295, 375},
            {"Check1", 5520, 5880, 3015, 495, "Quantidade Manual"},
            {"Picture2", 0, 6360, 15135, 3135},
            {"Frame2", 120, -120, 8175, 3135},
            {"Frame3", 8280, -120, 6615, 3135},
            {"Label18", 2880, 360, 3255, 375, "DEDUZIR PRODUTO"},
            {"Label5", 120, 720, 2775, 495, "Código do Produto"},
            {"Text7", 2880, 720, 2655, 495},
            {"Command3", 5640, 720, 495, 495},
            {"Command1", 6240, 720, 1815, 975, "PAGAR"},
            {"Label6", 120, 1320, 1815, 495, "Quantidade"},
            {"Text8", 2880, 1320, 1335, 495},
            {"Command2", 360, 2280, 2655, 615, "CANCELAR"},
            {"Label7", 2400, 240, 1935, 735, "TOTAL"},
            {"Label8", 240, 960, 6135, 975},
        });
        verifyColumns(ui(counter.form).ListView1, {{"_", 0},
                                               {"Código", 1900},
                                               {"Nome", 6700},
                                               {"Quantidade", 1500, Qt::AlignRight},
                                               {"Valor Unitário", 2200, Qt::AlignCenter},
                                               {"Valor Total", 2200, Qt::AlignCenter},
                                               {"1/0", 0, Qt::AlignCenter},
                                               {"Categoria", 0, Qt::AlignCenter}});
        // Every title reads whole in its column; the rows keep 18 points bold.
        for (int column = 0; column < ui(counter.form).ListView1->columnCount(); ++column)
            if (!ui(counter.form).ListView1->isColumnHidden(column))
                QCOMPARE(ui(counter.form).ListView1->shownTitle(column), ui(counter.form).ListView1->columnTitle(column));
        QCOMPARE(ui(counter.form).ListView1->font().pointSize(), 18);
        QVERIFY(ui(counter.form).ListView1->font().bold());
        QCOMPARE(ui(counter.form).Text7->maxLength(), 15);
        QCOMPARE(ui(counter.form).Text8->maxLength(), 6);
        QCOMPARE(ui(counter.form).Text7->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        // The window fills the screen by itself, with or without a window manager.
        QCOMPARE(counter.form.normalGeometry().size(), QSize(1024, 768));
    }

    void cancelClearsEveryWarning()
    {
        Counter counter({product(ARROZ, "Arroz", 2, 1, 5)});
        Form1& form = counter.form;
        counter.scan(ARROZ);
        QVERIFY(ui(form).Label17->isVisible());
        QCOMPARE(quantityBackground(form), QColor(Qt::red));
        ui(form).Label18->show();
        QTest::mouseClick(ui(form).Command2, Qt::LeftButton);
        QVERIFY(ui(form).Label17->isHidden());
        QVERIFY(ui(form).Label18->isHidden());
        QCOMPARE(quantityBackground(form), QColor(Qt::white));

        ui(form).Label18->show();
        ui(form).Check1->click();
        QVERIFY(ui(form).Label18->isHidden());
        QVERIFY(ui(form).Text7->hasFocus());
    }

    void scansNeverLoseTheCodeBoxAndTheNewestLineStaysInView()
    {
        QList<NewProduct> products;
        for (int i = 0; i < 40; ++i)
            products.append(product(QString::number(1000 + i), QString("Produto %1").arg(i), 1));
        Counter counter(products);
        Form1& form = counter.form;
        for (int i = 0; i < 40; ++i) {
            counter.scan(QString::number(1000 + i));
            // A click anywhere on the list or the buttons leaves the next scan in the code box.
            QTest::mouseClick(ui(form).Check1, Qt::LeftButton);
            QTest::mouseClick(ui(form).Check1, Qt::LeftButton);
            QTest::mouseClick(ui(form).Command2, Qt::LeftButton, {}, QPoint(-5, -5));   // beside, not on it
            QTest::mouseClick(ui(form).ListView1->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
            QVERIFY2(ui(form).Text7->hasFocus(), qPrintable(QString("after scan %1").arg(i)));
        }
        QCOMPARE(ui(form).ListView1->rowCount(), 40);
        const auto inView = [&](int row) {
            const QRect rect = ui(form).ListView1->visualRect(ui(form).ListView1->model()->index(row, 1));
            return ui(form).ListView1->viewport()->rect().contains(rect);
        };
        QVERIFY(inView(39));
        QVERIFY(!inView(0));

        counter.scan("1000");   // a changed line comes back into view
        QCOMPARE(counter.row(0).at(3), QString("2"));
        QVERIFY(inView(0));
    }

    void deductModeFollowsF2AndF1OnlyWithManualQuantity()
    {
        Counter counter({product(ARROZ, "Arroz", 2)});
        Form1& form = counter.form;
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        QVERIFY(ui(form).Label18->isHidden());
        ui(form).Check1->click();
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        QVERIFY(ui(form).Label18->isVisible());
        QCOMPARE(ui(form).Label18->text(), QString("DEDUZIR PRODUTO"));
        QTest::keyClick(ui(form).Text7, Qt::Key_F1);
        QVERIFY(ui(form).Label18->isHidden());
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        ui(form).Check1->click();   // unchecking ends it too
        QVERIFY(ui(form).Label18->isHidden());
    }

    void deductingTakesQuantitiesOffTheSale()
    {
        Counter counter({product("1", "Arroz", 2, 100, 0, 1.5), product("2", "Feijão", 3), product("3", "Sal", 1)});
        Form1& form = counter.form;
        for (const char* code : {"1", "1", "1", "2", "3"})
            counter.scan(code);
        ui(form).Check1->click();
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);

        counter.scan("1");
        counter.type("1");   // 3 - 1
        QCOMPARE(form.venta().lineas()[0].cantidad, QString("2"));
        QCOMPARE(form.venta().lineas()[0].costoTotal, QString("3"));
        QCOMPARE(form.venta().lineas()[0].ventaTotal, QString("4"));
        QCOMPARE(counter.row(0).mid(3, 3), QStringList({"2", "2", "4"}));
        QCOMPARE(ui(form).Label8->text(), QString("R$ 8,"));
        QVERIFY(ui(form).Label18->isVisible());   // the mode stays on
        verifyWaitingForCode(form);

        counter.scan("2");
        counter.type("1");   // all of a middle line: the next moves up and is renumbered
        QCOMPARE(ui(form).ListView1->rowCount(), 2);
        QCOMPARE(counter.row(1).mid(0, 3), QStringList({"2", "3", "Sal"}));
        QCOMPARE(form.venta().lineas()[1].numero, QString("1"));

        counter.scan("1");
        counter.type("3");   // more than the line holds
        QCOMPARE(counter.messages().last(), QString("Você não pode descontar uma quantidade maior que a quantidade vendida"));
        QCOMPARE(ui(form).Text8->text(), QString());
        verifyWaitingForQuantity(form, "1");
        QCOMPARE(form.venta().lineas()[0].cantidad, QString("2"));
        counter.type("0");   // abandons the entry

        counter.scan("9");
        counter.type("1");   // not on the sale
        QCOMPARE(counter.messages().last(), QString("O código inserido não está na lista"));
        QCOMPARE(ui(form).ListView1->rowCount(), 2);
        verifyWaitingForCode(form);

        counter.scan("1");
        counter.type("2");
        counter.scan("3");
        counter.type("1");   // the only lines emptied: "R$ 0", unlike after "CANCELAR"
        QVERIFY(form.venta().isEmpty());
        QCOMPARE(ui(form).ListView1->rowCount(), 0);
        QCOMPARE(ui(form).Label8->text(), QString("R$ 0"));
        QCOMPARE(form.venta().totalAPagar, QString("0"));

        counter.scan("1");
        counter.type("1");
        QCOMPARE(counter.messages().last(), QString("Não há nada para deduzir enquanto a lista estiver vazia"));
        verifyWaitingForQuantity(form, "1");
        QCOMPARE(ui(form).Text8->text(), QString());
        QCOMPARE(counter.messages().size(), 3);
    }

    // A scale label sells its product at the label's quantity; a price
    // label's line totals exactly the label's price.
    void scaleLabelsAtTheCounter_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("line");   // code, name, quantity, unit price, total
        QTest::addColumn<QString>("message");
        QTest::newRow("price label, code as printed")
            << PRICE_LABELS << QUEIJO_1990 << QStringList{"0123", "Queijo Minas kg", "0,221", "89,9", "19,9"} << "";
        QTest::newRow("price label, code without its zeros")
            << PRICE_LABELS << BANANA_099 << QStringList{"456", "Banana Prata kg", "1", "0,99", "0,99"} << "";
        QTest::newRow("weight label")
            << WEIGHT_LABELS << BANANA_2KG << QStringList{"456", "Banana Prata kg", "2", "0,99", "1,98"} << "";
        QTest::newRow("a product's own code comes first")
            << PRICE_LABELS << PAO_DE_FORMA << QStringList{PAO_DE_FORMA, "Pão de Forma", "1", "7,5", "7,5"} << "";
        QTest::newRow("wrong check digit")
            << PRICE_LABELS << MISREAD_LABEL << QStringList() << "Etiqueta de balança inválida: confira o código.";
        QTest::newRow("product not in the catalogue")
            << PRICE_LABELS << UNKNOWN_LABEL << QStringList() << "O código inserido não existe";
        QTest::newRow("labels off") << "" << QUEIJO_1990 << QStringList() << "O código inserido não existe";
    }

    void scaleLabelsAtTheCounter()
    {
        QFETCH(QString, format);
        QFETCH(QString, code);
        QFETCH(QStringList, line);
        QFETCH(QString, message);
        Counter counter(scaleCatalogue());
        counter.platform().scale.format = format;
        counter.scan(code);
        verifyWaitingForCode(counter.form);
        QCOMPARE(counter.messages(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(ui(counter.form).ListView1->rowCount(), line.isEmpty() ? 0 : 1);
        if (line.isEmpty())
            return;
        QCOMPARE(counter.row(0).mid(1, 5), line);
        QCOMPARE(counter.form.venta().totalAPagar, line.last());
    }

    // Each label is its own line, even of one product; the deduct mode takes
    // a scanned label's own line off; the stock goes down by what was sold,
    // and the takings hold the labels' prices to the cent.
    void labelsAreLinesOfTheirOwn()
    {
        Counter counter(scaleCatalogue());
        Form1& form = counter.form;
        counter.platform().scale.format = PRICE_LABELS;
        form.Text4 = "admin";
        form.Text3 = "05/03/2024 8:00:00";
        for (const QString& code : QStringList{QUEIJO_1990, QUEIJO_1990, "0123", "0123", BANANA_099})
            counter.scan(code);
        QCOMPARE(ui(form).ListView1->rowCount(), 4);
        QCOMPARE(form.venta().lineas()[2].cantidad, QString("2"));   // typed codes still add up
        QCOMPARE(form.venta().cantidadEnLista, QString("1"));
        QCOMPARE(ui(form).Label17->text(), QString("Banana Prata kg"));

        ui(form).Check1->click();
        counter.scan(QUEIJO_1990);   // "Quantidade Manual" asks no quantity of a label
        QCOMPARE(ui(form).ListView1->rowCount(), 5);
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        counter.scan(QUEIJO_1990);
        counter.scan(BANANA_099);
        QTest::keyClick(ui(form).Text7, Qt::Key_F1);
        QCOMPARE(ui(form).ListView1->rowCount(), 3);
        QStringList totals;
        for (const LineaVenta& linea : form.venta().lineas())
            totals.append(linea.ventaTotal);
        QCOMPARE(totals, QStringList({"19,9", "19,9", "179,8"}));
        QVERIFY(counter.messages().isEmpty());
        verifyWaitingForCode(form);

        QVERIFY(form.CobrarTarjeta());
        const TestDatabase& db = counter.database();
        QCOMPARE(db.scalar("select tarjeta from TipoPago").toDouble(), 219.6);
        QCOMPARE(db.scalar("select total(TotalVenta) from Temporal").toDouble(), 219.6);
        QCOMPARE(db.scalar("select Cantidad from Productos where CodigoProducto = '0123'").toDouble(), 10 - 2 - 0.442);
    }

    void deductingLeavesTheCriticalStockWarningAlone()
    {
        Counter counter({product(ARROZ, "Arroz", 2, 6, 5)});
        Form1& form = counter.form;
        counter.scan(ARROZ);
        QVERIFY(ui(form).Label17->isVisible());
        ui(form).Check1->click();
        QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        counter.scan(ARROZ);
        counter.type("1");
        QVERIFY(ui(form).Label17->isVisible());
        QCOMPARE(quantityBackground(form), QColor(Qt::red));
        QCOMPARE(form.venta().cantidadEnLista, QString("1"));
    }

    void theMenuHoldsEveryItemAndEachOpensItsWindow()
    {
        Counter counter({});
        Form1& form = counter.form;
        const auto caption = [&](const char* name) {
            auto* item = form.findChild<QAction*>(name);
            return item ? item->text().remove('&') : QString("(none)");
        };
        QCOMPARE(caption("productos"), QString("PRODUTOS"));
        QCOMPARE(caption("edicionProductos"), QString("EDIÇÃO DE PRODUTOS"));
        QCOMPARE(caption("usuarios"), QString("USUÁRIOS"));
        QCOMPARE(caption("recaudaciondeldia"), QString("RECEITA DO DIA"));
        QCOMPARE(caption("informes"), QString("RELATÓRIOS"));
        QCOMPARE(caption("recaudacion"), QString("RECEITA"));
        QCOMPARE(caption("stock"), QString("ESTOQUE DE PRODUTOS"));
        QCOMPARE(caption("ventaparcial"), QString("DETALHE DA VENDA PARCIAL"));

        QStringList bar;
        for (QAction* item : form.menuBar()->actions())
            bar.append(item->objectName());
        QCOMPARE(bar, QStringList({"productos", "usuarios", "recaudaciondeldia", "informes"}));
        QStringList reports;
        for (QAction* item : form.findChild<QAction*>("informes")->menu()->actions())
            reports.append(item->isSeparator() ? "-" : item->objectName());
        QCOMPARE(reports, QStringList({"recaudacion", "-", "stock", "-", "ventaparcial"}));
        for (QAction* item : form.findChildren<QAction*>())
            QVERIFY(item->isEnabled());

        QPointer<Window> opened;
        form.Registrar_Ventana("stock", [&] {
            opened = new Window(counter.platform());
            return opened.data();
        });
        form.findChild<QAction*>("stock")->trigger();
        QVERIFY(opened);
        QVERIFY(opened->isVisible());
        QVERIFY(!form.isVisible());
        opened->close();
        QVERIFY(form.isVisible());
        QTRY_VERIFY(opened.isNull());

        form.Registrar_Ventana("usuarios", {});   // an item without a window changes nothing
        form.findChild<QAction*>("usuarios")->trigger();
        QVERIFY(form.isVisible());
    }

    void everyMenuItemOpensItsOwnWindow_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("products") << "edicionProductos" << "Form2";
        QTest::newRow("users") << "usuarios" << "Form8";
        QTest::newRow("takings of the day") << "recaudaciondeldia" << "Form6";
        QTest::newRow("takings report") << "recaudacion" << "Form7";
        QTest::newRow("stock") << "stock" << "Form9";
        QTest::newRow("open session's sales") << "ventaparcial" << "Form12";
    }

    void everyMenuItemOpensItsOwnWindow()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        Counter counter({product("1", "Arroz", 2)});
        Form1& form = counter.form;
        Registrar_Ventanas(form);
        form.findChild<QAction*>(item)->trigger();
        QWidget* opened = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top->metaObject()->className() == window)
                opened = top;
        }
        QVERIFY2(opened, qPrintable(window + " is not open"));
        QVERIFY(!form.isVisible());
        opened->close();
        QVERIFY(form.isVisible());
        QTRY_VERIFY(ui(form).Text7->hasFocus());   // the next scan lands in the code box
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
