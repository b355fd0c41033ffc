#include "catalogue/form2.h"
#include "common/number_settings.h"
#include "common/report_list.h"
#include "dialogs/form10.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/test_database.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QProcess>
#include <QtTest>

namespace {

const QString MSG_DATOS = "Todos os dados obrigatórios devem ser preenchidos para que seja salvo";
const QString MSG_REPETIDO = "O nome do produto não pode ser igual a um já existente";

// Product maintenance over a catalogue of its own, opened from the sale window's menu.
class Maintenance {
public:
    explicit Maintenance(const QList<NewProduct>& products) : database({products}), fakes(database.folder())
    {
        sale.show();
        form = new Form2(fakes.platform);
        form->openFromMenu(&sale);
        if (!QTest::qWaitForWindowActive(form))
            qWarning("the maintenance window did not become active");
    }
    ~Maintenance() { delete form.data(); }

    void lookup(const QString& code)
    {
        typeKeys(form->Text1, code);
        QTest::keyClick(form->Text1, Qt::Key_Return);
    }
    void fill(const QStringList& values)   // name, quantity, cost, sale price, critical, category
    {
        const QList<QLineEdit*> boxes = {form->Text2, form->Text3, form->Text4, form->Text5, form->Text6};
        for (qsizetype i = 0; i < boxes.size(); ++i) {
            boxes[i]->clear();
            typeKeys(boxes[i], values[i]);
        }
        form->Combo2->setEditText(values[5]);
    }
    void choose(int order)   // an entry of the sort box, as a click on it
    {
        form->Combo1->setCurrentIndex(order);
        emit form->Combo1->activated(order);
    }
    QStringList column(int column) const
    {
        QStringList texts;
        for (int r = 0; r < form->ListView1->rowCount(); ++r)
            texts.append(form->ListView1->text(r, column));
        return texts;
    }
    QList<QStringList> rows() const
    {
        QList<QStringList> all;
        for (int r = 0; r < form->ListView1->rowCount(); ++r)
            all.append(form->ListView1->row(r));
        return all;
    }
    QStringList categories() const
    {
        QStringList items;
        for (int i = 0; i < form->Combo2->count(); ++i)
            items.append(form->Combo2->itemText(i));
        return items;
    }
    QVariant stored(const QString& field, const QString& code) const
    {
        return database.scalar(QString("select %1 from Productos where CodigoProducto = '%2'").arg(field, code));
    }

    TestDatabase database;
    FakePlatform fakes;
    Form1 sale{fakes.platform};
    QPointer<Form2> form;
};

QList<NewProduct> catalogue()
{
    return {product("300", "Feijão Preto 1 kg", 8.9, 40, 5, 6.1, "Mercearia"),
            product("100", "Arroz Tipo 1 5 kg", 24.5, 2.5, 3, 18, "Mercearia"),
            product("200", "Sabão em Pó 1 kg", 0, 7, 2, 0, "Limpeza")};
}

Form10* openPicker()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* picker = qobject_cast<Form10*>(window); picker && picker->isVisible())
            return picker;
    }
    return nullptr;
}

// Names that test the text order: accents, letter-case twins, a code held by two products.
QList<NewProduct> orderedCatalogue()
{
    return {product("10", "Arroz", 20, 5, 1, 15, "Mercearia"),
            product("11", "arroz", 21, 5, 1, 16, "mercearia"),
            product("12", "Água Mineral 500 ml", 1.5, 48, 6, 0.7, "Bebidas"),
            product("13", "Biscoito Maria", 3.2, 2.5, 3, 2, "Mercearia"),
            product("14", "Feijão Preto 1 kg", 8.9, 0, 5, 0, "Mercearia"),
            product("15", "Sabão em Pó 1 kg", 0, 7, 2, 0, "Limpeza"),
            product("16", "Óleo de Soja 900 ml", 7.9, 12, 4, 5.5, "Mercearia"),
            product("15", "Detergente Neutro", 2.3, 30, 0, 1.1, "Limpeza"),
            product("17", "Zimbro em Grão", 12, 1, 0, 8, "Temperos")};
}

