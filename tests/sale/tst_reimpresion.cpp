#include "common/number_settings.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include "common/report_list.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString CAFE = "7891000000011";
const QString FEIJAO = "7891000000028";
const QString PAO = "7891000000035";
const QString MSG_SIN_VENTA = "Ainda não há venda registrada nesta sessão para reimprimir o recibo.";

// The counter after login, with the receipt layout of the user's choice.
class Caixa {
public:
    explicit Caixa(int receipt)
    {
        db.execute(QString("update Usuarios set PermisoCruce = %1").arg(receipt));
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the sale window did not become active");
        form.Text4 = "admin";
        form.Text3 = "05/03/2024 8:00:00";
    }

    void scan(const QString& code, const QString& quantity = {})
    {
        if (!quantity.isEmpty()) {
            ui(form).Check1->setChecked(true);
            typeKeys(ui(form).Text7, code);
            QTest::keyClick(ui(form).Text7, Qt::Key_Return);
            ui(form).Text8->selectAll();
            typeKeys(ui(form).Text8, quantity);
            QTest::keyClick(ui(form).Text8, Qt::Key_Return);
            ui(form).Check1->setChecked(false);
            return;
        }
        typeKeys(ui(form).Text7, code);
        QTest::keyClick(ui(form).Text7, Qt::Key_Return);
    }

    // Pays the sale on screen, in cash with an amount or by card.
    void pay(const QString& cash)
    {
        QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
        auto* dialog = qobject_cast<Form5*>(form.pago());
        QVERIFY(dialog);
        if (cash.isEmpty()) {
            QTest::keyClick(dialog->Command2, Qt::Key_Return);   // the keyboard pays at once
        } else {
            typeKeys(dialog->Text1, cash);
            QTest::keyClick(dialog->Text1, Qt::Key_Return);
            QTest::keyClick(dialog->Command1, Qt::Key_Return);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!form.pago(), 2000);
    }

    void reprint() { QTest::keyClick(ui(form).Text7, Qt::Key_F12); }

    const FakeReceiptPrinter::Document& lastPrinted() const { return fakes.printer.documents.last(); }

    TestDatabase db{{{product(CAFE, "Café Moído Pilão 500g", 18.9), product(FEIJAO, "Feijão Carioca nº 1", 8.49),
                      product(PAO, "Pão Francês kg", 15)}}};
    FakePlatform fakes{db.folder()};
    Form1 form{fakes.platform};
};

}   // namespace

class ReimpresionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    // A card sale's receipt holds nothing that is not stored: the reprint is
    // the same paper, line for line, in either layout.
    void lastCardSaleReprintedAsPrinted_data()
    {
        QTest::addColumn<int>("receipt");
        QTest::newRow("80 mm") << 80;
        QTest::newRow("58 mm") << 58;
    }

    void lastCardSaleReprintedAsPrinted()
    {
        QFETCH(int, receipt);
        Caixa caixa(receipt);
        caixa.scan(PAO);
        caixa.pay("20");   // an earlier sale, not the one reprinted
        caixa.fakes.clock.moment = caixa.fakes.clock.moment.addSecs(95);
        caixa.scan(CAFE);
        caixa.scan(FEIJAO, "3");
        caixa.scan(PAO, "0,75");
        caixa.pay({});
        QCOMPARE(caixa.fakes.printer.documents.size(), 2);
        const FakeReceiptPrinter::Document paid = caixa.lastPrinted();
        const QStringList stored = storedRows(caixa.db.folder());
        caixa.fakes.clock.moment = caixa.fakes.clock.moment.addSecs(600);

        caixa.reprint();
        QCOMPARE(caixa.fakes.printer.documents.size(), 3);
        const FakeReceiptPrinter::Document again = caixa.lastPrinted();
        QCOMPARE(again.paperWidthMm, receipt);
        QCOMPARE(again.texts(), paid.texts());
        QCOMPARE(again.lines, paid.lines);
        QVERIFY(again.texts().join('\n').contains("Total       R$ 55,62"));
        QVERIFY(again.texts().join('\n').contains("CARTÃO"));
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
        QCOMPARE(storedRows(caixa.db.folder()), stored);
        QVERIFY(ui(caixa.form).Text7->hasFocus());
    }

    // The amount handed over and the change are not kept: their lines print
    // with nothing after them, as for a cash sale paid without an amount.
    void cashSaleReprintedWithoutTenderedAndChange()
    {
        Caixa caixa(80);
        caixa.scan(CAFE);
        caixa.scan(CAFE);
        caixa.pay("50");
        const QStringList paid = caixa.lastPrinted().texts();
        QVERIFY(paid.contains("Efectivo    50"));
        caixa.scan(FEIJAO);   // a sale in progress stays as it is
        caixa.reprint();
        QStringList expected = paid;
        expected.replace(expected.indexOf("Efectivo    50"), "Efectivo    ");
        expected.replace(expected.indexOf("Vuelto      $ 12,20"), "Vuelto      $ ");
        QCOMPARE(caixa.lastPrinted().texts(), expected);
        QCOMPARE(ui(caixa.form).ListView1->rowCount(), 1);
        QCOMPARE(ui(caixa.form).Label8->text(), QString("R$ 8,49"));
    }

    void messagesWhenNothingIsReprinted_data()
    {
        QTest::addColumn<int>("receipt");
        QTest::addColumn<bool>("sale");
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("message");
        QTest::newRow("no sale yet") << 80 << false << QString() << MSG_SIN_VENTA;
        QTest::newRow("no layout chosen")
            << 0 << true << QString()
            << "O usuário admin não tem modelo de recibo escolhido (58 mm ou 80 mm); o recibo não foi reimpresso.";
        QTest::newRow("printer fails") << 58 << true << "o serviço de impressão não está respondendo"
                                       << "O recibo não foi reimpresso: o serviço de impressão não está respondendo.";
    }

    void messagesWhenNothingIsReprinted()
    {
        QFETCH(int, receipt);
        QFETCH(bool, sale);
        QFETCH(QString, failure);
        QFETCH(QString, message);
        Caixa caixa(receipt);
        if (sale) {
            caixa.scan(CAFE);
            caixa.pay({});
        }
        const qsizetype printed = caixa.fakes.printer.documents.size();
        caixa.fakes.printer.failure = failure;
        caixa.reprint();
        QCOMPARE(caixa.fakes.prompter.texts(), QStringList{message});
        QCOMPARE(caixa.fakes.printer.documents.size(), printed);
        QCOMPARE(caixa.db.count("Temporal"), sale ? 1 : 0);
        QVERIFY(ui(caixa.form).Text7->hasFocus());
    }
};

QTEST_MAIN(ReimpresionTest)
#include "tst_reimpresion.moc"
