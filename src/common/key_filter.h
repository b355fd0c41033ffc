#pragma once

#include <QObject>
#include <functional>

class QLineEdit;

// The typed-character filter of a text box. Every typed printable character
// is offered to `accepts`; a refused one is swallowed without a sound.
// Backspace always passes. Enter runs `onEnter` and is consumed; Escape runs
// `onEscape` when given and is consumed. Keys that type no character (arrows,
// Delete, copy and the like) are left to the box. Text that arrives otherwise
// (paste, drop) loses every character the filter would have refused from the
// keyboard, and Enter or Escape inside it triggers nothing. A box has one
// filter: installing another replaces it.
class KeyFilter : public QObject {
    Q_OBJECT
public:
    using Accepts = std::function<bool(QChar)>;
    using Action = std::function<void()>;

    static KeyFilter* install(QLineEdit* box, Accepts accepts, Action onEnter = {}, Action onEscape = {});

    // The least filter, which every text box of a window has unless it has a
    // filter of its own: typed or pasted text loses its control characters
    // (line breaks, tabs, escapes...) and nothing else; Enter and Escape stay
    // the box's. A box that already has a filter keeps it.
    static KeyFilter* installTextGuard(QLineEdit* box);

    void setOnEnter(Action action) { onEnter_ = std::move(action); }
    void setOnEscape(Action action) { onEscape_ = std::move(action); }

    // Common filters.
    static bool digits(QChar c);                  // "0"–"9"
    static bool lowercaseOrDigits(QChar c);       // "a"–"z", "0"–"9"
    static bool digitsCommaPoint(QChar c);        // "0"–"9", ",", "."
    static bool anyCharacter(QChar c);            // character codes 0–255

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyFilter(QLineEdit* box, Accepts accepts, bool ownsEnterAndEscape);
    static KeyFilter* attach(QLineEdit* box, KeyFilter* filter);
    void dropRefusedCharacters(const QString& edited);

    QLineEdit* box_;
    QString textBefore_;   // the box's text before the edit being filtered
    Accepts accepts_;      // the whole test of a character that may enter the box
    bool ownsEnterAndEscape_;
    Action onEnter_;
    Action onEscape_;
};