QStringList distinctCategories(const QString& folder)
{
    Connection connection(folder);
    RecordSet grouped(connection, Query::Categorias, RecordSet::Mode::ReadOnlyList);
    QStringList categories;
    for (; !grouped.eof(); grouped.moveNext())
        categories.append(grouped.text("Categoria"));
    return categories;
}

void verifyIdle(const Form2& form)
{
    QVERIFY(form.Text1->isEnabled());
    QCOMPARE(form.Text1->text(), QString());
    QVERIFY(form.Text1->hasFocus());
    for (const QWidget* box : {static_cast<const QWidget*>(form.Text2), static_cast<const QWidget*>(form.Text3),
                               static_cast<const QWidget*>(form.Text4), static_cast<const QWidget*>(form.Text5),
                               static_cast<const QWidget*>(form.Text6), static_cast<const QWidget*>(form.Combo2)})
        QVERIFY2(!box->isEnabled(), qPrintable(box->objectName()));
    for (const QLineEdit* box : {form.Text2, form.Text3, form.Text4, form.Text5})
        QCOMPARE(box->text(), QString());
    QCOMPARE(form.Text6->text(), QString("0"));
    QCOMPARE(form.Combo2->currentText(), QString());
    QCOMPARE(form.Combo2->count(), 0);
    QVERIFY(!form.Command4->isEnabled());
}

void verifyEditing(const Form2& form, bool existing)
{
    QVERIFY(!form.Text1->isEnabled());
    for (const QWidget* box : {static_cast<const QWidget*>(form.Text2), static_cast<const QWidget*>(form.Text3),
                               static_cast<const QWidget*>(form.Text4), static_cast<const QWidget*>(form.Text5),
                               static_cast<const QWidget*>(form.Text6), static_cast<const QWidget*>(form.Combo2)})
        QVERIFY2(box->isEnabled(), qPrintable(box->objectName()));
    QVERIFY(form.Text2->hasFocus());
    QCOMPARE(form.Command4->isEnabled(), existing);
    QCOMPARE(form.editandoExistente(), existing);
}

}   // namespace

