#include "common/number_settings.h"
#include "common/report_list.h"
#include "dialogs/form10.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/other_program.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

namespace {

QList<NewProduct> catalogue()
{
    return {product("1", "Feijão Preto 1 kg", 8.9),    product("2", "AÇÚCAR Refinado 1 kg", 4.5),
            product("3", "Pão d'Água", 0.8),            product("4", "Leite 100% Integral", 5.2),
            product("5", "Detergente_Neutro 500 ml", 2.3), product("6", "Leite Integral 1 l", 5.9),
            product("7", "Arroz", 20),                  product("8", "arroz", 21),
            product("9", "Biscoito Arroz", 3)};
}

// A picker over a catalogue, whose target records what it is handed.
class Picker {
public:
    explicit Picker(const QList<NewProduct>& products = catalogue()) : database({products}), fakes(database.folder())
    {
        form = new Form10(fakes.platform, {[this](const QString& code) { chosen.append(code); },
                                           [this] { ++closings; }});
        form->show();
        if (!QTest::qWaitForWindowActive(form))
            qWarning("the picker did not become active");
    }
    ~Picker() { delete form.data(); }

    QStringList names() const
    {
        QStringList texts;
        const auto* model = form->List1->model();
        for (int r = 0; r < model->rowCount(); ++r)
            texts.append(model->index(r, 0).data().toString());
        return texts;
    }
    // Types the text and waits for the refresh that follows the pause in typing.
    void search(const QString& text)
    {
        form->Text1->clear();
        typeKeys(form->Text1, text);
        settle();
    }
    void settle() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(!form->busquedaPendiente(), 5000);
    }

    TestDatabase database;
    FakePlatform fakes;
    QPointer<Form10> form;
    QStringList chosen;
    int closings = 0;
};

Form10* openPicker()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* picker = qobject_cast<Form10*>(window); picker && picker->isVisible())
            return picker;
    }
    return nullptr;
}

}   // namespace

