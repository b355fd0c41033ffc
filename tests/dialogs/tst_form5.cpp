#include "common/number_settings.h"
#include "common/report_list.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/layout_check.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString ARROZ = "7891000000011";
const QString FEIJAO = "7891000000028";
const QString MSG_VALOR_MENOR = "O valor inserido deve ser igual ou superior ao total a pagar";
const QString MSG_VALOR_GRANDE = "O valor inserido é alto demais. Digite no máximo 12 dígitos antes da vírgula.";
const QString MSG_VALOR_INVALIDO =
    "O valor inserido não é um número válido. Digite o valor pago pelo cliente, por exemplo 50 ou 50,25.";

// The counter after login, with a sale of 12,50 on screen: two bags of rice.
class Caixa {
public:
    explicit Caixa(int receipt = 0)
        : fakes(db.folder())
    {
        if (receipt)
            db.execute(QString("update Usuarios set PermisoCruce = %1").arg(receipt));
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
        if (dialog && !QTest::qWaitForWindowActive(dialog))
            qWarning("the payment dialog did not become active");
        return dialog;
    }

    void typeAmount(Form5* dialog, const QString& amount)
    {
        typeKeys(dialog->Text1, amount);
        QTest::keyClick(dialog->Text1, Qt::Key_Return);
    }

    int linesStored() const { return db.count("Temporal"); }
    double cashTaken() const { return db.scalar("select efectivo from TipoPago").toDouble(); }

    TestDatabase db{{{product(ARROZ, "Arroz Tipo 1 5 kg", 6.25, 10, 0, 4), product(FEIJAO, "Feijão", 8, 10)}}};
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
    }

    void changeShown()
    {
        QFETCH(QString, amount);
        QFETCH(QString, change);
        Caixa caixa;
        Form5* dialog = caixa.pagar();
        caixa.typeAmount(dialog, amount);
        QCOMPARE(dialog->Label5->text(), change);
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
        QTest::mouseClick(dialog->Command2, Qt::LeftButton);
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
        QTest::mouseClick(qobject_cast<Form5*>(caixa.form.pago())->Command1, Qt::LeftButton);
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
        } else {
            caixa.typeAmount(dialog, "20");
            QTest::mouseClick(dialog->Command3, Qt::LeftButton);
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

    // A failure while recording stores nothing, prints nothing and keeps the
    // sale on screen; paying again records it once, with its receipt.
    void failedRecordingKeepsTheSale()
    {
        Caixa caixa(80);
        caixa.db.execute("create trigger falha before insert on TipoPago begin select raise(abort, 'disco cheio'); end");
        caixa.typeAmount(caixa.pagar(), "20");
        QTest::mouseClick(qobject_cast<Form5*>(caixa.form.pago())->Command1, Qt::LeftButton);
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
        QTest::mouseClick(card ? dialog->Command2 : dialog->Command1, Qt::LeftButton);
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
        QTest::mouseClick(qobject_cast<Form5*>(caixa.form.pago())->Command1, Qt::LeftButton);
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
