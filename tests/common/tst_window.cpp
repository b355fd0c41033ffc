#include "common/window.h"
#include "store/store_error.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {

// A window whose load, unload and handlers the test drives.
class Probe : public Window {
public:
    explicit Probe(Platform& platform) : Window(platform)
    {
        button = new QPushButton(centralWidget());
        box = new QLineEdit(centralWidget());
        action = new QAction(this);
        timer = new QTimer(this);
        timer->setSingleShot(true);
        timer->setInterval(1);
        on(button, &QPushButton::clicked, [this] { handle(); });
        on(action, &QAction::triggered, [this] { handle(); });
        on(timer, &QTimer::timeout, [this] { handle(); });
        filterKeys(box, {}, [this] { handle(); }, [this] { handle(); });
    }

    void handle()
    {
        ++handled;
        if (failure == 1)
            throw StoreError(QStringLiteral("O arquivo de dados está em uso por outro programa."));
        if (failure == 2)
            throw std::runtime_error("boom");
    }

    QPushButton* button;
    QLineEdit* box;
    QAction* action;
    QTimer* timer;
    int failure = 0;
    int handled = 0;
    int loads = 0;
    bool visibleAtLoad = true;
    int unloads = 0;
    bool cancelUnload = false;
    bool failUnload = false;

    using Window::setClientSizeTwips;
    using Window::setFillsScreen;

protected:
    void Form_Load() override
    {
        ++loads;
        visibleAtLoad = isVisible();
    }
    void Form_Unload(bool& cancel) override
    {
        ++unloads;
        if (failUnload)
            throw StoreError(QStringLiteral("falha ao fechar"));
        cancel = cancelUnload;
    }
};

}   // namespace

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void everyKindOfHandlerShowsItsErrorAndTheProgramGoesOn()
    {
        FakePlatform fakes;
        Probe window(fakes.platform);
        window.show();

        window.failure = 1;
        window.button->click();
        window.action->trigger();
        QTest::keyClick(window.box, Qt::Key_Return);   // a key filter's Enter and Escape
        QTest::keyClick(window.box, Qt::Key_Escape);
        window.timer->start();
        QTRY_COMPARE(window.handled, 5);
        QCOMPARE(fakes.prompter.messages.size(), 5);
        for (const FakePrompter::Message& message : fakes.prompter.messages) {
            QCOMPARE(message.kind, FakePrompter::Kind::Critical);
            QCOMPARE(message.text, QString("O arquivo de dados está em uso por outro programa."));
        }

        window.failure = 2;
        window.button->click();
        QCOMPARE(fakes.prompter.messages.size(), 6);

        window.failure = 0;
        window.button->click();
        QTest::keyClick(window.box, Qt::Key_Return);
        QCOMPARE(window.handled, 8);
        QCOMPARE(fakes.prompter.messages.size(), 6);
    }

    void loadRunsOnceBeforeTheFirstShow()
    {
        FakePlatform fakes;
        Probe window(fakes.platform);
        QCOMPARE(window.loads, 0);
        window.show();
        window.hide();
        window.show();
        QCOMPARE(window.loads, 1);
        QVERIFY(!window.visibleAtLoad);
        QCOMPARE(window.windowTitle(), QString("TENDUCA 1.0"));
    }

    void unloadCanKeepTheWindowOpenAndRunsOncePerClose()
    {
        FakePlatform fakes;
        Probe window(fakes.platform);
        QSignalSpy closed(&window, &Window::closed);
        window.show();

        window.cancelUnload = true;
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());

        window.cancelUnload = false;
        window.failUnload = true;
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(fakes.prompter.last(), QString("falha ao fechar"));
        QCOMPARE(closed.count(), 0);

        window.failUnload = false;
        QVERIFY(window.close());
        QVERIFY(!window.isVisible());
        QVERIFY(window.close());   // closing a closed window asks nothing again
        QCOMPARE(window.unloads, 3);
        QCOMPARE(closed.count(), 1);
    }

    void aWindowFromTheMenuHidesTheSaleWindowUntilItCloses()
    {
        FakePlatform fakes;
        Probe sale(fakes.platform);
        sale.show();

        QPointer<Probe> report = new Probe(fakes.platform);
        report->openFromMenu(&sale);
        QVERIFY(report->isVisible());
        QVERIFY(!sale.isVisible());
        report->close();
        QVERIFY(sale.isVisible());
        QTRY_VERIFY(report.isNull());   // created afresh on each open, gone when closed

        // A cancelled close keeps the sale window hidden.
        report = new Probe(fakes.platform);
        report->cancelUnload = true;
        report->openFromMenu(&sale);
        report->close();
        QVERIFY(!sale.isVisible());
        delete report;   // destroyed without a close: the sale window comes back all the same
        QVERIFY(sale.isVisible());
    }

    void aWindowFromAnotherDisablesItUntilItCloses()
    {
        FakePlatform fakes;
        Probe sale(fakes.platform);
        sale.show();

        QPointer<Probe> dialog = new Probe(fakes.platform);
        dialog->openFrom(&sale);
        QVERIFY(sale.isVisible());
        QVERIFY(!sale.isEnabled());
        QVERIFY(dialog->isEnabled());
        dialog->close();
        QVERIFY(sale.isEnabled());

        dialog = new Probe(fakes.platform);
        dialog->openFrom(&sale);
        QVERIFY(!sale.isEnabled());
        delete dialog;
        QVERIFY(sale.isEnabled());
    }

    void windowsPlaceThemselvesWithoutAWindowManager()
    {
        FakePlatform fakes;
        fakes.screen.pixels = QSize(1280, 1024);
        Probe full(fakes.platform);
        full.setFillsScreen();
        full.show();
        QCOMPARE(full.normalGeometry().size(), QSize(1280, 1024));
        QVERIFY(full.windowState() & Qt::WindowMaximized);

        Probe dialog(fakes.platform);
        dialog.setClientSizeTwips(5400, 2700);   // 360 × 180 pixels
        dialog.show();
        QCOMPARE(dialog.size(), QSize(360, 180));
        QCOMPARE(dialog.pos(), QPoint((1280 - 360) / 2, (1024 - 180) / 2));
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
