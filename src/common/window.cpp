#include "common/window.h"

#include "common/fonts.h"
#include "common/key_filter.h"
#include "common/report_list.h"
#include "common/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWindow>

namespace {

// A window manager puts a title bar above a window's contents, which then sit
// lower, by up to this much, than where the window was placed.
constexpr int TITLE_BAR_ALLOWANCE = 48;
// The second click of a double click lands within a few pixels of the first.
constexpr int CLICK_MARGIN = 12;

void setCaption(QWidget* control, const QString& caption)
{
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(caption);
}

// Every text box of the table, the text of an editable combo box included,
// drops control characters, whether or not its window gives it a filter.
void guardTextBoxes(const QList<ControlPlace>& table)
{
    for (const ControlPlace& place : table) {
        if (auto* box = qobject_cast<QLineEdit*>(place.control))
            KeyFilter::installTextGuard(box);
        else if (auto* combo = qobject_cast<QComboBox*>(place.control); combo && combo->lineEdit())
            KeyFilter::installTextGuard(combo->lineEdit());
    }
}

}   // namespace

void applyLayout(const QList<ControlPlace>& table)
{
    for (const ControlPlace& place : table) {
        place.control->setObjectName(place.name);
        placeTwips(place.control, place.left, place.top, place.width, place.height);
        if (!place.caption.isEmpty())
            setCaption(place.control, place.caption);
        if (place.fontPoints > 0) {
            QFont font = place.bold ? boldFont(place.fontPoints) : place.control->font();
            font.setPointSize(place.fontPoints);
            place.control->setFont(font);
        }
    }
}

Window::Window(Platform& platform, QWidget* parent) : QMainWindow(parent), platform_(platform)
{
    setWindowTitle(WINDOW_CAPTION);
    setFont(inScreenFamily(font()));
    setCentralWidget(new QWidget(this));
}

Window::~Window()
{
    releaseOpener();
}

void Window::declareControls(const QList<ControlPlace>& table)
{
    controls_ = table;
    applyLayout(table);
    guardTextBoxes(table);
}

KeyFilter* Window::filterKeys(QLineEdit* box, KeyFilter::Accepts accepts, KeyFilter::Action onEnter,
                              KeyFilter::Action onEscape)
{
    const auto guardedAction = [this](KeyFilter::Action action) -> KeyFilter::Action {
        if (!action)
            return {};
        return [this, action] { run(action); };
    };
    return KeyFilter::install(box, std::move(accepts), guardedAction(std::move(onEnter)),
                              guardedAction(std::move(onEscape)));
}

void Window::setClientSizeTwips(double width, double height)
{
    fillsScreen_ = false;
    clientSize_ = twipsRect(0, 0, width, height).size();
    setFixedSize(clientSize_);
}

void Window::setFillsScreen()
{
    fillsScreen_ = true;
}

void Window::keepOffOpeningButton(const QList<QWidget*>& controls)
{
    keptOffButton_ = controls;
}

// Without a window manager nothing maximizes or places a window, so the
// window does it itself from the screen's size.
void Window::placeOnScreen()
{
    const QSize screen = platform_.screen.size();
    if (fillsScreen_) {
        setGeometry(QRect(QPoint(0, 0), screen));
        setWindowState(windowState() | Qt::WindowMaximized);
    } else if (clientSize_.isValid()) {
        move(awayFromOpeningButton(
            {(screen.width() - clientSize_.width()) / 2, (screen.height() - clientSize_.height()) / 2}));
    }
}

// The centred place, unless a control kept off the opening button would lie
// under it (wherever a title bar pushes the contents): then the first place
// above, below, left or right of the button that the screen holds.
QPoint Window::awayFromOpeningButton(const QPoint& centred) const
{
    if (openingButton_.isNull() || keptOffButton_.isEmpty())
        return centred;
    QRect controls;
    for (const QWidget* control : keptOffButton_)
        controls |= QRect(control->mapTo(this, QPoint(0, 0)), control->size());
    controls.setBottom(controls.bottom() + TITLE_BAR_ALLOWANCE);
    const QRect button = openingButton_.marginsAdded({CLICK_MARGIN, CLICK_MARGIN, CLICK_MARGIN, CLICK_MARGIN});
    const QRect screen(QPoint(0, 0), platform_.screen.size());
    const QSize window(clientSize_.width(), clientSize_.height() + TITLE_BAR_ALLOWANCE);
    const QPoint places[] = {
        centred,
        {centred.x(), button.top() - window.height()},
        {centred.x(), button.bottom() + 1},
        {button.left() - window.width(), centred.y()},
        {button.right() + 1, centred.y()},
    };
    for (const QPoint& place : places) {
        if (screen.contains(QRect(place, window)) && !controls.translated(place).intersects(button))
            return place;
    }
    return centred;
}

void Window::showFailedSteps(ReportList* list)
{
    connect(list, &ReportList::stepFailed, this, [this](const QString& message) {
        if (!isVisible())
            return;
        const QPointer<QWidget> typing = QApplication::focusWidget();
        platform_.prompter.critical(message);
        if (typing)
            typing->setFocus();
    });
}

void Window::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        unloaded_ = false;
        placeOnScreen();
    }
    if (visible && !loaded_) {
        loaded_ = true;
        run([this] { Form_Load(); });
    }
    QMainWindow::setVisible(visible);
}

void Window::openFromMenu(QWidget* saleWindow)
{
    setAttribute(Qt::WA_DeleteOnClose);
    hiddenSaleWindow_ = saleWindow;
    show();
    activateWindow();
    if (saleWindow)
        saleWindow->hide();
}

void Window::openFrom(QWidget* opener, const QRect& openingButton)
{
    setAttribute(Qt::WA_DeleteOnClose);
    disabledOpener_ = opener;
    openingButton_ = openingButton;
    if (opener) {
        opener->setEnabled(false);
        // A window manager keeps a dialog above the window it is transient for.
        setWindowFlag(Qt::Dialog);
        winId();
        windowHandle()->setTransientParent(opener->window()->windowHandle());
    }
    show();
    activateWindow();
}

// A window disabled by a window it opened (the payment dialog, a picker)
// refuses a close request (its title bar's X, Alt+F4) until that one closes:
// nothing is unloaded, emptied or asked meanwhile.
void Window::closeEvent(QCloseEvent* event)
{
    if (!isEnabled()) {
        event->ignore();
        return;
    }
    if (unloaded_) {   // the unload runs once per close
        event->accept();
        return;
    }
    bool cancel = false;
    if (!run([&] { Form_Unload(cancel); }))
        cancel = true;
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    unloaded_ = true;
    releaseOpener();
    emit closed();
}

// Gives the opener back exactly once, whether the window closed or was destroyed.
void Window::releaseOpener()
{
    if (QWidget* opener = disabledOpener_.data()) {
        disabledOpener_.clear();
        opener->setEnabled(true);
        resume(opener);
    }
    if (QWidget* sale = hiddenSaleWindow_.data()) {
        hiddenSaleWindow_.clear();
        sale->show();
        resume(sale);
    }
}

void Window::resume(QWidget* window)
{
    window->raise();
    window->activateWindow();
    if (auto* own = qobject_cast<Window*>(window))
        own->run([own] { own->Reanudar(); });
}
