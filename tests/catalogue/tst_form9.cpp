#include "catalogue/exportar_excel.h"
#include "catalogue/form9.h"
#include "common/number_settings.h"
#include "common/report_list.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/test_database.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

namespace {

const QString EMPTY_TOTAL = QStringLiteral("Total de Investimento R$ ,");
const QString NOT_FOUND = QStringLiteral("O Produto não foi encontrado");

// The stock window over a catalogue of its own, shown like from the menu.
class Stock {
public:
    explicit Stock(const QList<NewProduct>& products) : database_({products}), fakes_(database_.folder())
    {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the stock window did not become active");
    }

    void typeName(const QString& text)
    {
        typeKeys(form.Text1, text);
        QTest::keyClick(form.Text1, Qt::Key_Return);
    }
    void typeCode(const QString& text)
    {
        form.Option2->click();
        typeKeys(form.Text2, text);
        QTest::keyClick(form.Text2, Qt::Key_Return);
    }
    void chooseCategory(const QString& category)
    {
        form.Option3->click();
        const int item = form.Combo1->findText(category);
        QVERIFY2(item >= 0, qPrintable("no category " + category));
        form.Combo1->setCurrentIndex(item);
        emit form.Combo1->activated(item);
    }
    void search() { QTest::mouseClick(form.Command2, Qt::LeftButton); }
    void critical() { QTest::mouseClick(form.Command3, Qt::LeftButton); }

    QStringList names() const
    {
        QStringList all;
        for (int row = 0; row < form.ListView1->rowCount(); ++row)
            all.append(form.ListView1->text(row, 2));
        return all;
    }
    QStringList messages() const { return fakes_.prompter.texts(); }
    void clearMessages() { fakes_.prompter.clear(); }
    FakeSpreadsheet& spreadsheet() { return fakes_.spreadsheet; }

private:
    TestDatabase database_;
    FakePlatform fakes_;

public:
    Form9 form{fakes_.platform};
};

QList<NewProduct> grocery()
{
    return {
        product("789001", "Arroz Tipo 1", 27.9, 40, 5, 18.9, "Mercearia"),
        product("789002", "Bala AÇÚCAR CRISTAL", 4.5, 12, 2, 3.1, "Mercearia"),
        product("789003", "Desconto 50% Sabão", 2.5, 3, 3, 1.25, "Limpeza"),
        product("789004", "Detergente 500 ml", 2.5, 0, 0, 1.5, "Limpeza"),
        product("789005", "Vela * Especial", 6, 1, 0, 4, "Bazar"),
        product("789001", "Arroz Integral", 9.9, 10, 2, 6, "Mercearia"),
    };
}

}   // namespace

