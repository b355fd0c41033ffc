// The dialogs a window opens, on a real X server with a window manager, driven
// by the real pointer: a click on the disabled window that opened a dialog
// never buries the dialog, and a double click on "PAGAR" pays nothing.
#include "catalogue/form2.h"
#include "common/number_settings.h"
#include "dialogs/form5.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/keyboard.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QApplication>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int START_TIMEOUT_MS = 10000;

// Starts a program with its output dropped; -1 when it cannot be started.
pid_t spawn(const QList<QByteArray>& command, int keepOpen = -1, const QByteArray& display = {})
{
    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    prctl(PR_SET_PDEATHSIG, SIGTERM);   // a test that crashes leaves no server behind
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    for (int fd = 3; fd < 256; ++fd)
        if (fd != keepOpen)
            close(fd);
    if (!display.isEmpty())
        setenv("DISPLAY", display.constData(), 1);
    std::vector<char*> argv;
    for (const QByteArray& word : command)
        argv.push_back(const_cast<char*>(word.constData()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    for (int waited = 0; waited < START_TIMEOUT_MS && waitpid(pid, nullptr, WNOHANG) == 0; waited += 10)
        usleep(10000);
    if (kill(pid, 0) == 0 && kill(pid, SIGKILL) == 0)
        waitpid(pid, nullptr, 0);
}

// A property of the root window that lists windows; empty when the display
// does not answer or the property is not there.
QList<quint32> rootWindows(const QString& display, const char* property)
{
    QList<quint32> windows;
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> x(
        xcb_connect(display.toLocal8Bit().constData(), nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(x.get()))
        return windows;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> atom(
        xcb_intern_atom_reply(x.get(), xcb_intern_atom(x.get(), 0, uint16_t(strlen(property)), property), nullptr),
        &free);
    if (!atom)
        return windows;
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&free)> reply(
        xcb_get_property_reply(x.get(), xcb_get_property(x.get(), 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 4096), nullptr),
        &free);
    if (!reply || reply->format != 32)
        return windows;
    const auto* values = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
        windows.append(values[i]);
    return windows;
}

// An X server of the test's own (Xvfb) with a window manager (openbox) on it,
// started before the toolkit so that the test's windows live there, as on a
// shop's desktop. Both end with the object.
class WindowManagerDisplay {
public:
    explicit WindowManagerDisplay(QSize screen) : whyNot_(start(screen)) {}
    ~WindowManagerDisplay()
    {
        stop(windowManager_);
        stop(server_);
    }
    WindowManagerDisplay(const WindowManagerDisplay&) = delete;
    WindowManagerDisplay& operator=(const WindowManagerDisplay&) = delete;

    QString whyNot() const { return whyNot_; }   // empty when it runs
    QString name() const { return name_; }       // ":N"
    // The client windows from the bottom of the stack to the top, as the window manager keeps them.
    QList<quint32> stacking() const { return rootWindows(name_, "_NET_CLIENT_LIST_STACKING"); }

private:
    // The server writes its display number on a pipe once it takes
    // connections; the manager announces itself on the root window once it
    // manages windows.
    QString start(QSize screen)
    {
        for (const char* program : {"Xvfb", "openbox", "xdotool"})
            if (QStandardPaths::findExecutable(program).isEmpty())
                return program + QStringLiteral(" is not installed");
        int ends[2];
        if (pipe(ends) != 0)
            return QStringLiteral("no pipe for Xvfb");
        const QByteArray geometry = QByteArray::number(screen.width()) + 'x' + QByteArray::number(screen.height()) + "x24";
        server_ = spawn({"Xvfb", "-displayfd", QByteArray::number(ends[1]), "-screen", "0", geometry, "-nolisten", "tcp"},
                        ends[1]);
        close(ends[1]);
        QByteArray number;
        pollfd ready{ends[0], POLLIN, 0};
        char c = 0;
        while (poll(&ready, 1, START_TIMEOUT_MS) > 0 && read(ends[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(ends[0]);
        if (server_ < 0 || number.isEmpty())
            return QStringLiteral("Xvfb did not start");
        name_ = u':' + QString::fromLatin1(number);
        windowManager_ = spawn({"openbox", "--sm-disable"}, -1, name_.toLocal8Bit());
        const QDeadlineTimer deadline(START_TIMEOUT_MS);
        while (windowManager_ > 0 && !deadline.hasExpired() && waitpid(windowManager_, nullptr, WNOHANG) == 0) {
            if (!rootWindows(name_, "_NET_SUPPORTING_WM_CHECK").isEmpty())
                return {};
            usleep(50000);
        }
        windowManager_ = -1;
        return QStringLiteral("openbox did not start on Xvfb");
    }

    QString name_;
    pid_t server_ = -1;
    pid_t windowManager_ = -1;
    const QString whyNot_;   // after the rest: start() sets them
};

// Clicks with the real pointer through the X server (xdotool), as a hand on
// the mouse does: `clicks` clicks `delayMs` apart at a point of the screen.
// The toolkit's events go on being handled meanwhile; DISPLAY names the
// test's own display. False when it could not run.
bool clickOnScreen(QPoint at, int clicks = 1, int delayMs = 0)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
                                              "--repeat", QString::number(clicks), "--delay", QString::number(delayMs),
                                              "1"});
    return xdotool.waitForStarted() &&
           QTest::qWaitFor([&] { return xdotool.state() == QProcess::NotRunning; }, START_TIMEOUT_MS) &&
           xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

const QSize SCREEN(1280, 1024);
const QString ARROZ = QStringLiteral("7891000000011");

QRect onScreen(const QWidget* control)
{
    return {control->mapToGlobal(QPoint(0, 0)), control->size()};
}

// The window a click on a button opened, once it shows.
Window* openedOver(const QWidget* opener)
{
    Window* opened = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] {
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window != opener && window->isVisible() && qobject_cast<Window*>(window))
                    opened = qobject_cast<Window*>(window);
            return opened != nullptr;
        },
        5000);
    return shown ? opened : nullptr;
}

}   // namespace

