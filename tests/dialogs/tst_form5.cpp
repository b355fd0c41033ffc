#include "common/br_code.h"
#include "common/number_settings.h"
#include "common/numbers.h"
#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/qr_reader.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString ARROZ = "7891000000011";
const QString FEIJAO = "7891000000028";
const QString BANANA = "7895000000012";
const QString PAO = "7894000000015";
const QString QUEIJO = "7893000000016";
constexpr int CLICK_GUARD_MS = 500;
const QString MSG_DECIMAIS = "O valor inserido deve ter no máximo dois dígitos depois da vírgula.";
const QString MSG_VALOR_MENOR = "O valor inserido deve ser igual ou superior ao total a pagar";
const QString MSG_VALOR_GRANDE = "O valor inserido é alto demais. Digite no máximo 12 dígitos antes da vírgula.";
const QString MSG_VALOR_INVALIDO =
    "O valor inserido não é um número válido. Digite o valor pago pelo cliente, por exemplo 50 ou 50,25.";

// The counter after login, with a sale of 12,50 on screen: two bags of rice.
class Caixa {
public:
    explicit Caixa(int receipt = 0, QSize screen = QSize(1024, 768))
        : fakes(db.folder())
    {
        if (receipt)
            db.execute(QString("update Usuarios set PermisoCruce = %1").arg(receipt));
        fakes.screen.pixels = screen;
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("the sale window did not become active");
        form.Text4 = "admin";
        form.Text3 = "05/03/2024 8:00:00";
        scan(ARROZ);
        scan(ARROZ);
    }

    void scan(const QString& code)
    {
        typeKeys(ui(form).Text7, code);
        QTest::keyClick(ui(form).Text7, Qt::Key_Return);
    }

    Form5* pagar()
    {
        QTest::mouseClick(ui(form).Command1, Qt::LeftButton);
        auto* dialog = qobject_cast<Form5*>(form.pago());
        if (dialog && !waitForKeyboard(dialog))
            qWarning("the payment dialog did not become active");
        return dialog;
    }

    void typeAmount(Form5* dialog, const QString& amount)
    {
        typeKeys(dialog->Text1, amount);
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
    }

    // A mouse click on a button of the dialog, as a hand does once the
    // dialog has been up a moment: a payment button takes no click before.
    static void click(QPushButton* button)
    {
        QTest::qWait(CLICK_GUARD_MS + 50);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // With "Quantidade Manual": a quantity of a code onto the sale, or off it.
    void enter(const QString& code, const QString& quantity, bool deduct)
    {
        if (!ui(form).Check1->isChecked())
            ui(form).Check1->click();
        if (deduct)
            QTest::keyClick(ui(form).Text7, Qt::Key_F2);
        scan(code);
        typeKeys(ui(form).Text8, quantity);
        QTest::keyClick(ui(form).Text8, Qt::Key_Return);
        if (deduct)
            QTest::keyClick(ui(form).Text7, Qt::Key_F1);
    }

    int linesStored() const { return db.count("Temporal"); }
    double cashTaken() const { return db.scalar("select efectivo from TipoPago").toDouble(); }

    TestDatabase db{{{product(ARROZ, "Arroz Tipo 1 5 kg", 6.25, 10, 0, 4), product(FEIJAO, "Feijão", 8, 10),
                      product(BANANA, "Banana Prata kg", 5.99, 100, 0, 3.1), product(PAO, "Pão Francês", 0.75),
                      product(QUEIJO, "Queijo Minas kg", 2.01)}}};
    FakePlatform fakes;
    Form1 form{fakes.platform};
};

// The sale window as it was before "PAGAR", usable again and waiting for a code.
void verifySaleBack(const Caixa& caixa, const QStringList& firstRow)
{
    QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
    QVERIFY(caixa.form.isEnabled());
    QVERIFY(ui(caixa.form).Frame2->isEnabled());
    QCOMPARE(ui(caixa.form).ListView1->row(0), firstRow);
    QCOMPARE(ui(caixa.form).Label8->text(), QString("R$ 12,5"));
    QCOMPARE(caixa.form.venta().totalAPagar, QString("12,5"));
    QVERIFY(ui(caixa.form).Text7->hasFocus());
}

// Recorded and cleared for the next customer.
void verifySaleRecorded(const Caixa& caixa)
{
    QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
    QCOMPARE(caixa.linesStored(), 1);
    QCOMPARE(ui(caixa.form).ListView1->rowCount(), 0);
    QVERIFY(caixa.form.venta().isEmpty());
    QCOMPARE(ui(caixa.form).Label8->text(), QString("R$ "));
    QVERIFY(caixa.form.isEnabled());
    QVERIFY(ui(caixa.form).Frame2->isEnabled());
    QVERIFY(ui(caixa.form).Text7->hasFocus());
}

const QStringList ROW = {"1", ARROZ, "Arroz Tipo 1 5 kg", "2", "6,25", "12,5", "0", "Geral"};

const PixSettings PIX_LOJA{"123e4567-e12b-12d1-a456-426655440000", "Mercadinho São João", "Goiânia"};

// The Pix view of the dialog, with the shop's key, opened with Alt+P as the cashier does.
Form5* pixView(Caixa& caixa)
{
    caixa.fakes.platform.pix = PIX_LOJA;
    Form5* dialog = caixa.pagar();
    QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);   // a mnemonic presses its button a moment later
    if (!QTest::qWaitFor([dialog] { return !dialog->FramePix->isHidden(); }, 2000))
        qWarning("Alt+P did not open the Pix view");
    return dialog;
}