class Form9Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void loadsInNameMode()
    {
        Stock stock(grocery());
        const Form9& form = stock.form;
        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        // Left 112,5 and Top 261 twips on a 1024 × 768 screen.
        QCOMPARE(form.Picture1->pos(), QPoint(8, 17));
        QCOMPARE(form.Picture1->size(), QSize(1009, 681));
        verifyControls(&form, {
            {"Label1", 0, 0, 15135, 495, "ESTOQUE COMPLETO", 14},
            {"Option1", 240, 600, 2895, 375, "Nome do Produto"},
            {"Option2", 240, 1020, 2895, 375, "Código do Produto"},
            {"Option3", 240, 1440, 2895, 375, "Por Categoria"},
            {"Text1", 3240, 600, 4815, 375},
            {"Text2", 3240, 1020, 2415, 375},
            {"Combo1", 3240, 1440, 4815, 375},
            {"Command2", 8280, 600, 1695, 735, "BUSCAR"},
            {"Command3", 10080, 600, 2415, 735, "Estoque Crítico"},
            {"Command1", 12600, 600, 2295, 735, "Exportar"},
            {"ProgressBar1", 8280, 1440, 6615, 375},
            {"ListView1", 0, 1920, 15135, 7575},
            {"Label2", 240, 9600, 14655, 495},
        });
        verifyColumns(form.ListView1, {{"Item", 800},
                                       {"Código", 1600},
                                       {"Nome", 4500},
                                       {"Quantidade", 1500, Qt::AlignRight},
                                       {"Preço Custo", 1800, Qt::AlignRight},
                                       {"Preço Venda", 1800, Qt::AlignRight},
                                       {"Categoria", 3000},
                                       {"Custo Total", 1600, Qt::AlignRight},
                                       {"Venda Total", 1600, Qt::AlignRight}});
        QCOMPARE(form.ListView1->font().pointSize(), 12);
        QVERIFY(form.ListView1->font().bold());
        QCOMPARE(form.ListView1->textColor(), QColor(0, 0, 0));
        QCOMPARE(form.ListView1->backgroundColor(), QColor(255, 255, 128));

        QVERIFY(form.Option1->isChecked());
        QVERIFY(!form.Option2->isChecked() && !form.Option3->isChecked());
        QVERIFY(form.Text1->isEnabled() && form.Text1->hasFocus());
        QVERIFY(!form.Text2->isEnabled());
        QVERIFY(!form.Combo1->isEnabled());
        QCOMPARE(form.Combo1->count(), 0);
        QVERIFY(form.Command2->isEnabled() && form.Command3->isEnabled());
        QVERIFY(form.Command1->isVisible());
        QVERIFY(!form.Command1->isEnabled());
        QCOMPARE(form.ProgressBar1->value(), 0);
        QCOMPARE(form.ListView1->rowCount(), 0);
        QCOMPARE(form.Label2->text(), QString());
        QCOMPARE(form.Text1->maxLength(), 40);
        QCOMPARE(form.Text2->maxLength(), 15);
        QCOMPARE(form.Text2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QVERIFY(stock.messages().isEmpty());
    }

    void emptyCatalogueLeavesOnlyClosing()
    {
        Stock stock({});
        const Form9& form = stock.form;
        for (const QWidget* control : QList<const QWidget*>{form.Option1, form.Option2, form.Option3, form.Text1,
                                                             form.Text2, form.Command2, form.Command3, form.Combo1})
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(!form.Option1->isChecked());
        QCOMPARE(form.ListView1->rowCount(), 0);
        QVERIFY(!form.Command1->isEnabled());
        QVERIFY(stock.messages().isEmpty());
    }

    void nameSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("* lists each product once, by name")
            << "*"
            << QStringList{"Arroz Integral", "Arroz Tipo 1", "Bala AÇÚCAR CRISTAL", "Desconto 50% Sabão",
                           "Detergente 500 ml", "Vela * Especial"};
        QTest::newRow("anywhere, case-blind with accents") << "açúcar" << QStringList{"Bala AÇÚCAR CRISTAL"};
        QTest::newRow("typed without accents") << "acucar" << QStringList{"Bala AÇÚCAR CRISTAL"};
        QTest::newRow("capitals without accents") << "SABAO" << QStringList{"Desconto 50% Sabão"};
        QTest::newRow("percent means itself") << "50%" << QStringList{"Desconto 50% Sabão"};
        QTest::newRow("underscore means itself") << "5_0" << QStringList{};
        QTest::newRow("apostrophe") << "d'agua" << QStringList{};
        QTest::newRow("nothing matches") << "feijão" << QStringList{};
    }
    void nameSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, names);
        Stock stock(grocery());
        stock.typeName(typed);
        QStringList found = stock.names();
        if (typed != "*")
            found.sort();
        QCOMPARE(found, names);
        if (names.isEmpty()) {
            QCOMPARE(stock.messages(), QStringList{NOT_FOUND});
            QCOMPARE(stock.form.Text1->text(), QString());
            QVERIFY(stock.form.Text1->hasFocus());
            QVERIFY(!stock.form.Command1->isEnabled());
            QCOMPARE(stock.form.Label2->text(), EMPTY_TOTAL);
        } else {
            QVERIFY(stock.messages().isEmpty());
            QCOMPARE(stock.form.Text1->text(), typed);
            QVERIFY(stock.form.Command1->isEnabled());
            for (int row = 0; row < names.size(); ++row)
                QCOMPARE(stock.form.ListView1->text(row, 0), QString::number(row + 1));
        }
    }

    void rowsCarryStockValuesAndTheTotal()
    {
        Stock stock({product("1", "Sabão", 2.5, 3, 0, 1.25, "Limpeza"),
                     product("2", "Brinde", 0, 1500, 0, 1, "Bazar")});
        stock.typeName("*");
        const ReportList* list = stock.form.ListView1;
        QCOMPARE(list->row(0), QStringList({"1", "2", "Brinde", "1500", "1", "0", "Bazar", "1500", "0"}));
        // The sale value keeps its decimals: 3 × 2,5 is 7,5.
        QCOMPARE(list->row(1), QStringList({"2", "1", "Sabão", "3", "1,25", "2,5", "Limpeza", "3,75", "7,5"}));
        QCOMPARE(stock.form.Label2->text(), QString("Total de Investimento R$ 1.503,75"));
    }

    void emptyNameKeepsExport()
    {
        Stock stock(grocery());
        stock.typeName("arroz");
        QVERIFY(stock.form.Command1->isEnabled());
        stock.form.Text1->clear();
        stock.search();
        QCOMPARE(stock.messages(), QStringList{"Você deve inserir o Nome do Produto a ser pesquisado"});
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QVERIFY(stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), EMPTY_TOTAL);

        stock.clearMessages();
        QTest::mouseClick(stock.form.Command1, Qt::LeftButton);
        QCOMPARE(stock.messages(), QStringList{"No existe nada que exportar"});
        QVERIFY(stock.spreadsheet().calls.isEmpty());
    }

    void pastesAreFilteredLikeKeys()
    {
        Stock stock(grocery());
        stock.form.Option2->click();
        QGuiApplication::clipboard()->setText("78a9-001");
        stock.form.Text2->paste();
        QCOMPARE(stock.form.Text2->text(), QString("789001"));
        typeKeys(stock.form.Text2, "x ");
        QCOMPARE(stock.form.Text2->text(), QString("789001"));
        stock.form.Option1->click();
        QGuiApplication::clipboard()->setText(QString("Arroz") + QChar(0x263A));
        stock.form.Text1->paste();
        QCOMPARE(stock.form.Text1->text(), QString("Arroz"));
    }

    void codeSearch()
    {
        Stock stock(grocery());
        stock.typeCode("789001");
        QCOMPARE(stock.names(), QStringList({"Arroz Integral", "Arroz Tipo 1"}));
        QCOMPARE(stock.form.Text2->text(), QString());
        QVERIFY(stock.form.Text2->hasFocus());
        QVERIFY(stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), QString("Total de Investimento R$ 816,"));
        QVERIFY(stock.messages().isEmpty());

        // Choosing the code mode keeps the listing and the export.
        stock.form.Option2->click();
        QCOMPARE(stock.form.ListView1->rowCount(), 2);
        QVERIFY(stock.form.Command1->isEnabled());
        QVERIFY(!stock.form.Text1->isEnabled() && stock.form.Text2->isEnabled() && !stock.form.Combo1->isEnabled());

        typeKeys(stock.form.Text2, "999");
        QTest::keyClick(stock.form.Text2, Qt::Key_Return);
        QCOMPARE(stock.messages(), QStringList{NOT_FOUND});
        QCOMPARE(stock.form.Text2->text(), QString());
        QVERIFY(stock.form.Text2->hasFocus());
        QVERIFY(!stock.form.Command1->isEnabled());

        stock.typeCode("789005");
        stock.clearMessages();
        stock.search();
        QCOMPARE(stock.messages(), QStringList{"Você deve inserir o Código do Produto a ser pesquisado"});
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QVERIFY(!stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), EMPTY_TOTAL);
    }

    void categorySearch()
    {
        Stock stock(grocery());
        stock.typeName("*");
        stock.form.Option3->click();
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QVERIFY(!stock.form.Command1->isEnabled());
        QVERIFY(!stock.form.Text1->isEnabled() && !stock.form.Text2->isEnabled() && stock.form.Combo1->isEnabled());
        QCOMPARE(stock.form.Combo1->currentText(), QString());
        QStringList categories;
        for (int item = 0; item < stock.form.Combo1->count(); ++item)
            categories.append(stock.form.Combo1->itemText(item));
        QCOMPARE(categories, QStringList({"Bazar", "Limpeza", "Mercearia"}));

        stock.search();
        QCOMPARE(stock.messages(), QStringList{"Você deve inserir o Nome da Categoria a ser pesquisada"});
        QVERIFY(!stock.form.Command1->isEnabled());

        stock.clearMessages();
        stock.chooseCategory("Limpeza");
        QCOMPARE(stock.names(), QStringList({"Desconto 50% Sabão", "Detergente 500 ml"}));
        QVERIFY(stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), QString("Total de Investimento R$ 3,75"));
        QVERIFY(stock.messages().isEmpty());

        // Back to the name mode: everything emptied, export off.
        stock.form.Option1->click();
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QCOMPARE(stock.form.Combo1->count(), 0);
        QVERIFY(!stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), QString());
    }

    void criticalStock()
    {
        Stock stock(grocery());
        stock.typeName("*");
        stock.critical();
        // 3 of 3 and 0 of 0 are critical; 1 of 0 is not.
        QCOMPARE(stock.names(), QStringList({"Desconto 50% Sabão", "Detergente 500 ml"}));
        QCOMPARE(stock.form.ListView1->textColor(), QColor(255, 0, 0));
        QCOMPARE(stock.form.ListView1->backgroundColor(), QApplication::palette().color(QPalette::Base));
        QCOMPARE(stock.form.Label2->text(), QString());
        QCOMPARE(stock.form.Text1->text(), QString());
        QVERIFY(stock.form.Command1->isEnabled());
        QVERIFY(stock.form.Option1->isChecked());
        QVERIFY(stock.messages().isEmpty());

        // A search paints the list black on yellow again.
        stock.typeName("arroz");
        QCOMPARE(stock.form.ListView1->textColor(), QColor(0, 0, 0));
        QCOMPARE(stock.form.ListView1->backgroundColor(), QColor(255, 255, 128));
    }

    void criticalAfterCategoryLeavesNoOption()
    {
        Stock stock(grocery());
        stock.chooseCategory("Bazar");
        stock.critical();
        QVERIFY(!stock.form.Option1->isChecked() && !stock.form.Option2->isChecked() &&
                !stock.form.Option3->isChecked());
        QCOMPARE(stock.form.Combo1->count(), 0);
        QVERIFY(stock.form.Combo1->isEnabled());
        stock.search();
        QCOMPARE(stock.messages(), QStringList{"Você deve inserir o Nome da Categoria a ser pesquisada"});
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QVERIFY(!stock.form.Command1->isEnabled());
        QCOMPARE(stock.form.Label2->text(), EMPTY_TOTAL);
    }

    void noCriticalProduct()
    {
        Stock stock({product("1", "Sabão", 2.5, 3, 2, 1.25, "Limpeza")});
        stock.typeName("*");
        stock.critical();
        QCOMPARE(stock.messages(), QStringList{"Não foram encontrados Produtos em estado crítico"});
        QCOMPARE(stock.form.ListView1->rowCount(), 0);
        QVERIFY(!stock.form.Command1->isEnabled());
    }

    void exportsTheListing()
    {
        Stock stock(grocery());
        stock.typeCode("789001");
        QTest::mouseClick(stock.form.Command1, Qt::LeftButton);
        const FakeSpreadsheet& sheet = stock.spreadsheet();
        QVERIFY(sheet.visible);
        QCOMPARE(sheet.rowCount(), 3);
        QCOMPARE(sheet.cell(2, 3), QVariant(QString("Arroz Integral")));
        QCOMPARE(sheet.cell(3, 4), QVariant(40.0));
        QCOMPARE(stock.form.ProgressBar1->value(), 0);
        QVERIFY(stock.messages().isEmpty());
    }

    // The export walks the listing in the store: every cell is what the
    // list's own texts give, numbers that need rounding to 15 digits included.
    void exportWalksTheListingAsTheListShowsIt_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::newRow("every product") << "*";
        QTest::newRow("a name search") << "a";
        QTest::newRow("critical products") << QString();
    }
    void exportWalksTheListingAsTheListShowsIt()
    {
        QFETCH(QString, listing);
        QList<NewProduct> products = grocery();
        products << product("789010", "Água Sanitária 1 l", 0.1 + 0.2, 2.675, 3, 1.0 / 3, "Limpeza")
                 << product("789011", "Açaí kg", 123456789.125, 0.7, 1, 98765.4321, "Hortifrúti")
                 << product("789012", "Sal -1", 1e-7, -3, 0, 2.5, "Mercearia");
        Stock stock(products);
        listing.isEmpty() ? stock.critical() : stock.typeName(listing);
        QVERIFY(stock.form.ListView1->rowCount() > 2);

        QTest::mouseClick(stock.form.Command1, Qt::LeftButton);
        FakeSpreadsheet fromTexts;
        FakePrompter prompter;
        QVERIFY(Exportar_Excel(*stock.form.ListView1, nullptr, &fromTexts, prompter));

        QVERIFY(stock.messages().isEmpty());
        QCOMPARE(stock.spreadsheet().calls, fromTexts.calls);
        QCOMPARE(stock.spreadsheet().cells, fromTexts.cells);
    }

    // A sheet that fails while its rows are written beside the reading ends
    // the export with one message and nothing left open, whichever way the
    // listing is read (the whole catalogue in passes, a search in one walk).
    void exportFailureEndsWithOneMessage_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("failAt");
        QTest::newRow("every product, a row") << "*" << "number 4 5";
        QTest::newRow("every product, the last row") << "*" << "number 7 9";
        QTest::newRow("a name search, a row") << "a" << "text 3 2";
        QTest::newRow("every product, showing it") << "*" << "visible";
    }
    void exportFailureEndsWithOneMessage()
    {
        QFETCH(QString, listing);
        QFETCH(QString, failAt);
        Stock stock(grocery());
        stock.typeName(listing);
        stock.spreadsheet().failAt = failAt;

        QTest::mouseClick(stock.form.Command1, Qt::LeftButton);

        QCOMPARE(stock.messages(), QStringList{"falha simulada da planilha"});
        QCOMPARE(stock.spreadsheet().calls.last(), QString("discard"));
        QVERIFY(!stock.spreadsheet().visible);
        QCOMPARE(stock.form.ProgressBar1->value(), 0);
    }
};

QTEST_MAIN(Form9Test)
#include "tst_form9.moc"