class DialogsAboveTest : public QObject {
    Q_OBJECT
public:
    explicit DialogsAboveTest(const WindowManagerDisplay& display) : display_(display) {}

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        if (!display_.whyNot().isEmpty())
            QSKIP(qPrintable("no X server with a window manager and a pointer: " + display_.whyNot()));
    }

    void aDialogStaysAboveItsOpenerWhateverIsClicked_data()
    {
        QTest::addColumn<bool>("maintenance");   // opened from product maintenance, else from the sale window
        QTest::addColumn<bool>("pays");          // the payment dialog, else a product picker
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("apartMs");
        QTest::newRow("payment dialog, double click 80 ms apart") << false << true << 2 << 80;
        QTest::newRow("payment dialog, double click 200 ms apart") << false << true << 2 << 200;
        QTest::newRow("payment dialog, double click 400 ms apart") << false << true << 2 << 400;
        QTest::newRow("sale product picker") << false << false << 1 << 0;
        QTest::newRow("product maintenance's picker") << true << false << 1 << 0;
    }

    void aDialogStaysAboveItsOpenerWhateverIsClicked()
    {
        QFETCH(bool, maintenance);
        QFETCH(bool, pays);
        QFETCH(int, clicks);
        QFETCH(int, apartMs);
        TestDatabase database({{product(ARROZ, "Arroz Tipo 1 5 kg", 6.25)}});
        database.execute("update Usuarios set PermisoCruce = 80");
        FakePlatform fakes(database.folder());
        fakes.screen.pixels = SCREEN;
        std::unique_ptr<Window> opener;
        QPushButton* button = nullptr;
        if (maintenance) {
            auto* form = new Form2(fakes.platform);
            opener.reset(form);
            button = form->Command7;
        } else {
            auto* form = new Form1(fakes.platform);
            opener.reset(form);
            form->Text4 = "admin";
            form->Text3 = "05/03/2024 8:00:00";
            button = pays ? ui(*form).Command1 : ui(*form).Command3;
        }
        opener->show();
        QVERIFY(QTest::qWaitForWindowExposed(opener.get()));
        if (auto* sale = qobject_cast<Form1*>(opener.get())) {
            typeKeys(ui(*sale).Text7, ARROZ);
            QTest::keyClick(ui(*sale).Text7, Qt::Key_Return);
            QCOMPARE(sale->venta().size(), 1);
        }
        QTest::qWait(300);   // the window manager has placed the window

        const QRect opening = onScreen(button);
        QVERIFY(clickOnScreen(opening.center(), clicks, apartMs));
        Window* dialog = openedOver(opener.get());
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(!opener->isEnabled());
        if (pays) {
            // The second click found no payment button under "PAGAR".
            for (const QWidget* payment : static_cast<Form5*>(dialog)->botonesDePago())
                QVERIFY2(!onScreen(payment).intersects(opening), qPrintable(payment->objectName()));
            QCOMPARE(database.count("Temporal"), 0);
            QVERIFY(fakes.printer.documents.isEmpty());
        }

        // A click on the disabled opener, away from the dialog.
        const QPoint away = opener->mapToGlobal(QPoint(30, opener->height() / 2));
        QVERIFY(!dialog->frameGeometry().contains(away));
        QVERIFY(clickOnScreen(away));
        QTest::qWait(300);
        const QList<quint32> stack = display_.stacking();
        QVERIFY(stack.contains(opener->winId()));
        QVERIFY2(stack.indexOf(dialog->winId()) > stack.indexOf(opener->winId()), "the dialog went below its opener");
        QVERIFY(dialog->isVisible());
        dialog->close();
        QTRY_VERIFY(opener->isEnabled());
    }

private:
    const WindowManagerDisplay& display_;
};

// The display and its window manager come first: the toolkit takes its
// platform when the application is made.
int main(int argc, char* argv[])
{
    const WindowManagerDisplay display(SCREEN);
    if (display.whyNot().isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", display.name().toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    DialogsAboveTest test(display);
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs_above.moc"
