#include "common/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

struct SeenBox {
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
};

// Looks at the box the prompter opens, then presses one of its keys.
void answerNextBox(SeenBox& seen, Qt::Key key)
{
    QTimer::singleShot(0, [&seen, key] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        for (QAbstractButton* button : box->buttons())
            seen.buttons.append(button->text());
        seen.buttons.sort();
        seen.defaultButton = box->defaultButton() ? box->defaultButton()->text() : QString();
        QTest::keyClick(box, key);
    });
}

}   // namespace

class PrompterTest : public QObject {
    Q_OBJECT

private slots:
    void questionsSpeakPortugueseAndDefaultToNo()
    {
        MessageBoxPrompter prompter;
        SeenBox seen;
        answerNextBox(seen, Qt::Key_Return);
        QVERIFY(!prompter.yesNo("Deseja sair?", "Confirmação"));
        QCOMPARE(seen.title, QString("Confirmação"));
        QCOMPARE(seen.buttons, QStringList({"Não", "Sim"}));
        QCOMPARE(seen.defaultButton, QString("Não"));   // an Enter meant for the code box confirms nothing

        SeenBox escaped;
        answerNextBox(escaped, Qt::Key_Escape);
        QVERIFY(!prompter.yesNo("Deseja sair?", "Confirmação"));
        QCOMPARE(escaped.buttons.size(), 2);
    }

    void messagesKeepCarriageReturnsAsLineBreaks()
    {
        MessageBoxPrompter prompter;
        SeenBox seen;
        answerNextBox(seen, Qt::Key_Return);
        prompter.exclamation("ERROR : \rO programa já está em execução", "Tenduca 1.0 - Erro de entrada");
        QCOMPARE(seen.text, QString("ERROR : \nO programa já está em execução"));
        QCOMPARE(seen.title, QString("Tenduca 1.0 - Erro de entrada"));
    }

    void theKeyboardGoesBackWhereItWas()
    {
        QWidget window;
        auto* box = new QLineEdit(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        box->setFocus();
        MessageBoxPrompter prompter;
        SeenBox seen;
        answerNextBox(seen, Qt::Key_Return);
        prompter.ok("O valor inserido deve ser igual ou superior ao total a pagar");
        QCOMPARE(seen.buttons, QStringList({"OK"}));
        QTRY_VERIFY(box->hasFocus());
        QTest::keyClicks(QApplication::focusWidget(), "100");
        QCOMPARE(box->text(), QString("100"));
    }
};

QTEST_MAIN(PrompterTest)
#include "tst_prompter.moc"
