#include "common/number_settings.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/test_database.h"
#include "users/form4.h"
#include "users/form8.h"

#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// User maintenance over a database of its own, shown like from the menu.
class Users {
public:
    Users() : fakes_(database.folder())
    {
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the user window did not become active");
    }

    void addUser(const QString& name, const QString& password, double receipt)
    {
        database.execute(QString("INSERT INTO Usuarios (NombreUsuario, \"Contraseña\", PermisoCruce) "
                                 "VALUES ('%1', '%2', %3)")
                             .arg(name, password)
                             .arg(receipt));
    }
    void lookUp(const QString& name)
    {
        typeKeys(form.Text1, name);
        QTest::keyClick(form.Text1, Qt::Key_Return);
    }
    void choose(const QString& item)
    {
        const int index = form.Combo1->findText(item);
        QVERIFY2(index >= 0, qPrintable(item));
        form.Combo1->setCurrentIndex(index);
        emit form.Combo1->activated(index);
    }
    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The stored rows as "name/password/receipt", in name order.
    QStringList stored() const
    {
        const QString rows = database
                                 .scalar("SELECT group_concat(NombreUsuario || '/' || \"Contraseña\" || '/' || "
                                         "printf('%g', PermisoCruce), ';') FROM (SELECT * FROM Usuarios ORDER BY NombreUsuario)")
                                 .toString();
        return rows.split(';');
    }
    QStringList messages() const { return fakes_.prompter.texts(); }
    FakePrompter& prompter() { return fakes_.prompter; }
    Platform& platform() { return fakes_.platform; }

    TestDatabase database;

private:
    FakePlatform fakes_;

public:
    Form8 form{fakes_.platform};
};

void verifyNameEntry(const Form8& form)
{
    QVERIFY(form.Text1->isEnabled());
    QVERIFY(form.Text1->hasFocus());
    QCOMPARE(form.Text1->text(), QString());
    QVERIFY(!form.Text2->isEnabled());
    QCOMPARE(form.Text2->text(), QString());
    QVERIFY(!form.Combo1->isEnabled());
    QVERIFY(!form.Command4->isEnabled());
}

}   // namespace