class Form2Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void loadsTheWholeCatalogueIdle()
    {
        Maintenance m(catalogue());
        Form2& form = *m.form;
        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        QVERIFY(!m.sale.isVisible());
        // Left 112,5 and Top 261 twips on a 1024 × 768 screen.
        QCOMPARE(form.Picture1->pos(), QPoint(8, 17));
        QCOMPARE(m.sale.Text1, QString("1024"));
        QCOMPARE(form.Picture1->size(), QSize(1009, 681));
        verifyControls(&form, {                               {"Label1", 0, 0, 15135, 495, "EDIÇÃO DE PRODUTOS", 14},
                               {"Label2", 120, 240, 2160, 435, "Código"},
                               {"Label3", 120, 780, 2160, 435, "Nome"},
                               {"Label4", 120, 1320, 2160, 435, "Quantidade"},
                               {"Label5", 120, 1860, 2160, 435, "Preço Custo"},
                               {"Label6", 120, 2400, 2160, 435, "Preço Venda"},
                               {"Label7", 120, 2940, 2160, 435, "Estoque Crítico"},
                               {"Label8", 120, 3480, 2160, 435, "Categoria"},
                               {"Command7", 5160, 240, 1455, 435, "Buscar"},
                               {"Command3", 360, 240, 4800, 615, "Salvar"},
                               {"Command4", 360, 960, 4800, 615, "Excluir"},
                               {"Command5", 360, 1680, 4800, 615, "cancelar"},
                               {"Label9", 360, 2700, 4800, 375, "Ordenar Por:"},
                               {"ListView1", 0, 4800, 15135, 5415}});
        verifyColumns(form.ListView1, {{"Item", 800},
                                       {"Código", 2100},
                                       {"Nome", 5000},
                                       {"Quantidade", 1300, Qt::AlignRight},
                                       {"Preço Custo", 1800, Qt::AlignRight},
                                       {"Preço Venda", 1800, Qt::AlignRight},
                                       {"Categoria", 2500, Qt::AlignCenter}});
        QCOMPARE(form.ListView1->font().pointSize(), 13);
        QVERIFY(form.ListView1->font().bold());
        QCOMPARE(form.ListView1->backgroundColor(), QColor(255, 255, 128));
        QCOMPARE(form.ListView1->textColor(), QColor(0, 0, 0));

        QCOMPARE(form.ListView1->rowCount(), 3);
        QCOMPARE(form.ListView1->row(0),
                 QStringList({"1", "100", "Arroz Tipo 1 5 kg", "2,5", "18", "24,5", "Mercearia"}));
        QCOMPARE(form.ListView1->row(2), QStringList({"3", "200", "Sabão em Pó 1 kg", "7", "R$ 0", "R$ 0", "Limpeza"}));
        QCOMPARE(m.column(0), QStringList({"1", "2", "3"}));

        // The sort box is shown with its label, nothing chosen.
        QVERIFY(form.Combo1->isVisible());
        QVERIFY(form.Label9->isVisible());
        QCOMPARE(form.Combo1->count(), 3);
        QCOMPARE(form.Combo1->itemText(0), QString("CODIGO"));
        QCOMPARE(form.Combo1->itemText(1), QString("NOMBRE PRODUCTO"));
        QCOMPARE(form.Combo1->itemText(2), QString("CANTIDAD"));
        QCOMPARE(form.Combo1->currentIndex(), -1);
        verifyIdle(form);
    }

    void closingShowsTheSaleWindowAgain()
    {
        Maintenance m({});
        m.form->close();
        QVERIFY(m.sale.isVisible());
    }

    void boxesFilterTypedAndPastedKeys_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("code: digits only") << "Text1" << "12a3 -4.5" << "12345";
        QTest::newRow("code: 15 at most") << "Text1" << "12345678901234567" << "123456789012345";
        QTest::newRow("name: anything, 40 at most") << "Text2" << QString("Pão d'Água %_ ").repeated(4)
                                                    << QString("Pão d'Água %_ ").repeated(4).left(40);
        QTest::newRow("quantity: digits comma point") << "Text3" << "1a,5.-2" << "1,5.2";
        QTest::newRow("quantity: 8 at most") << "Text3" << "123456789" << "12345678";
        QTest::newRow("cost: 7 at most") << "Text4" << "12,34x567" << "12,3456";
        QTest::newRow("sale price: 7 at most") << "Text5" << "9.99 R$123" << "9.99123";
        QTest::newRow("critical: digits, 5 at most") << "Text6" << "1,2.34567" << "12345";
        const QString controls = QString("\r\n\t") + QChar(0x1b) + QChar(7) + QChar(0x7f);
        QTest::newRow("code: no control characters") << "Text1" << "12" + controls + "3" << "123";
        QTest::newRow("name: no control characters, not counted")
            << "Text2" << ("Arroz" + controls + "Tipo 1 ").repeated(3) + "[31m" << QString("ArrozTipo 1 ").repeated(3) + "[31m";
        QTest::newRow("quantity: no control characters") << "Text3" << "1" + controls + ",5" << "1,5";
        QTest::newRow("cost: no control characters") << "Text4" << controls + "2.5" << "2.5";
        QTest::newRow("sale price: no control characters") << "Text5" << "3" + controls << "3";
        QTest::newRow("critical: no control characters") << "Text6" << "4" + controls + "0" << "40";
        QTest::newRow("category: no control characters") << "Combo2" << "Mercearia" + controls + "Fina" << "MerceariaFina";
    }
    void boxesFilterTypedAndPastedKeys()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        Maintenance m({});
        m.lookup("1");   // opens the data boxes for a new product
        auto* edit = box == "Combo2" ? m.form->Combo2->lineEdit() : m.form->findChild<QLineEdit*>(box);
        edit->setEnabled(true);
        edit->clear();
        typeKeys(edit, typed);
        QCOMPARE(edit->text(), kept);

        edit->clear();
        QGuiApplication::clipboard()->setText(typed);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), kept);
        QCOMPARE(m.form->Text6->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }

    void enterWithoutCodeAsksForIt()
    {
        Maintenance m(catalogue());
        QTest::keyClick(m.form->Text1, Qt::Key_Return);
        QCOMPARE(m.fakes.prompter.texts(), QStringList({"É necessário inserir o código do produto"}));
        verifyIdle(*m.form);
    }

    void newCodeAddsExactlyOneProduct()
    {
        Maintenance m(catalogue());
        m.lookup("250");
        verifyEditing(*m.form, false);
        QCOMPARE(m.form->Text6->text(), QString("0"));
        QCOMPARE(m.form->Combo2->count(), 2);   // the distinct categories
        QCOMPARE(m.form->Combo2->itemText(0), QString("Limpeza"));
        m.fill({"  Café  Torrado 500 g ", "12", "9,5", "15,9", "", "Bebidas"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);

        QCOMPARE(m.fakes.prompter.texts(), QStringList());
        QCOMPARE(m.database.count("Productos"), 4);
        QCOMPARE(m.stored("NombreProducto", "250").toString(), QString("Café  Torrado 500 g"));
        QCOMPARE(m.stored("PrecioCosto", "250").toDouble(), 9.5);
        QCOMPARE(m.stored("StockCritico", "250").toInt(), 0);
        QCOMPARE(m.stored("Categoria", "250").toString(), QString("Bebidas"));
        verifyIdle(*m.form);
        QCOMPARE(m.column(2), QStringList({"Arroz Tipo 1 5 kg", "Café  Torrado 500 g", "Feijão Preto 1 kg",
                                           "Sabão em Pó 1 kg"}));
        QCOMPARE(m.column(0), QStringList({"1", "2", "3", "4"}));
    }

    void emptyCatalogueOpensTheBoxesAtOnce()
    {
        Maintenance m({});
        QCOMPARE(m.form->ListView1->rowCount(), 0);
        m.lookup("7");
        verifyEditing(*m.form, false);
        m.fill({"Vela", "1", "1", "2", "3", "Casa"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.database.count("Productos"), 1);
        QCOMPARE(m.stored("StockCritico", "7").toInt(), 3);
    }

    void lookupLoadsTheProductAndItsCopy()
    {
        Maintenance m(catalogue());
        m.lookup("300");
        verifyEditing(*m.form, true);
        const Form2& form = *m.form;
        QCOMPARE(QStringList({form.Text2->text(), form.Text3->text(), form.Text4->text(), form.Text5->text(),
                              form.Text6->text(), form.Combo2->currentText()}),
                 QStringList({"Feijão Preto 1 kg", "40", "6,1", "8,9", "5", "Mercearia"}));
        QCOMPARE(QStringList({form.Text7, form.Text8, form.Text9, form.Text10, form.Text11, form.Text12, form.Text13}),
                 QStringList({"300", "Feijão Preto 1 kg", "40", "6,1", "8,9", "5", "Mercearia"}));
    }

    // A stored number too long for its box (13 digits from an older import)
    // is never cut into another number that a save would store.
    void aStoredNumberTooLongForItsBoxIsNamedNotCut()
    {
        Maintenance m(catalogue());
        m.database.execute("update Productos set PrecioVenta = 1e21, Cantidad = 123456.789 where CodigoProducto = '300'");
        m.lookup("300");
        verifyEditing(*m.form, true);
        QCOMPARE(m.fakes.prompter.texts(),
                 QStringList{"O valor gravado de Quantidade (123456,789), Preço Venda (1000000000000000000000) não cabe "
                             "no campo e não foi mostrado. Digite o valor certo antes de salvar."});
        QCOMPARE(m.form->Text3->text(), QString());
        QCOMPARE(m.form->Text4->text(), QString("6,1"));
        QCOMPARE(m.form->Text5->text(), QString());
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.fakes.prompter.last(), MSG_DATOS);
        QCOMPARE(m.stored("PrecioVenta", "300").toDouble(), 1e21);
    }

    void changesKeepTheOwnNameAndRefuseAnothers_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("saved");
        QTest::newRow("own name kept") << "Feijão Preto 1 kg" << true;
        QTest::newRow("another product's name") << "Arroz Tipo 1 5 kg" << false;
        QTest::newRow("another's name with spaces around") << " Arroz Tipo 1 5 kg " << false;
        QTest::newRow("another's name in other letter case") << "ARROZ TIPO 1 5 KG" << true;
    }
    void changesKeepTheOwnNameAndRefuseAnothers()
    {
        QFETCH(QString, name);
        QFETCH(bool, saved);
        Maintenance m(catalogue());
        m.lookup("300");
        m.fill({name, "41", "6,1", "9,9", "", "Mercearia"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.stored("PrecioVenta", "300").toDouble(), saved ? 9.9 : 8.9);
        QCOMPARE(m.database.count("Productos"), 3);
        if (saved) {
            QCOMPARE(m.fakes.prompter.texts(), QStringList());
            QCOMPARE(m.stored("StockCritico", "300").toInt(), 0);
            verifyIdle(*m.form);
        } else {
            QCOMPARE(m.fakes.prompter.texts(), QStringList({MSG_REPETIDO}));
            verifyEditing(*m.form, true);
            QCOMPARE(m.form->Text2->text(), name.trimmed());
        }
    }

    void newProductWithAnExistingNameIsRefused()
    {
        Maintenance m(catalogue());
        m.lookup("400");
        m.fill({"Sabão em Pó 1 kg", "1", "1", "1", "", "Limpeza"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.fakes.prompter.texts(), QStringList({MSG_REPETIDO}));
        QCOMPARE(m.database.count("Productos"), 3);
        verifyEditing(*m.form, false);
    }

    void missingDataIsRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("name") << 0 << "";
        QTest::newRow("name of spaces only") << 0 << "   ";
        QTest::newRow("quantity") << 1 << "";
        QTest::newRow("cost") << 2 << "";
        QTest::newRow("sale price") << 3 << "";
        QTest::newRow("category") << 5 << "";
    }
    void missingDataIsRefused()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        Maintenance m(catalogue());
        m.lookup("500");
        QStringList values = {"Vela", "1", "1", "2", "", "Casa"};
        values[field] = value;
        m.fill(values);
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.fakes.prompter.texts(), QStringList({MSG_DATOS}));
        QCOMPARE(m.database.count("Productos"), 3);
        verifyEditing(*m.form, false);
    }

    void numbersAreReadByTheNumberSettings_data()
    {
        QTest::addColumn<QString>("quantity");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("decimal comma") << "2,5" << QVariant(2.5);
        QTest::newRow("grouped thousands") << "1.234,5" << QVariant(1234.5);
        QTest::newRow("point that does not group") << "1.5" << QVariant();
    }
    void numbersAreReadByTheNumberSettings()
    {
        QFETCH(QString, quantity);
        QFETCH(QVariant, stored);
        Maintenance m(catalogue());
        m.lookup("600");
        m.fill({"Vela", quantity, "1", "2", "", "Casa"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        if (stored.isValid()) {
            QCOMPARE(m.stored("Cantidad", "600").toDouble(), stored.toDouble());
        } else {
            QCOMPARE(m.database.count("Productos"), 3);
            QCOMPARE(m.fakes.prompter.texts().size(), 1);
            QVERIFY(m.fakes.prompter.last().contains("Quantidade"));
            QVERIFY(m.fakes.prompter.last().contains("\"1.5\""));
            verifyEditing(*m.form, false);
        }
    }

    void deleteAsksAndRefusesOfferParts()
    {
        Maintenance m(catalogue());
        m.database.execute("update Productos set ParteDeOferta = 1 where CodigoProducto = '100'");
        m.lookup("100");
        QTest::mouseClick(m.form->Command4, Qt::LeftButton);
        QCOMPARE(m.fakes.prompter.texts(),
                 QStringList({"No se puede eliminar el producto mientras esté compuesto dentro de una oferta"}));
        QCOMPARE(m.database.count("Productos"), 3);
        verifyEditing(*m.form, true);

        QTest::mouseClick(m.form->Command5, Qt::LeftButton);
        verifyIdle(*m.form);
        m.fakes.prompter.clear();
        m.choose(0);
        m.lookup("300");
        m.fakes.prompter.answers.enqueue(false);
        QTest::mouseClick(m.form->Command4, Qt::LeftButton);
        QCOMPARE(m.fakes.prompter.messages.size(), 1);
        QCOMPARE(m.fakes.prompter.messages[0].kind, FakePrompter::Kind::YesNo);
        QCOMPARE(m.fakes.prompter.messages[0].text, QString("Você tem certeza que deseja excluir o registro deste Produto?"));
        QCOMPARE(m.fakes.prompter.messages[0].title, QString("Confirmar Exclusão"));
        QCOMPARE(m.database.count("Productos"), 3);
        verifyEditing(*m.form, true);
        QCOMPARE(m.form->Text2->text(), QString("Feijão Preto 1 kg"));

        m.fakes.prompter.answers.enqueue(true);
        QTest::mouseClick(m.form->Command4, Qt::LeftButton);
        QCOMPARE(m.database.count("Productos"), 2);
        QCOMPARE(m.stored("count(*)", "300").toInt(), 0);
        verifyIdle(*m.form);
        QCOMPARE(m.column(1), QStringList({"100", "200"}));
    }

    // After a save or a delete the list must be exactly what listing the
    // catalogue afresh shows: same entries, same order, same running numbers.
    void listAfterAChangeEqualsAFreshListing_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("values");   // name, quantity, cost, sale, critical, category; empty: delete
        QTest::newRow("quantity changed") << "13" << QStringList({"Biscoito Maria", "7,5", "2", "3,2", "3", "Mercearia"});
        QTest::newRow("price set to zero") << "16" << QStringList({"Óleo de Soja 900 ml", "12", "0", "0", "4", "Mercearia"});
        QTest::newRow("renamed to the front") << "17" << QStringList({"Abacate", "1", "8", "12", "0", "Temperos"});
        QTest::newRow("renamed to the end") << "12" << QStringList({"Zzz Água", "48", "0,7", "1,5", "6", "Bebidas"});
        QTest::newRow("renamed between letter-case twins") << "13" << QStringList({"ARROZ", "1", "2", "3", "0", "Mercearia"});
        QTest::newRow("renamed with an accent") << "10" << QStringList({"Ázeite", "5", "15", "20", "1", "Mercearia"});
        QTest::newRow("first of a shared code") << "15" << QStringList({"Alvejante", "2", "1", "3", "0", "Limpeza"});
        QTest::newRow("new product in the middle") << "99" << QStringList({"Café Torrado", "3", "9", "15,9", "", "Bebidas"});
        QTest::newRow("new product first") << "98" << QStringList({"abacaxi", "1", "1", "2", "0", "Frutas"});
        QTest::newRow("new product last") << "97" << QStringList({"zebu", "1", "1", "2", "0", "Carnes"});
        QTest::newRow("deleted") << "12" << QStringList();
        QTest::newRow("deleted: every product of a shared code") << "15" << QStringList();
    }
    void listAfterAChangeEqualsAFreshListing()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, values);
        Maintenance m(orderedCatalogue());
        const int listed = static_cast<int>(m.column(1).indexOf(code));
        if (listed >= 0) {   // loaded from its selected entry
            m.form->ListView1->selectRow(listed);
            m.form->ListView1_Click();
        } else {
            m.lookup(code);
        }
        if (values.isEmpty()) {
            m.fakes.prompter.answers.enqueue(true);
            QTest::mouseClick(m.form->Command4, Qt::LeftButton);
        } else {
            m.fill(values);
            QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        }
        QCOMPARE(m.fakes.prompter.texts().size(), values.isEmpty() ? 1 : 0);   // only the delete question
        verifyIdle(*m.form);
        QCOMPARE(m.form->ListView1->selectedRow(), -1);
        const QList<QStringList> changed = m.rows();
        QCOMPARE(changed.size(), m.database.count("Productos"));

        QTest::mouseClick(m.form->Command5, Qt::LeftButton);   // lists the catalogue afresh
        QCOMPARE(changed, m.rows());
        if (!values.isEmpty())
            QVERIFY(m.column(2).contains(values[0].trimmed()));
    }

    // A run of changes, each followed by a lookup, keeps list and categories true.
    void categoriesFollowEverySave()
    {
        Maintenance m(orderedCatalogue());
        const QString folder = m.database.folder();
        m.lookup("13");
        QCOMPARE(m.categories(), distinctCategories(folder));

        const QList<std::pair<QString, QStringList>> saves = {
            {"13", {"Biscoito Maria", "9", "2", "3,2", "3", "Mercearia"}},     // same category
            {"17", {"Zimbro em Grão", "1", "8", "12", "0", "Especiarias"}},    // its only product moves away
            {"60", {"Vinagre", "2", "1", "2", "0", "Temperos"}},               // a new product brings one back
            {"12", {"Água Mineral 500 ml", "48", "0,7", "1,5", "6", "bebidas"}},
        };
        for (const auto& [code, values] : saves) {
            Form2& form = *m.form;
            form.Command5_Click();
            m.lookup(code);
            m.fill(values);
            QTest::mouseClick(form.Command3, Qt::LeftButton);
            QCOMPARE(m.fakes.prompter.texts(), QStringList());
            m.lookup("10");
            QCOMPARE(m.categories(), distinctCategories(folder));
            QCOMPARE(form.Combo2->currentText(), QString("Mercearia"));
        }
        QVERIFY(!m.categories().contains("Temperos") || m.categories().count("Temperos") == 1);
        m.fakes.prompter.answers.enqueue(true);
        QTest::mouseClick(m.form->Command4, Qt::LeftButton);   // "Arroz" leaves; "arroz" still holds the group
        m.lookup("14");
        QCOMPARE(m.categories(), distinctCategories(folder));
        const QList<QStringList> listed = m.rows();
        m.form->Command5_Click();
        QCOMPARE(m.rows(), listed);
    }

    // What another program (or another part of this one) stores while the
    // window is open shows in the category box at the next lookup and in the
    // list after the next save.
    void writesMadeMeanwhileShowAfterASave_data()
    {
        QTest::addColumn<bool>("byAnotherProgram");
        QTest::newRow("another program") << true;
        QTest::newRow("the program's own connection") << false;
    }

    void writesMadeMeanwhileShowAfterASave()
    {
        QFETCH(bool, byAnotherProgram);
        Maintenance m(orderedCatalogue());
        m.lookup("13");
        m.form->Command5_Click();
        const QString insert = "insert into Productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, "
                               "PrecioVenta, StockCritico, Categoria) values ('70', 'Pêssego em Calda', 3, 4, 9, 0, "
                               "'Conservas')";
        if (byAnotherProgram)
            QCOMPARE(QProcess::execute(TENDUCA_DB_TOOL, {"sql", m.database.folder(), insert}), 0);
        else
            m.database.execute(insert);

        m.lookup("13");
        QVERIFY(m.categories().contains("Conservas"));
        m.fill({"Biscoito Maria", "9", "2", "3,2", "3", "Mercearia"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QVERIFY(m.column(2).contains("Pêssego em Calda"));
        const QList<QStringList> listed = m.rows();
        m.form->Command5_Click();
        QCOMPARE(m.rows(), listed);
    }

    void sortOrdersTheListUntilTheNextSave()
    {
        Maintenance m(catalogue());
        m.lookup("300");
        m.choose(2);
        verifyIdle(*m.form);
        QCOMPARE(m.column(1), QStringList({"100", "200", "300"}));   // 2,5 then 7 then 40 in stock
        QCOMPARE(m.column(0), QStringList({"1", "2", "3"}));
        m.choose(0);
        QCOMPARE(m.column(1), QStringList({"100", "200", "300"}));

        m.lookup("200");
        m.fill({"Sabão em Pó 1 kg", "1", "0", "0", "", "Limpeza"});
        QTest::mouseClick(m.form->Command3, Qt::LeftButton);
        QCOMPARE(m.column(1), QStringList({"100", "300", "200"}));   // by name again
        QCOMPARE(m.form->Combo1->currentText(), QString("CODIGO"));
    }

    void listClickLoadsTheSelectedProduct()
    {
        Maintenance m(catalogue());
        m.lookup("999");   // a new product being entered is overwritten
        m.form->ListView1->selectRow(1);
        m.form->ListView1_Click();
        verifyEditing(*m.form, true);
        QCOMPARE(m.form->Text1->text(), QString("300"));
        QCOMPARE(m.form->Text2->text(), QString("Feijão Preto 1 kg"));
    }

    void listClickWithoutSelectionDoesNothing()
    {
        Maintenance empty({});
        QTest::mouseClick(empty.form->ListView1->viewport(), Qt::LeftButton);
        empty.form->ListView1_Click();
        verifyIdle(*empty.form);

        Maintenance m(catalogue());
        m.form->ListView1_Click();
        verifyIdle(*m.form);
        QCOMPARE(m.fakes.prompter.texts(), QStringList());
    }

    void clickInABoxEmptiesTheClipboard()
    {
        Maintenance m(catalogue());
        for (QLineEdit* box : {m.form->Text1, m.form->Text3}) {
            QGuiApplication::clipboard()->setText("1.5");
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        }
    }

    void pickerLoadsTheChosenProduct()
    {
        Maintenance m(catalogue());
        QTest::mouseClick(m.form->Command7, Qt::LeftButton);
        QPointer<Form10> picker = openPicker();
        QVERIFY(picker);
        QVERIFY(!m.form->isEnabled());
        QVERIFY(waitForKeyboard(picker));
        typeKeys(picker->Text1, "jão");
        picker->List1->setFocus();   // the list takes the keyboard with its first name highlighted
        QTest::keyClick(picker->List1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(picker.isNull(), 2000);
        QVERIFY(m.form->isEnabled());
        verifyEditing(*m.form, true);
        QCOMPARE(m.form->Text1->text(), QString("300"));
        QCOMPARE(m.form->Text2->text(), QString("Feijão Preto 1 kg"));
    }

    void pickerClosedWithEscapeLeavesTheWindowAsItWas()
    {
        Maintenance m(catalogue());
        QTest::mouseClick(m.form->Command7, Qt::LeftButton);
        QPointer<Form10> picker = openPicker();
        QVERIFY(picker);
        QTest::keyClick(picker->Text1, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(picker.isNull(), 2000);
        QVERIFY(m.form->isEnabled());
        verifyIdle(*m.form);
    }
};

QTEST_MAIN(Form2Test)
#include "tst_form2.moc"