// The transaction id of the test clock's moment at till 1, and the code of R$ 12,50 with it.
const QString TRANSACAO = "CX0120240305081502000";
QByteArray pixPayload()
{
    return brCodePayload({PIX_LOJA.key, PIX_LOJA.name, PIX_LOJA.city, 1250, TRANSACAO});
}

}   // namespace

class Form5Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void opensFreshOverADisabledSaleWindow()
    {
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("TENDUCA 1.0"));
        verifyControls(dialog, {{"Label1", 240, 240, 2055, 375, "Total a pagar"},
                                {"Label2", 2400, 120, 2775, 615, "R$ 12,5", 18},
                                {"Label3", 240, 960, 2055, 375, "Paga com     R$"},
                                {"Text1", 2400, 840, 2775, 615, {}, 18},
                                {"Label4", 240, 1680, 2055, 375, "Seu troco é  R$"},
                                {"Label5", 2400, 1560, 2775, 615, {}, 18},
                                {"Command1", 240, 2520, 1575, 735, "DINHEIRO"},
                                {"Command2", 1920, 2520, 1575, 735, "CARTÃO"},
                                {"Command3", 3600, 2520, 1575, 735, "VOLTAR"}});
        QCOMPARE(dialog->Text1->text(), QString());
        QVERIFY(!dialog->Text1->isReadOnly());
        QCOMPARE(dialog->Label5->text(), QString());
        QVERIFY(dialog->Command1->isEnabled());
        QVERIFY(dialog->Command2->isEnabled());
        QVERIFY(dialog->Text1->hasFocus());
        QVERIFY(!caixa.form.isEnabled());
        QVERIFY(!ui(caixa.form).Frame2->isEnabled());

        // Never a second dialog, and the sale cannot change meanwhile.
        caixa.form.Command1_Click();
        QCOMPARE(caixa.form.pago(), dialog);
        caixa.scan(FEIJAO);
        QCOMPARE(ui(caixa.form).ListView1->rowCount(), 1);
    }

    void emptyListOpensNothing()
    {
        Caixa caixa;
        caixa.form.Command2_Click();   // "CANCELAR"
        QVERIFY(!caixa.pagar());
        QCOMPARE(caixa.fakes.prompter.last(), QString("A lista de produtos a serem vendidos está vazia"));
        QVERIFY(caixa.form.isEnabled());
    }

    void keyFilterAcceptsDigitsAndComma()
    {
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        typeKeys(dialog->Text1, "1a.2-,5 ");
        QCOMPARE(dialog->Text1->text(), QString("12,5"));
        dialog->Text1->clear();
        QGuiApplication::clipboard()->setText("R$ 20.00");
        dialog->Text1->paste();
        QCOMPARE(dialog->Text1->text(), QString("2000"));
    }

    void enterWithNoAmountPaysCashAtOnce()
    {
        Caixa caixa;
        caixa.form.Text11 = "antes";
        caixa.form.Text12 = "antes";
        caixa.typeAmount(caixa.pagar(), "");
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("EFECTIVO"));
        QCOMPARE(caixa.form.Text11, QString());
        QCOMPARE(caixa.form.Text12, QString());
        QCOMPARE(caixa.cashTaken(), 12.5);
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
    }

    void changeShown_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("change");
        QTest::newRow("exact") << "12,5" << "0";
        QTest::newRow("0,50 above") << "13" << "0,5";
        QTest::newRow("12,50 above") << "25" << "12,50";
        QTest::newRow("1 above") << "13,50" << "1,00";
        QTest::newRow("grouped") << "1012,5" << "1.000,00";
        QTest::newRow("in whole cents") << "12,96" << "0,46";
        QTest::newRow("twelve digits") << "999999999999" << "999.999.999.986,50";
        QTest::newRow("the largest amount") << "999999999999,99" << "999.999.999.987,49";
    }

    void changeShown()
    {
        QFETCH(QString, amount);
        QFETCH(QString, change);
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        caixa.typeAmount(dialog, amount);
        QCOMPARE(dialog->Label5->text(), change);
        // Shown whole, never cut.
        QVERIFY(QFontMetrics(dialog->Label5->font()).horizontalAdvance(change) <= dialog->Label5->contentsRect().width());
        QVERIFY(dialog->Text1->isReadOnly());
        QVERIFY(dialog->Command1->isEnabled());
        QVERIFY(!dialog->Command2->isEnabled());
        QVERIFY(dialog->Command1->hasFocus());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
        typeKeys(dialog->Text1, "9");
        QCOMPARE(dialog->Text1->text(), amount);
        QCOMPARE(caixa.linesStored(), 0);

        QTest::keyClick(dialog->Command1, Qt::Key_Return);   // Enter on "DINHEIRO"
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("EFECTIVO"));
        QCOMPARE(caixa.form.Text11, amount);
        QCOMPARE(caixa.form.Text12, change);
    }

    // The second click of a double click, queued behind the first, finds the
    // payment taken: the takings grow once and one receipt prints; when the
    // recording is refused, it arrives while the refusal is on screen.
    void aDoubleClickPaysOnce_data()
    {
        QTest::addColumn<bool>("card");
        QTest::addColumn<bool>("refused");
        QTest::newRow("DINHEIRO") << false << false;
        QTest::newRow("CARTÃO") << true << false;
        QTest::newRow("DINHEIRO refused") << false << true;
    }

    void aDoubleClickPaysOnce()
    {
        QFETCH(bool, card);
        QFETCH(bool, refused);
        Caixa caixa(80);
        if (refused)
            caixa.db.execute("create trigger falha before insert on TipoPago begin select raise(abort, 'x'); end");
        caixa.fakes.prompter.whileShown = [] { QCoreApplication::processEvents(); };
        Form5* dialog = caixa.pagar();
        for (int click = 0; click < 2; ++click)
            QMetaObject::invokeMethod(card ? dialog->Command2 : dialog->Command1, "click", Qt::QueuedConnection);
        QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
        QCOMPARE(caixa.db.scalar("select total(efectivo + tarjeta) from TipoPago").toDouble(), refused ? 0.0 : 12.5);
        QCOMPARE(caixa.linesStored(), refused ? 0 : 1);
        QCOMPARE(caixa.fakes.printer.documents.size(), refused ? 0 : 1);
        QCOMPARE(caixa.fakes.prompter.messages.size(), refused ? 1 : 0);
    }

    // The payment dialog opens with no payment button under "PAGAR"; the
    // second click of a double click there, or one on a payment button
    // just after the dialog showed, pays nothing and prints nothing.
    void aDoubleClickOnPagarPaysNothing_data()
    {
        QTest::addColumn<int>("apartMs");
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QString>("second");   // where the second click lands
        QTest::newRow("80 ms, under PAGAR, 1024x768") << 80 << QSize(1024, 768) << "PAGAR";
        QTest::newRow("400 ms, under PAGAR, 1920x1080") << 400 << QSize(1920, 1080) << "PAGAR";
        QTest::newRow("400 ms on CARTÃO") << 400 << QSize(1024, 768) << "CARTÃO";
        QTest::newRow("400 ms on DINHEIRO") << 400 << QSize(1920, 1080) << "DINHEIRO";
        QTest::newRow("400 ms on PIX") << 400 << QSize(1280, 1024) << "PIX";
        QTest::newRow("200 ms, under PAGAR, with PIX") << 200 << QSize(1024, 768) << "PAGAR with PIX";
    }

    void aDoubleClickOnPagarPaysNothing()
    {
        QFETCH(int, apartMs);
        QFETCH(QSize, screen);
        QFETCH(QString, second);
        Caixa caixa(80, screen);
        if (second.contains("PIX"))
            caixa.fakes.platform.pix = PIX_LOJA;
        QPushButton* pagar = ui(caixa.form).Command1;
        const QRect pagarOnScreen(pagar->mapToGlobal(QPoint(0, 0)), pagar->size());
        QTest::mousePress(pagar, Qt::LeftButton);
        QTest::mouseRelease(pagar, Qt::LeftButton);
        auto* dialog = qobject_cast<Form5*>(caixa.form.pago());
        QVERIFY(dialog);
        for (const QWidget* button : dialog->botonesDePago())
            QVERIFY2(!QRect(button->mapToGlobal(QPoint(0, 0)), button->size()).intersects(pagarOnScreen),
                     qPrintable(button->objectName()));
        QVERIFY(dialog->frameGeometry().bottom() < screen.height());

        QTest::qWait(apartMs);
        const QPoint at = pagarOnScreen.center();
        const bool underPagar = second.startsWith("PAGAR");
        QWidget* target = underPagar             ? QApplication::widgetAt(at)
                          : second == "DINHEIRO" ? dialog->Command1
                          : second == "PIX"      ? dialog->Command4
                                                 : dialog->Command2;
        if (target) {
            const QPoint inside = underPagar ? target->mapFromGlobal(at) : QPoint();
            QTest::mousePress(target, Qt::LeftButton, {}, inside);
            QTest::mouseDClick(target, Qt::LeftButton, {}, inside);
            QTest::mouseRelease(target, Qt::LeftButton, {}, inside);
        }
        QTest::qWait(50);
        QCOMPARE(caixa.form.pago(), dialog);
        QCOMPARE(caixa.linesStored(), 0);
        QVERIFY(caixa.fakes.printer.documents.isEmpty());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
        QCOMPARE(ui(caixa.form).ListView1->row(0), ROW);
        QVERIFY(dialog->FramePix->isHidden());

        // The keyboard pays at once.
        QTest::keyClick(dialog->Command2, Qt::Key_Return);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("TARJETA"));
    }

    // While the payment dialog or the picker is open, a close request to the
    // sale window (its title bar's X, Alt+F4) asks nothing and empties
    // nothing; the sale is then paid as usual, or taken up again.
    void aCloseRequestWhileADialogIsOpenIsRefused_data()
    {
        QTest::addColumn<bool>("paying");
        QTest::newRow("payment dialog") << true;
        QTest::newRow("product picker") << false;
    }

    void aCloseRequestWhileADialogIsOpenIsRefused()
    {
        QFETCH(bool, paying);
        Caixa caixa(80);
        Form5* dialog = paying ? caixa.pagar() : nullptr;
        if (!paying)
            QTest::mouseClick(ui(caixa.form).Command3, Qt::LeftButton);
        QVERIFY(!caixa.form.isEnabled());

        QVERIFY(!caixa.form.close());
        QVERIFY(caixa.form.isVisible());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
        QCOMPARE(ui(caixa.form).ListView1->row(0), ROW);
        QCOMPARE(caixa.form.venta().size(), 1);
        QCOMPARE(caixa.db.count("Recaudacion"), 0);

        if (paying) {
            QCOMPARE(caixa.form.pago(), dialog);
            caixa.typeAmount(dialog, "");
            verifySaleRecorded(caixa);
            QCOMPARE(caixa.cashTaken(), 12.5);
        } else {
            QWidget* picker = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == "Form11" && window->isVisible())
                    picker = window;
            QVERIFY(picker);
            QTest::keyClick(picker->findChild<QLineEdit*>("Text1"), Qt::Key_Escape);
            QTRY_VERIFY(caixa.form.isEnabled());
            QCOMPARE(ui(caixa.form).ListView1->row(0), ROW);
        }
    }

    // Should the sale be emptied behind the dialog, a payment button records
    // nothing and says so, and the dialog goes.
    void anEmptiedSaleIsNeverPaidSilently()
    {
        Caixa caixa(80);
        Form5* dialog = caixa.pagar();
        caixa.form.Command2_Click();
        QTest::keyClick(dialog->Command2, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
        QCOMPARE(caixa.fakes.prompter.texts(),
                 QStringList{"A lista de produtos a serem vendidos está vazia: nenhum pagamento foi registrado."});
        QCOMPARE(caixa.linesStored(), 0);
        QCOMPARE(caixa.db.count("TipoPago"), 0);
        QVERIFY(caixa.fakes.printer.documents.isEmpty());
        QVERIFY(caixa.form.isEnabled());
    }

    // A line's sale total is money in whole cents, half up on its decimal
    // value, from the moment the line is made or changed: that amount is
    // shown, summed, stored, printed and added to the takings. An amount
    // handed over has at most two decimals.
    void moneyIsKeptInWholeCents_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("quantities");   // "-" in front: taken off the line
        QTest::addColumn<QString>("line");             // "Valor Total"
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("tendered");
        QTest::addColumn<QString>("change");           // empty: the amount is refused
        QTest::addColumn<QString>("takings");          // after 140,24 taken before
        QTest::newRow("0,455 kg at 5,99") << BANANA << QStringList{"0,455"} << "2,73" << "R$ 2,73" << "3" << "0,27"
                                          << "142,97";
        QTest::newRow("1,005 rounds half up") << QUEIJO << QStringList{"0,5"} << "1,01" << "R$ 1,01" << "1,01" << "0"
                                              << "141,25";
        QTest::newRow("merged on its line") << BANANA << QStringList{"0,455", "0,455"} << "5,45" << "R$ 5,45" << "10,5"
                                            << "5,05" << "145,69";
        QTest::newRow("deducted from its line") << BANANA << QStringList{"1,5", "-0,045"} << "8,72" << "R$ 8,72"
                                                << "8,72" << "0" << "148,96";
        QTest::newRow("three decimals handed over") << PAO << QStringList{"1"} << "0,75" << "R$ 0,75" << "0,755"
                                                    << QString() << "140,99";
        QTest::newRow("a whole amount handed over") << PAO << QStringList{"4"} << "3" << "R$ 3," << "5" << "2,00"
                                                    << "143,24";
    }

    void moneyIsKeptInWholeCents()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, quantities);
        QFETCH(QString, line);
        QFETCH(QString, total);
        QFETCH(QString, tendered);
        QFETCH(QString, change);
        QFETCH(QString, takings);
        Caixa caixa(80);
        caixa.db.execute("insert into TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial) "
                         "values ('2024-03-05 08:00:00', 140.24, 0, 0)");
        caixa.form.Command2_Click();
        for (const QString& quantity : quantities)
            caixa.enter(code, quantity.startsWith('-') ? quantity.mid(1) : quantity, quantity.startsWith('-'));
        QCOMPARE(ui(caixa.form).ListView1->rowCount(), 1);
        QCOMPARE(ui(caixa.form).ListView1->text(0, 5), line);
        QCOMPARE(ui(caixa.form).Label8->text(), total);

        Form5* dialog = caixa.pagar();
        QCOMPARE(dialog->Label2->text(), total);
        caixa.typeAmount(dialog, tendered);
        if (change.isEmpty()) {
            QCOMPARE(caixa.fakes.prompter.texts(), QStringList{MSG_DECIMAIS});
            QCOMPARE(dialog->Text1->text(), QString());
            QCOMPARE(caixa.form.venta().size(), 1);
            QTest::keyClick(dialog->Text1, Qt::Key_Return);   // cash, no amount
        } else {
            QCOMPARE(dialog->Label5->text(), change);
            QTest::keyClick(dialog->Command1, Qt::Key_Return);
        }
        verifySaleRecorded(caixa);
        QCOMPARE(A_Texto(caixa.db.scalar("select TotalVenta from Temporal").toDouble()), line);
        QCOMPARE(A_Texto(caixa.cashTaken()), takings);
        QVERIFY(caixa.fakes.printer.documents[0].texts().at(5).endsWith(line + " "));
    }

    void refusedAmounts_data()
    {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::newRow("below the total") << "12,49" << MSG_VALOR_MENOR;
        QTest::newRow("lone comma") << "," << MSG_VALOR_INVALIDO;
        QTest::newRow("two commas") << "1,,2" << MSG_VALOR_INVALIDO;
        QTest::newRow("beyond any number") << QString(400, '9') << MSG_VALOR_INVALIDO;
        QTest::newRow("thirteen digits") << "1000000000000" << MSG_VALOR_GRANDE;
    }

    void refusedAmounts()
    {
        QFETCH(QString, amount);
        QFETCH(QString, message);
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        dialog->Text1->setText(amount);   // the box's own length limit aside, as a paste would
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
        QCOMPARE(caixa.fakes.prompter.texts(), QStringList({message}));
        QCOMPARE(dialog->Text1->text(), QString());
        QVERIFY(dialog->Text1->hasFocus());
        QVERIFY(!dialog->Text1->isReadOnly());
        QVERIFY(dialog->Command2->isEnabled());
        QCOMPARE(caixa.form.pago(), dialog);
        QCOMPARE(caixa.linesStored(), 0);
        QCOMPARE(ui(caixa.form).ListView1->row(0), ROW);

        caixa.typeAmount(dialog, "20");
        QCOMPARE(dialog->Label5->text(), QString("7,50"));
    }

    void cardAfterATypedAmount()
    {
        Caixa caixa(80);
        caixa.form.Text11 = "11";
        caixa.form.Text12 = "12";
        Form5* dialog = caixa.pagar();
        typeKeys(dialog->Text1, "50");
        Caixa::click(dialog->Command2);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("TARJETA"));
        QCOMPARE(caixa.form.Text11, QString("11"));
        QCOMPARE(caixa.form.Text12, QString("12"));
        QCOMPARE(caixa.db.scalar("select tarjeta from TipoPago").toDouble(), 12.5);
        QCOMPARE(caixa.db.scalar("select TipoPago from Temporal").toString(), QString("TARJETA"));
        // The receipt reads the screens as they stood.
        QCOMPARE(caixa.fakes.printer.documents.size(), 1);
        const QStringList printed = caixa.fakes.printer.documents[0].texts();
        QCOMPARE(printed.at(5), QString("Arroz Tipo 1 5 kg212,5 "));
        QCOMPARE(printed.at(7), QString("Total       R$ 12,5"));
        QCOMPARE(printed.at(8), QString("Efectivo    50"));
        QCOMPARE(printed.at(9), QString("Vuelto      $ "));
        QCOMPARE(printed.at(12), QString("                    Forma de pagamento: CARTÃO "));
    }

    void cashReceiptOnFiftyEight()
    {
        Caixa caixa(58);
        caixa.typeAmount(caixa.pagar(), "20");
        Caixa::click(qobject_cast<Form5*>(caixa.form.pago())->Command1);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.fakes.printer.documents.size(), 1);
        const auto& document = caixa.fakes.printer.documents[0];
        QCOMPARE(document.paperWidthMm, 58);
        QCOMPARE(document.texts().at(0), QString("   05/03/2024 8:15:02"));
        QCOMPARE(document.texts().at(6), QString("2 x 6,25 = 12,5 "));
        QCOMPARE(document.texts().at(9), QString("Efectivo    20"));
        QCOMPARE(document.texts().at(10), QString("Vuelto      $ 7,50"));
        QCOMPARE(document.texts().at(13), QString(" Forma de pagamento : DINHEIRO "));
    }

    void goingBackLeavesTheSaleAsItWas_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Escape") << 0;
        QTest::newRow("VOLTAR") << 1;
        QTest::newRow("window frame") << 2;
        QTest::newRow("VOLTAR after a valid amount") << 3;
        QTest::newRow("Escape on DINHEIRO after a valid amount") << 4;
    }

    void goingBackLeavesTheSaleAsItWas()
    {
        QFETCH(int, how);
        Caixa caixa(80);
        Form5* dialog = caixa.pagar();
        if (how == 0) {
            typeKeys(dialog->Text1, "3");
            QTest::keyClick(dialog->Text1, Qt::Key_Escape);
        } else if (how == 1) {
            QTest::mouseClick(dialog->Command3, Qt::LeftButton);
        } else if (how == 2) {
            dialog->close();
        } else if (how == 3) {
            caixa.typeAmount(dialog, "20");
            QTest::mouseClick(dialog->Command3, Qt::LeftButton);
        } else {
            caixa.typeAmount(dialog, "20");
            QCOMPARE(QApplication::focusWidget(), dialog->Command1);
            QTest::keyClick(dialog->Command1, Qt::Key_Escape);
        }
        verifySaleBack(caixa, ROW);
        QCOMPARE(caixa.form.Text10, QString());
        QCOMPARE(caixa.linesStored(), 0);
        QVERIFY(caixa.fakes.printer.documents.isEmpty());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());

        // The sale goes on and can be paid afresh.
        caixa.scan(FEIJAO);
        QCOMPARE(ui(caixa.form).ListView1->rowCount(), 2);
        Form5* again = caixa.pagar();
        QCOMPARE(again->Label2->text(), QString("R$ 20,5"));
        QCOMPARE(again->Text1->text(), QString());
        QVERIFY(again->Command2->isEnabled());
    }

    // Without a Pix key the dialog is as it always was: no PIX button, Alt+P does nothing.
    void noPixWithoutAKey()
    {
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        QVERIFY(dialog->Command4->isHidden());
        QTest::keyClick(dialog, Qt::Key_P, Qt::AltModifier);
        QTest::qWait(300);
        QVERIFY(dialog->FramePix->isHidden());
        QVERIFY(dialog->Text1->hasFocus());
    }

    // The Pix view shows the code of the sale's total, readable from the
    // screen; "PIX RECEBIDO" records the sale as a Pix, with the transaction
    // on the receipt and no code there.
    void pixRecebidoRecordsAPixSale_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::newRow("Alt+R") << false;
        QTest::newRow("click") << true;
    }

    void pixRecebidoRecordsAPixSale()
    {
        QFETCH(bool, byClick);
        Caixa caixa(80);
        Form5* dialog = pixView(caixa);
        QCOMPARE(dialog->Label6->text(), QString("Aguardando o Pix de R$ 12,50"));
        for (QWidget* hidden : QList<QWidget*>{dialog->Text1, dialog->Command1, dialog->Command4})
            QVERIFY(!hidden->isVisible());
        const QImage screen = dialog->Image1->grab().toImage();
        QVERIFY2(qMin(screen.width(), screen.height()) >= 250, "the code is too small for a phone");
        QCOMPARE(readQrCode(screen), pixPayload());
        QVERIFY(dialog->frameGeometry().bottom() < caixa.fakes.screen.pixels.height());

        if (byClick)
            QTest::mouseClick(dialog->Command5, Qt::LeftButton);
        else
            QTest::keyClick(dialog, Qt::Key_R, Qt::AltModifier);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("PIX"));
        QCOMPARE(caixa.db.scalar("select TipoPago from Temporal").toString(), QString("PIX"));
        QCOMPARE(caixa.db.scalar("select pix from TipoPago").toDouble(), 12.5);
        QCOMPARE(caixa.db.scalar("select efectivo + tarjeta from TipoPago").toDouble(), 0.0);
        QCOMPARE(caixa.fakes.printer.documents.size(), 1);
        const FakeReceiptPrinter::Document& receipt = caixa.fakes.printer.documents[0];
        QVERIFY(receipt.texts().contains("                    Forma de pagamento: PIX "));
        QVERIFY(receipt.texts().contains("                    Pix: " + TRANSACAO));
        QVERIFY(receipt.qrCodes.isEmpty());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
    }

    // A scanner's digits and Enter, or Enter on any button of the Pix view,
    // take no payment and print nothing.
    void enterNeverTakesAPix_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::newRow("PIX RECEBIDO") << "Command5";
        QTest::newRow("IMPRIMIR QR") << "Command6";
        QTest::newRow("where the view puts it (VOLTAR)") << "";
    }

    void enterNeverTakesAPix()
    {
        QFETCH(QString, focused);
        Caixa caixa(80);
        Form5* dialog = pixView(caixa);
        if (!focused.isEmpty())
            dialog->findChild<QPushButton*>(focused)->setFocus();
        QWidget* keyboard = QApplication::focusWidget();
        QVERIFY(keyboard);
        typeKeys(keyboard, ARROZ);
        for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(keyboard, enter);
        QTest::qWait(50);
        QCOMPARE(caixa.linesStored(), 0);
        QVERIFY(caixa.fakes.printer.documents.isEmpty());
        QVERIFY2(caixa.form.pago() == dialog, "the dialog closed");
        QVERIFY(!dialog->FramePix->isHidden());
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
    }

    // Back from the Pix view nothing is recorded, and the dialog still takes its one payment.
    void backFromPixRecordsNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("VOLTAR") << false;
    }

    void backFromPixRecordsNothing()
    {
        QFETCH(bool, escape);
        Caixa caixa;
        Form5* dialog = pixView(caixa);
        if (escape)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            QTest::mouseClick(dialog->Command7, Qt::LeftButton);
        QCOMPARE(caixa.form.pago(), dialog);
        QVERIFY(dialog->FramePix->isHidden());
        QVERIFY(dialog->Text1->isVisible());
        QVERIFY(dialog->Command4->isVisible());
        QVERIFY(dialog->Text1->hasFocus());
        QCOMPARE(caixa.linesStored(), 0);
        QTest::keyClick(dialog->Command2, Qt::Key_Return);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.form.Text10, QString("TARJETA"));
        QCOMPARE(caixa.db.scalar("select pix from TipoPago").toDouble(), 0.0);
    }

    // "IMPRIMIR QR" prints the slip on the roll the user prints receipts on
    // (80 mm without a choice), and records nothing.
    void theQrSlipPrints_data()
    {
        QTest::addColumn<int>("receipt");
        QTest::addColumn<int>("roll");
        QTest::newRow("58 mm") << 58 << 58;   // not a fixed roll
        QTest::newRow("no receipts") << 0 << 80;
    }

    void theQrSlipPrints()
    {
        QFETCH(int, receipt);
        QFETCH(int, roll);
        Caixa caixa(receipt);
        Form5* dialog = pixView(caixa);
        QTest::keyClick(dialog, Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(caixa.fakes.printer.documents.size(), 1);
        const FakeReceiptPrinter::Document& slip = caixa.fakes.printer.documents[0];
        QCOMPARE(slip.paperWidthMm, roll);
        QCOMPARE(slip.texts().mid(0, 3), QStringList({"Mercadinho São João", "Pague com Pix", "R$ 12,50"}));
        QCOMPARE(slip.qrCodes, QList<QByteArray>{pixPayload()});
        QVERIFY(!dialog->FramePix->isHidden());
        QCOMPARE(caixa.linesStored(), 0);

        caixa.fakes.printer.failure = "sem papel";
        QTest::mouseClick(dialog->Command6, Qt::LeftButton);
        QCOMPARE(caixa.fakes.prompter.last(), QString("O QR do Pix não foi impresso: sem papel."));
        QCOMPARE(caixa.linesStored(), 0);
    }

    // A failure while recording stores nothing, prints nothing and keeps the
    // sale on screen; paying again records it once, with its receipt.
    void failedRecordingKeepsTheSale()
    {
        Caixa caixa(80);
        caixa.db.execute("create trigger falha before insert on TipoPago begin select raise(abort, 'disco cheio'); end");
        caixa.typeAmount(caixa.pagar(), "20");
        Caixa::click(qobject_cast<Form5*>(caixa.form.pago())->Command1);
        verifySaleBack(caixa, ROW);
        QCOMPARE(caixa.fakes.prompter.messages.size(), 1);
        QCOMPARE(caixa.fakes.prompter.messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY(caixa.fakes.prompter.last().contains("disco cheio"));
        QCOMPARE(caixa.linesStored(), 0);
        QCOMPARE(caixa.db.count("TipoPago"), 0);
        QCOMPARE(caixa.db.scalar(QString("select Cantidad from Productos where CodigoProducto = '%1'").arg(ARROZ)).toDouble(),
                 10.0);
        QVERIFY(caixa.fakes.printer.documents.isEmpty());

        caixa.db.execute("drop trigger falha");
        caixa.typeAmount(caixa.pagar(), "");
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.cashTaken(), 12.5);
        QCOMPARE(caixa.db.scalar(QString("select Cantidad from Productos where CodigoProducto = '%1'").arg(ARROZ)).toDouble(),
                 8.0);
        QCOMPARE(caixa.fakes.printer.documents.size(), 1);
        QCOMPARE(caixa.fakes.printer.documents[0].texts().at(5), QString("Arroz Tipo 1 5 kg212,5 "));
    }

    void receiptNotPrintedStillRecordsTheSale_data()
    {
        QTest::addColumn<bool>("printerPresent");
        QTest::newRow("printer refuses") << true;
        QTest::newRow("no printer") << false;
        QTest::newRow("receipt choice unreadable") << true;
    }

    void receiptNotPrintedStillRecordsTheSale()
    {
        QFETCH(bool, printerPresent);
        Caixa caixa(80);
        caixa.fakes.printer.failure = "o serviço de impressão não está respondendo";
        QString why = caixa.fakes.printer.failure;
        if (!printerPresent) {
            caixa.fakes.platform.printer = nullptr;
            why = "nenhuma impressora está disponível";
        }
        if (QString(QTest::currentDataTag()) == "receipt choice unreadable") {
            caixa.db.execute("update Usuarios set PermisoCruce = 'oitenta'");
            why.clear();
        }
        caixa.typeAmount(caixa.pagar(), "");
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.cashTaken(), 12.5);
        QCOMPARE(caixa.fakes.prompter.messages.size(), 1);
        QVERIFY2(caixa.fakes.prompter.last().startsWith("A venda foi registrada, mas o recibo não foi impresso: " + why),
                 qPrintable(caixa.fakes.prompter.last()));
    }

    // Cash opens the drawer once the sale is recorded, with or without a
    // receipt; a card, or a sale that could not be recorded, does not. A sale
    // not recorded prints no receipt either.
    void theDrawerOpensForRecordedCashOnly_data()
    {
        QTest::addColumn<int>("receipt");
        QTest::addColumn<bool>("card");
        QTest::addColumn<bool>("recordingFails");
        QTest::addColumn<int>("opened");
        QTest::newRow("cash with an 80 mm receipt") << 80 << false << false << 1;
        QTest::newRow("cash without a receipt") << 0 << false << false << 1;
        QTest::newRow("card") << 58 << true << false << 0;
        QTest::newRow("cash not recorded") << 80 << false << true << 0;
    }

    void theDrawerOpensForRecordedCashOnly()
    {
        QFETCH(int, receipt);
        QFETCH(bool, card);
        QFETCH(bool, recordingFails);
        QFETCH(int, opened);
        Caixa caixa(receipt);
        caixa.fakes.platform.drawer = &caixa.fakes.drawer;
        if (recordingFails)
            caixa.db.execute("create trigger falha before insert on TipoPago begin select raise(abort, 'x'); end");
        Form5* dialog = caixa.pagar();
        Caixa::click(card ? dialog->Command2 : dialog->Command1);
        QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
        QCOMPARE(caixa.fakes.drawer.opened, opened);
        QCOMPARE(caixa.fakes.printer.documents.size(), receipt && !recordingFails ? 1 : 0);
        QCOMPARE(caixa.linesStored(), recordingFails ? 0 : 1);
        if (!recordingFails)
            QVERIFY(caixa.fakes.prompter.messages.isEmpty());
    }

    // A drawer that does not open is told after the sale is stored, with the
    // receipt's own trouble when both fail, in one message.
    void drawerFailureIsReportedAfterRecording()
    {
        Caixa caixa(80);
        caixa.fakes.platform.drawer = &caixa.fakes.drawer;
        caixa.fakes.drawer.failure = "a impressora \"recibos\" não está aceitando trabalhos";
        caixa.typeAmount(caixa.pagar(), "20");
        Caixa::click(qobject_cast<Form5*>(caixa.form.pago())->Command1);
        verifySaleRecorded(caixa);
        QCOMPARE(caixa.fakes.prompter.texts(),
                 QStringList{"A venda foi registrada, mas a gaveta não abriu: a impressora \"recibos\" não está "
                             "aceitando trabalhos."});

        caixa.fakes.printer.failure = "o serviço de impressão não está respondendo";
        caixa.fakes.drawer.failure = caixa.fakes.printer.failure;
        caixa.fakes.prompter.clear();
        caixa.scan(FEIJAO);
        caixa.typeAmount(caixa.pagar(), "");
        QTRY_VERIFY_WITH_TIMEOUT(!caixa.form.pago(), 2000);
        QCOMPARE(caixa.fakes.prompter.texts(),
                 QStringList{"A venda foi registrada, mas o recibo não foi impresso: o serviço de impressão não está "
                             "respondendo.\nA gaveta também não abriu: o serviço de impressão não está respondendo."});
    }

    void pastedControlCharactersAreDropped_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<bool>("fromTheMenu");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("change");
        QTest::newRow("line break and tab, Ctrl+V") << "2\r\n0,\t50" << false << "20,50" << "8,00";
        QTest::newRow("escape, bell and delete, menu")
            << QString(QChar(0x1b)) + "2" + QChar(7) + "5" + QChar(0x7f) << true << "25" << "12,50";
    }

    // A line break inside the paste pays nothing: the amount waits for Enter.
    void pastedControlCharactersAreDropped()
    {
        QFETCH(QString, clip);
        QFETCH(bool, fromTheMenu);
        QFETCH(QString, kept);
        QFETCH(QString, change);
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        QGuiApplication::clipboard()->setText(clip);
        if (fromTheMenu)
            dialog->Text1->paste();
        else
            QTest::keySequence(dialog->Text1, QKeySequence::Paste);
        QCOMPARE(dialog->Text1->text(), kept);
        QCOMPARE(dialog->Label5->text(), QString());
        QCOMPARE(caixa.form.pago(), dialog);
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
        QVERIFY(caixa.fakes.prompter.messages.isEmpty());
        QCOMPARE(dialog->Label5->text(), change);
    }
};

QTEST_MAIN(Form5Test)
#include "tst_form5.moc"