class Form8Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void opensAtNameEntry()
    {
        Users users;
        const Form8& form = users.form;
        QCOMPARE(form.windowTitle(), QString("TENDUCA 1.0"));
        verifyControls(&form, {
            {"Label1", 0, 240, 6000, 495, "ALTERAR SENHA", 14},
            {"Label2", 360, 960, 2295, 375, "NOME USUÁRIO"},
            {"Text1", 2760, 960, 2895, 375},
            {"Label3", 360, 1500, 2295, 375, "SENHA"},
            {"Text2", 2760, 1500, 2895, 375},
            {"Combo1", 2760, 2040, 2895, 375},
            {"Command3", 360, 2760, 1695, 495, "Salvar"},
            {"Command4", 2160, 2760, 1695, 495, "Excluir"},
            {"Command5", 3960, 2760, 1695, 495, "Cancelar"},
        });
        QStringList items;
        for (int item = 0; item < form.Combo1->count(); ++item)
            items.append(form.Combo1->itemText(item));
        QCOMPARE(items, QStringList({"No Imprimir", "Imprimir 58mm", "Imprimir 80mm"}));
        QCOMPARE(form.Combo1->currentIndex(), -1);
        QVERIFY(form.Combo1->isEnabled());
        QCOMPARE(form.Text3, QString("1"));
        QVERIFY(form.Text1->isEnabled() && form.Text1->hasFocus());
        QVERIFY(!form.Text2->isEnabled());
        QCOMPARE(form.Text2->echoMode(), QLineEdit::Normal);
        QVERIFY(form.Command4->isVisible());
        QVERIFY(!form.Command4->isEnabled());
    }

    void boxesTakeLowercaseAndDigitsOnly()
    {
        Users users;
        typeKeys(users.form.Text1, "Ana maria-é7");
        QCOMPARE(users.form.Text1->text(), QString("namaria7"));
        QGuiApplication::clipboard()->setText("X y_z9");
        users.form.Text1->paste();
        QCOMPARE(users.form.Text1->text(), QString("namaria7yz9"));
        QTest::keyClick(users.form.Text1, Qt::Key_Return);
        typeKeys(users.form.Text2, "Se nha1");
        QGuiApplication::clipboard()->setText("Ç2!b");
        users.form.Text2->paste();
        QCOMPARE(users.form.Text2->text(), QString("enha12b"));
    }

    void emptyNameOrPassword()
    {
        Users users;
        QTest::keyClick(users.form.Text1, Qt::Key_Return);
        QCOMPARE(users.messages(), QStringList{"Você deve inserir o nome do usuário"});
        QVERIFY(users.form.Text1->isEnabled());

        users.prompter().clear();
        users.lookUp("caixa");
        users.click(users.form.Command3);
        QCOMPARE(users.messages(), QStringList{"Todos os dados obrigatórios devem ser preenchidos para que seja salvo"});
        QCOMPARE(users.stored(), QStringList{"admin/admin/0"});
        QVERIFY(users.form.Text2->isEnabled());
    }

    void newUserCanLogInAtOnce()
    {
        Users users;
        users.lookUp("caixa1");
        const Form8& form = users.form;
        QVERIFY(!form.Text1->isEnabled());
        QVERIFY(form.Text2->isEnabled() && form.Text2->hasFocus());
        QCOMPARE(form.Text2->text(), QString());
        QVERIFY(form.Combo1->isEnabled());
        QVERIFY(!form.m);
        QVERIFY(!form.Command4->isEnabled());

        typeKeys(form.Text2, "s3nha");
        users.choose("Imprimir 80mm");
        QCOMPARE(form.Text3, QString("80"));
        users.click(form.Command3);
        QCOMPARE(users.stored(), QStringList({"admin/admin/0", "caixa1/s3nha/80"}));
        QVERIFY(users.messages().isEmpty());
        verifyNameEntry(form);
        QCOMPARE(form.Combo1->currentText(), QString("Imprimir 80mm"));

        Form1 sale(users.platform());
        Form4 login(users.platform(), sale);
        login.show();
        typeKeys(login.Text1, "caixa1");
        typeKeys(login.Text2, "s3nha");
        QTest::keyClick(login.Text2, Qt::Key_Return);
        QCOMPARE(sale.Text4, QString("caixa1"));
        QVERIFY(sale.isVisible());
        QVERIFY(users.messages().isEmpty());
    }

    void receiptCodeKeptFromTheWindow_data()
    {
        QTest::addColumn<QString>("loadedFirst");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no choice since the window opened") << QString() << "novo/abc/1";
        QTest::newRow("the last user loaded") << "loja" << "novo/abc/58";
    }
    void receiptCodeKeptFromTheWindow()
    {
        QFETCH(QString, loadedFirst);
        QFETCH(QString, saved);
        Users users;
        users.addUser("loja", "x1", 58);
        if (!loadedFirst.isEmpty()) {
            users.lookUp(loadedFirst);
            QCOMPARE(users.form.Combo1->currentText(), QString("Imprimir 58mm"));
            users.click(users.form.Command5);
            verifyNameEntry(users.form);
        }
        users.lookUp("novo");
        typeKeys(users.form.Text2, "abc");
        users.click(users.form.Command3);
        QVERIFY(users.stored().contains(saved));
    }

    void changesOnlyPasswordAndReceipt()
    {
        Users users;
        users.addUser("caixa", "velha", 80);
        users.addUser("gerente", "g1", 0);
        users.lookUp("caixa");
        const Form8& form = users.form;
        QVERIFY(form.m);
        QVERIFY(form.Command4->isEnabled());
        QCOMPARE(form.Text2->text(), QString("velha"));
        QCOMPARE(form.Combo1->currentText(), QString("Imprimir 80mm"));
        QCOMPARE(form.Text3, QString("80"));
        QVERIFY(form.Text2->hasFocus());

        form.Text2->clear();
        typeKeys(form.Text2, "nova");
        users.choose("No Imprimir");
        users.click(form.Command3);
        QCOMPARE(users.stored(), QStringList({"admin/admin/0", "caixa/nova/0", "gerente/g1/0"}));
        verifyNameEntry(form);
    }

    void unknownReceiptCodeLeavesTheChoice()
    {
        Users users;
        users.addUser("velho", "v", 3);
        users.lookUp("admin");
        QCOMPARE(users.form.Combo1->currentText(), QString("No Imprimir"));
        users.click(users.form.Command5);
        users.lookUp("velho");
        QCOMPARE(users.form.Combo1->currentText(), QString("No Imprimir"));
        QCOMPARE(users.form.Text3, QString("0"));
        QCOMPARE(users.form.Text2->text(), QString("v"));
    }

    void adminIsNeverDeleted()
    {
        Users users;
        users.lookUp("admin");
        users.click(users.form.Command4);
        QCOMPARE(users.messages(), QStringList{"A conta do administrador não pode ser excluída"});
        QCOMPARE(users.stored(), QStringList{"admin/admin/0"});
        QVERIFY(!users.form.Text1->isEnabled());
        QCOMPARE(users.form.Text1->text(), QString("admin"));
    }

    void deleteAsksFirst()
    {
        Users users;
        users.addUser("saiu", "s", 58);
        users.lookUp("saiu");
        users.prompter().answers.enqueue(false);
        users.click(users.form.Command4);
        QCOMPARE(users.prompter().messages.size(), 1);
        QCOMPARE(users.prompter().messages[0].kind, FakePrompter::Kind::YesNo);
        QCOMPARE(users.prompter().messages[0].text,
                 QString("Você tem certeza que deseja excluir o registro deste Usuário?"));
        QCOMPARE(users.prompter().messages[0].title, QString("Confirme Eliminación"));
        QCOMPARE(users.stored(), QStringList({"admin/admin/0", "saiu/s/58"}));
        QCOMPARE(users.form.Text1->text(), QString("saiu"));
        QCOMPARE(users.form.Text2->text(), QString("s"));
        QVERIFY(users.form.Command4->isEnabled());

        users.prompter().answers.enqueue(true);
        users.click(users.form.Command4);
        QCOMPARE(users.stored(), QStringList{"admin/admin/0"});
        verifyNameEntry(users.form);
    }

    void cancelReturnsToNameEntry()
    {
        Users users;
        users.lookUp("admin");
        users.click(users.form.Command5);
        verifyNameEntry(users.form);
        QCOMPARE(users.stored(), QStringList{"admin/admin/0"});
        QVERIFY(users.messages().isEmpty());
    }
};

QTEST_MAIN(Form8Test)
#include "tst_form8.moc"
