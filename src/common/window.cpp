#include "common/window.h"

#include "common/fonts.h"
#include "common/key_filter.h"
#include "common/twips.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWindow>

namespace {

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

// Without a window manager nothing maximizes or places a window, so the
// window does it itself from the screen's size.
void Window::placeOnScreen()
{
    const QSize screen = platform_.screen.size();
    if (fillsScreen_) {
        setGeometry(QRect(QPoint(0, 0), screen));
        setWindowState(windowState() | Qt::WindowMaximized);
    } else if (clientSize_.isValid()) {
        move((screen.width() - clientSize_.width()) / 2, (screen.height() - clientSize_.height()) / 2);
    }
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

void Window::openFrom(QWidget* opener)
{
    setAttribute(Qt::WA_DeleteOnClose);
    disabledOpener_ = opener;
    if (opener)
        opener->setEnabled(false);
    show();
    activateWindow();
}

void Window::closeEvent(QCloseEvent* event)
{
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