class Form10Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void opensEmpty()
    {
        Picker p;
        QCOMPARE(p.form->windowTitle(), QString("TENDUCA 1.0"));
        QCOMPARE(p.form->Text1->text(), QString());
        QCOMPARE(p.names(), QStringList());
        QVERIFY(p.form->Text1->hasFocus());
    }

    void searchesPartOfTheName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("three letters inside") << "ijã" << QStringList({"Feijão Preto 1 kg"});
        QTest::newRow("accented letters in other case") << "açú" << QStringList({"AÇÚCAR Refinado 1 kg"});
        QTest::newRow("apostrophe") << "d'Á" << QStringList({"Pão d'Água"});
        QTest::newRow("typed without accents") << "feijao" << QStringList({"Feijão Preto 1 kg"});
        QTest::newRow("capitals without accents") << "ACUCAR" << QStringList({"AÇÚCAR Refinado 1 kg"});
        QTest::newRow("words without accents, apostrophe") << "pao d'agua" << QStringList({"Pão d'Água"});
        QTest::newRow("percent matches itself") << "0%" << QStringList({"Leite 100% Integral"});
        QTest::newRow("underscore matches itself") << "e_n" << QStringList({"Detergente_Neutro 500 ml"});
        QTest::newRow("nothing matches") << "xyz" << QStringList();
    }
    void searchesPartOfTheName()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, listed);
        Picker p;
        p.search(typed);
        QCOMPARE(p.names(), listed);
        QCOMPARE(p.fakes.prompter.texts(), QStringList());
    }

    // The names searched at each typed letter are those of the catalogue as it
    // is then: what another program writes between two refreshes shows.
    void aChangeByAnotherProgramShowsAtTheNextRefresh_data()
    {
        QTest::addColumn<QByteArray>("change");
        QTest::addColumn<QStringList>("listed");

        QTest::newRow("added") << QByteArray("insert into Productos (CodigoProducto, NombreProducto) values ('10', "
                                             "'Leitão')")
                               << QStringList({"Leite 100% Integral", "Leite Integral 1 l", "Leitão"});
        QTest::newRow("renamed") << QByteArray("update Productos set NombreProducto = 'LEITE Desnatado' where "
                                               "CodigoProducto = '6'")
                                 << QStringList({"Leite 100% Integral", "LEITE Desnatado"});
        QTest::newRow("removed") << QByteArray("delete from Productos where CodigoProducto = '4'")
                                 << QStringList({"Leite Integral 1 l"});
    }
    void aChangeByAnotherProgramShowsAtTheNextRefresh()
    {
        QFETCH(QByteArray, change);
        QFETCH(QStringList, listed);
        Picker p;
        p.search("le");
        QCOMPARE(p.names(), QStringList({"Leite 100% Integral", "Leite Integral 1 l"}));
        QCOMPARE(OtherProgram(p.database.path()).execute(change.constData()), 0);
        p.search("lei");
        QCOMPARE(p.names(), listed);
    }

    // A name stored with a line break lists on one line and is chosen as listed.
    void aStoredLineBreakListsAsASpace()
    {
        Picker p({product("41", "Pão\nFrancês", 0.75), product("42", "Pão de Forma", 7)});
        p.search("franc");
        QCOMPARE(p.names(), QStringList({"Pão Francês"}));
        p.form->List1->setFocus();
        QTest::keyClick(p.form->List1, Qt::Key_Return);
        QCOMPARE(p.chosen, QStringList({"41"}));
    }

    void everyKeyReleaseRefreshes()
    {
        Picker p;
        QTest::keyClick(p.form->Text1, Qt::Key_Shift);   // changes nothing, still searches
        p.settle();
        QCOMPARE(p.names().size(), 9);
        typeKeys(p.form->Text1, "lei");
        p.settle();
        QCOMPARE(p.names().size(), 2);
        QTest::keyClick(p.form->Text1, Qt::Key_Backspace);
        p.settle();
        QCOMPARE(p.names().size(), 2);   // "le": both milks
        p.form->Text1->clear();
        QTest::keyClick(p.form->Text1, Qt::Key_Left);
        p.settle();
        QCOMPARE(p.names().size(), 9);
    }

    // Keys typed in a row refresh the list once, after the pause, to the list
    // of the whole text; a list that takes the keyboard first refreshes at once.
    void typingInARowRefreshesOnceAfterThePause_data()
    {
        QTest::addColumn<bool>("listTakesTheKeyboard");
        QTest::newRow("pause") << false;
        QTest::newRow("list focused before the pause") << true;
    }
    void typingInARowRefreshesOnceAfterThePause()
    {
        QFETCH(bool, listTakesTheKeyboard);
        Picker p;
        p.search("r");
        const QStringList before = p.names();
        QList<int> refreshes;   // the names listed at each refill
        connect(p.form->List1->model(), &QAbstractItemModel::modelReset, p.form,
                [&] { refreshes.append(p.form->List1->model()->rowCount()); });
        typeKeys(p.form->Text1, "oz");
        QVERIFY(p.form->busquedaPendiente());
        QCOMPARE(p.names(), before);   // nothing searched while typing goes on
        if (listTakesTheKeyboard)
            p.form->List1->setFocus();
        p.settle();
        const QStringList typed = p.names();
        if (listTakesTheKeyboard)
            QCOMPARE(p.form->nombreResaltado(), typed.first());
        p.form->Command1_Click();   // the same search run straight away
        QCOMPARE(typed, p.names());
        QCOMPARE(typed.size(), 3);
        QCOMPARE(refreshes, QList<int>({0, 3, 0, 3}));   // emptied and filled once per refresh
    }

    void listKeysMoveTheHighlightOnly()
    {
        Picker p;
        p.search("r");
        p.form->List1->setFocus();
        QCOMPARE(p.form->nombreResaltado(), p.names().first());
        QTest::keyClick(p.form->List1, Qt::Key_L);
        QVERIFY(p.form->nombreResaltado().startsWith("Leite"));
        const QString highlighted = p.form->nombreResaltado();
        for (const char* key : {" ", "-", "%"})
            QTest::keyClick(p.form->List1, key[0]);
        QCOMPARE(p.form->nombreResaltado(), highlighted);
        QTest::keyClick(p.form->List1, Qt::Key_L);   // the next name with the letter
        QVERIFY(p.form->nombreResaltado().startsWith("Leite"));
        QVERIFY(p.form->nombreResaltado() != highlighted);
        QCOMPARE(p.chosen, QStringList());
        QVERIFY(p.form->isVisible());
    }

    void enterHandsOverTheFirstProductOfTheName_data()
    {
        QTest::addColumn<bool>("doubleClick");
        QTest::newRow("Enter") << false;
        QTest::newRow("double click") << true;
    }
    void enterHandsOverTheFirstProductOfTheName()
    {
        QFETCH(bool, doubleClick);
        Picker p;
        p.search("arroz");
        QCOMPARE(p.names().size(), 3);
        p.form->List1->setFocus();
        QTest::keyClick(p.form->List1, Qt::Key_A);
        QTest::keyClick(p.form->List1, Qt::Key_A);   // "arroz" or "Arroz", whichever lists second
        QVERIFY(p.form->nombreResaltado().compare("arroz", Qt::CaseInsensitive) == 0);

        // The first product named so, letter case aside, in name order.
        Connection connection(p.database.folder());
        RecordSet byName(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
        while (byName.text("NombreProducto").compare("arroz", Qt::CaseInsensitive) != 0)
            byName.moveNext();
        const QString first = byName.text("CodigoProducto");

        if (doubleClick) {
            const QPoint row = p.form->List1->visualRect(p.form->List1->currentIndex()).center();
            QTest::mouseClick(p.form->List1->viewport(), Qt::LeftButton, {}, row);   // a double click's first press
            QTest::mouseDClick(p.form->List1->viewport(), Qt::LeftButton, {}, row);
        } else {
            QTest::keyClick(p.form->List1, Qt::Key_Return);
        }
        QCOMPARE(p.chosen, QStringList({first}));
        QTRY_VERIFY_WITH_TIMEOUT(!p.form->isVisible(), 2000);
        QCOMPARE(p.closings, 1);
    }

    void enterWithoutAHighlightStaysOpen()
    {
        Picker p;
        p.search("xyz");
        QTest::keyClick(p.form->List1, Qt::Key_Return);
        p.search("Feij");
        p.form->List1->clearSelection();
        QTest::keyClick(p.form->List1, Qt::Key_Return);
        QCOMPARE(p.chosen, QStringList());
        QVERIFY(p.form->isVisible());
        QCOMPARE(p.closings, 0);
    }

    void escapeClosesFromBothBoxes_data()
    {
        QTest::addColumn<bool>("fromList");
        QTest::newRow("search box") << false;
        QTest::newRow("list") << true;
    }
    void escapeClosesFromBothBoxes()
    {
        QFETCH(bool, fromList);
        Picker p;
        p.search("lei");
        QTest::keyClick(fromList ? static_cast<QWidget*>(p.form->List1) : p.form->Text1, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!p.form->isVisible(), 2000);
        QCOMPARE(p.chosen, QStringList());
        QCOMPARE(p.closings, 1);
    }

    void saleWindowTakesTheChosenCodeAndAsksForTheQuantity()
    {
        TestDatabase database({catalogue()});
        FakePlatform fakes(database.folder());
        Form1 sale(fakes.platform);
        sale.show();
        QVERIFY(QTest::qWaitForWindowActive(&sale));
        QTest::mouseClick(ui(sale).Command3, Qt::LeftButton);
        QPointer<Form10> picker = openPicker();
        QVERIFY(picker);
        QCOMPARE(picker->objectName(), QString("Form11"));
        QVERIFY(!sale.isEnabled());
        QVERIFY(waitForKeyboard(picker));
        typeKeys(picker->Text1, "ijã");
        picker->List1->setFocus();   // before the pause: the list refreshes at once
        QTest::keyClick(picker->List1, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(picker.isNull(), 2000);

        QVERIFY(sale.isEnabled());
        QCOMPARE(ui(sale).Text7->text(), QString("1"));
        QVERIFY(!ui(sale).Text7->isEnabled());
        QVERIFY(ui(sale).Text8->isEnabled());
        QCOMPARE(ui(sale).Text8->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(ui(sale).Text8->hasFocus(), 2000);
        QVERIFY(ui(sale).Check1->isChecked());
        QVERIFY(!ui(sale).Check1->isEnabled());
        QCOMPARE(ui(sale).ListView1->rowCount(), 0);   // nothing added until the quantity is confirmed

        typeKeys(ui(sale).Text8, "3");
        QTest::keyClick(ui(sale).Text8, Qt::Key_Return);
        QCOMPARE(ui(sale).ListView1->rowCount(), 1);
        QCOMPARE(ui(sale).ListView1->text(0, 1), QString("1"));
        QCOMPARE(ui(sale).ListView1->text(0, 3), QString("3"));
    }

    void saleWindowGetsTheCodeBoxBackWithoutAChoice()
    {
        TestDatabase database({catalogue()});
        FakePlatform fakes(database.folder());
        Form1 sale(fakes.platform);
        sale.show();
        QVERIFY(QTest::qWaitForWindowActive(&sale));
        QTest::mouseClick(ui(sale).Command3, Qt::LeftButton);
        QPointer<Form10> picker = openPicker();
        QVERIFY(picker);
        QVERIFY(waitForKeyboard(picker));
        QTest::keyClick(picker->Text1, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(picker.isNull(), 2000);
        QVERIFY(sale.isVisible());
        QVERIFY(sale.isEnabled());
        QVERIFY(ui(sale).Text7->isEnabled());
        QCOMPARE(ui(sale).Text7->text(), QString());
        QTRY_VERIFY_WITH_TIMEOUT(ui(sale).Text7->hasFocus(), 2000);
        QVERIFY(!ui(sale).Check1->isChecked());
        QVERIFY(ui(sale).Check1->isEnabled());
    }
};

QTEST_MAIN(Form10Test)
#include "tst_form10.moc"
