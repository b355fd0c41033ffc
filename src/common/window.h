#pragma once

#include "common/guard.h"
#include "common/key_filter.h"
#include "common/platform.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

class ReportList;

// A control's name, place in twips (relative to its parent), caption and
// font, as its window declares them in one table.
struct ControlPlace {
    QWidget* control;
    QString name;
    double left, top, width, height;
    QString caption = {};   // labels, buttons, check boxes, option buttons, frames
    int fontPoints = 0;     // 0 keeps the toolkit's font
    bool bold = true;
};

// Names, places, captions and fonts every control of the table.
void applyLayout(const QList<ControlPlace>& table);

// What every window of the program shares: the caption, guarded event
// handlers, the load on first show, the close with an optional cancel, its
// place on the screen, and the opening protocol towards the window that
// opened it.
class Window : public QMainWindow {
    Q_OBJECT
public:
    explicit Window(Platform& platform, QWidget* parent = nullptr);
    ~Window() override;

    Platform& platform() const { return platform_; }
    const QList<ControlPlace>& controlTable() const { return controls_; }

    // Opened from the sale window's menu: the sale window is hidden once this
    // one shows, and shown again when this one closes, however it closes.
    void openFromMenu(QWidget* saleWindow);
    // Opened from another window: that window stays visible but disabled
    // until this one closes, however it closes, refuses to be closed
    // meanwhile, and this one stays above it whatever is clicked. The controls kept off the opening button (see
    // keepOffOpeningButton) open away from the area of the screen given: the
    // button that opened this window, which the second click of a double
    // click hits again.
    void openFrom(QWidget* opener, const QRect& openingButton = {});

    // Runs an action as an event handler: an error of the database or of a
    // conversion shows the critical box and the program goes on. False when
    // the action stopped on an error.
    template <typename Action>
    bool run(Action&& action)
    {
        bool completed = false;
        guarded(platform_.prompter, [&] {
            action();
            completed = true;
        });
        return completed;
    }

    // Connects a signal to a guarded handler of this window.
    template <typename Sender, typename Signal, typename Handler>
    void on(Sender* sender, Signal signal, Handler handler)
    {
        connect(sender, signal, this, [this, handler] { run(handler); });
    }

    // Gives a text box of this window its key filter (see KeyFilter); the
    // Enter and Escape actions are guarded handlers of this window.
    KeyFilter* filterKeys(QLineEdit* box, KeyFilter::Accepts accepts, KeyFilter::Action onEnter = {},
                          KeyFilter::Action onEscape = {});

    void setVisible(bool visible) override;

    // A list of this window that reads its rows in steps tells a step that
    // failed with the critical box, while this window shows; the keyboard
    // stays where it was.
    void showFailedSteps(ReportList* list);

signals:
    // The window has closed (its unload was not cancelled).
    void closed();

protected:
    // The load runs once, the first time the window is shown, before it appears.
    virtual void Form_Load() {}
    // The window is back in use after a window it opened has closed: the
    // place for giving the keyboard back to the box that waits for it.
    virtual void Reanudar() {}
    // The close asks here first; setting cancel keeps the window open. An
    // error inside keeps it open too, so nothing is lost.
    virtual void Form_Unload(bool& cancel) { Q_UNUSED(cancel) }

    // The controls' table: names, places, captions and fonts. Its text boxes
    // (and editable combo boxes, made editable before) drop control
    // characters typed or pasted; a filter installed later keeps that.
    void declareControls(const QList<ControlPlace>& table);
    // A window of fixed client size in twips, centred on the screen.
    void setClientSizeTwips(double width, double height);
    // A window that fills the screen, with or without a window manager.
    void setFillsScreen();
    // Controls that must not open under the button that opened the window.
    void keepOffOpeningButton(const QList<QWidget*>& controls);

    void closeEvent(QCloseEvent* event) override;

private:
    void placeOnScreen();
    QPoint awayFromOpeningButton(const QPoint& centred) const;
    void releaseOpener();
    static void resume(QWidget* window);

    Platform& platform_;
    QList<ControlPlace> controls_;
    bool loaded_ = false;
    bool unloaded_ = false;   // the close was accepted and the window not shown since
    bool fillsScreen_ = false;
    QSize clientSize_;
    QList<QWidget*> keptOffButton_;
    QRect openingButton_;   // in screen coordinates
    QPointer<QWidget> hiddenSaleWindow_;
    QPointer<QWidget> disabledOpener_;
};
