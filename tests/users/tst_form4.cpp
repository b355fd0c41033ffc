#include "common/number_settings.h"
#include "common/report_list.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/sale_controls.h"
#include "support/test_database.h"
#include "users/form4.h"
#include "users/instance_lock.h"

#include <QLineEdit>
#include <QStyle>
#include <QtTest>

namespace {

// What the sale window held at the moment it was shown.
class ShowSpy : public QObject {
public:
    explicit ShowSpy(Form1& form) : form_(form) { form.installEventFilter(this); }
    bool shown = false;
    QString userAtShow;
    QString startAtShow;
    int columnsAtShow = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !shown) {
            shown = true;
            userAtShow = form_.Text4;
            startAtShow = form_.Text3;
            columnsAtShow = ui(form_).ListView1->columnCount();
        }
        return false;
    }

private:
    Form1& form_;
};

class Login {
public:
    Login() : fakes_(database.folder())
    {
        database.execute("INSERT INTO Usuarios VALUES ('maria', 'm4ria', 0), ('joao', '111', 0), "
                         "('joao', '222', 0), ('Pedro', 'pedro', 0), (NULL, 'x', 0)");
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the login window did not become active");
    }

    void enter(QLineEdit* box) { QTest::keyClick(box, Qt::Key_Return); }
    FakePrompter& prompter() { return fakes_.prompter; }
    FakeClock& clock() { return fakes_.clock; }
    Platform& platform() { return fakes_.platform; }

    TestDatabase database;

private:
    FakePlatform fakes_;

public:
    Form1 principal{fakes_.platform};
    Form4 form{fakes_.platform, principal};
};

}   // namespace

class Form4Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void boxesTakeLowercaseLettersAndDigitsOnly()
    {
        Login login;
        for (QLineEdit* box : {login.form.Text1, login.form.Text2}) {
            typeKeys(box, QString::fromUtf8("A é-a7b_Ç9"));
            QCOMPARE(box->text(), QString("a7b9"));
            QTest::keyClick(box, Qt::Key_Backspace);
            QCOMPARE(box->text(), QString("a7b"));
        }
        QCOMPARE(login.form.Text2->echoMode(), QLineEdit::Password);
        QCOMPARE(login.form.Text2->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, login.form.Text2),
                 int(u'*'));
        QCOMPARE(login.form.windowTitle(), QString("TENDUCA 1.0"));
        QVERIFY(login.form.Text1->hasFocus());
        QTest::keyClick(login.form.Text1, Qt::Key_Tab);
        QVERIFY(login.form.Text2->hasFocus());
    }

    void checksTheNameAndThePassword_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("enterInName");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("nameAfter");
        QTest::addColumn<QString>("passwordAfter");

        const QString noName = "Você deve inserir seu nome de usuário";
        const QString noPassword = "Você deve inserir sua senha";
        const QString wrongPassword = "A senha está incorreta";
        const QString unknown = "O nome de usuário inserido está incorreto";
        QTest::newRow("no name") << "" << "abc" << false << noName << "name" << "" << "abc";
        QTest::newRow("no password") << "admin" << "" << true << noPassword << "password" << "admin" << "";
        QTest::newRow("wrong password") << "admin" << "adm1n" << false << wrongPassword << "password" << "admin" << "";
        QTest::newRow("unknown name") << "ana" << "123" << false << unknown << "name" << "ana" << "123";
        QTest::newRow("first of two rows decides") << "joao" << "222" << false << wrongPassword << "password" << "joao"
                                                  << "";
        QTest::newRow("uppercase cannot be typed") << "Pedro" << "pedro" << false << unknown << "name" << "edro"
                                                  << "pedro";
        QTest::newRow("admin") << "admin" << "admin" << false << "" << "" << "admin" << "admin";
        QTest::newRow("first of two rows admits") << "joao" << "111" << false << "" << "" << "joao" << "111";
        QTest::newRow("enter in the name box runs the whole check") << "maria" << "m4ria" << true << "" << ""
                                                                    << "maria" << "m4ria";
    }

    void checksTheNameAndThePassword()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, enterInName);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(QString, nameAfter);
        QFETCH(QString, passwordAfter);

        Login login;
        ShowSpy spy(login.principal);
        typeKeys(login.form.Text1, name);
        typeKeys(login.form.Text2, password);
        login.enter(enterInName ? login.form.Text1 : login.form.Text2);

        QCOMPARE(login.form.Text1->text(), nameAfter);
        QCOMPARE(login.form.Text2->text(), passwordAfter);
        if (message.isEmpty()) {
            QVERIFY(login.prompter().messages.isEmpty());
            QVERIFY(login.form.isHidden());
            QVERIFY(login.principal.isVisible());
            QVERIFY(spy.shown);
            QCOMPARE(spy.columnsAtShow, 8);   // its load had run
            QCOMPARE(spy.userAtShow, QString());
            QCOMPARE(spy.startAtShow, QString());
            QCOMPARE(login.principal.Text4, name);
            QCOMPARE(login.principal.Text3, QString("05/03/2024 8:15:02"));
        } else {
            QCOMPARE(login.prompter().texts(), QStringList{message});
            QCOMPARE(login.prompter().messages[0].kind, FakePrompter::Kind::Ok);
            QVERIFY(login.form.isVisible());
            QVERIFY(!spy.shown);
            QVERIFY((focus == "name" ? login.form.Text1 : login.form.Text2)->hasFocus());
        }
    }

    void noUsersChangesNothing()
    {
        Login login;
        login.database.execute("DELETE FROM Usuarios");
        typeKeys(login.form.Text1, "admin");
        typeKeys(login.form.Text2, "admin");
        login.enter(login.form.Text2);
        QVERIFY(login.prompter().messages.isEmpty());
        QVERIFY(login.form.isVisible());
        QVERIFY(!login.principal.isVisible());
        QCOMPARE(login.form.Text1->text(), QString("admin"));
        QCOMPARE(login.form.Text2->text(), QString("admin"));
    }

    void aDatabaseFailureLetsNobodyIn()
    {
        Login login;
        QFile::remove(login.database.path());
        typeKeys(login.form.Text1, "admin");
        typeKeys(login.form.Text2, "admin");
        login.enter(login.form.Text2);
        QCOMPARE(login.prompter().messages.size(), 1);
        QCOMPARE(login.prompter().messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY(login.prompter().last().contains("bd1"));
        QVERIFY(login.form.isVisible());
        QVERIFY(!login.principal.isVisible());
    }

    void aSecondCopyIsRefused()
    {
        Login login;
        InstanceLock first(login.database.folder());
        QCOMPARE(first.status(), InstanceLock::Status::Acquired);
        QVERIFY(login.form.Form_Load(first));
        QVERIFY(login.prompter().messages.isEmpty());

        InstanceLock second(login.database.folder());
        QCOMPARE(second.status(), InstanceLock::Status::AlreadyRunning);
        QVERIFY(!login.form.Form_Load(second));
        QCOMPARE(login.prompter().messages.size(), 1);
        QCOMPARE(login.prompter().messages[0].kind, FakePrompter::Kind::Exclamation);
        QCOMPARE(login.prompter().messages[0].text, QString("ERROR : \rO programa já está em execução"));
        QCOMPARE(login.prompter().messages[0].title, QString("Tenduca 1.0 - Erro de entrada"));
        QCOMPARE(first.status(), InstanceLock::Status::Acquired);
        QVERIFY(QFile::exists(first.path()));
    }
};

QTEST_MAIN(Form4Test)
#include "tst_form4.moc"
