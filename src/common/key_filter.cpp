#include "common/key_filter.h"

#include "common/control_characters.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Ctrl and Ctrl+Shift combinations are the box's own shortcuts (copy, select
// all, undo...); the box never types their text.
bool isShortcut(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier);
}

bool typesText(const QString& text)
{
    for (QChar c : text) {
        if (c.isPrint())
            return true;
    }
    return false;
}

QString acceptedPart(const QString& text, const KeyFilter::Accepts& accepts)
{
    QString accepted;
    accepted.reserve(text.size());
    for (QChar c : text) {
        if (accepts(c))
            accepted.append(c);
    }
    return accepted;
}

// A keyboard paste inserts only the accepted characters, so that the box's
// maximum length counts those and not the refused ones. False when the box
// may paste by itself.
bool pasteAcceptedPart(QLineEdit* box, const KeyFilter::Accepts& accepts)
{
    if (box->isReadOnly())
        return false;
    const QString clip = QGuiApplication::clipboard()->text();
    const QString accepted = acceptedPart(clip, accepts);
    if (accepted == clip)
        return false;
    if (!accepted.isEmpty() || box->hasSelectedText())
        box->insert(accepted);
    return true;
}

// Where two texts differ: the new text is the old one with `length`
// characters at `start` in place of some of the old ones.
struct Insertion {
    qsizetype start = 0;
    qsizetype length = 0;
};

Insertion insertion(const QString& before, const QString& after)
{
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, after.size() - prefix - suffix};
}

// Runs a copy, so that an action that replaces the filter's actions
// (setOnEnter) still runs to its end.
void run(const KeyFilter::Action& action)
{
    if (action) {
        const KeyFilter::Action copy = action;
        copy();
    }
}

}  // namespace

// A window's filter takes only characters that a key can type (printable ones).
KeyFilter* KeyFilter::install(QLineEdit* box, Accepts accepts, Action onEnter, Action onEscape)
{
    const Accepts takes = accepts ? std::move(accepts) : Accepts(&KeyFilter::anyCharacter);
    auto* filter = new KeyFilter(box, [takes](QChar c) { return c.isPrint() && takes(c); }, true);
    filter->onEnter_ = std::move(onEnter);
    filter->onEscape_ = std::move(onEscape);
    return attach(box, filter);
}

KeyFilter* KeyFilter::installTextGuard(QLineEdit* box)
{
    if (auto* own = box->findChild<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly))
        return own;
    return attach(box, new KeyFilter(box, [](QChar c) { return !isControlCharacter(c); }, false));
}

KeyFilter* KeyFilter::attach(QLineEdit* box, KeyFilter* filter)
{
    for (KeyFilter* other : box->findChildren<KeyFilter*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (other != filter)
            delete other;
    }
    box->installEventFilter(filter);
    connect(box, &QLineEdit::textEdited, filter, &KeyFilter::dropRefusedCharacters);
    // The box's own text, not the signal's: after a filtered edit the box
    // still announces the unfiltered text once.
    connect(box, &QLineEdit::textChanged, filter, [filter] { filter->textBefore_ = filter->box_->text(); });
    return filter;
}

KeyFilter::KeyFilter(QLineEdit* box, Accepts accepts, bool ownsEnterAndEscape)
    : QObject(box), box_(box), textBefore_(box->text()), accepts_(std::move(accepts)),
      ownsEnterAndEscape_(ownsEnterAndEscape)
{
}

bool KeyFilter::digits(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool KeyFilter::lowercaseOrDigits(QChar c)
{
    return (c >= u'a' && c <= u'z') || digits(c);
}

bool KeyFilter::digitsCommaPoint(QChar c)
{
    return digits(c) || c == u',' || c == u'.';
}

bool KeyFilter::anyCharacter(QChar c)
{
    return c.unicode() <= 0xFF;
}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != box_ || event->type() != QEvent::KeyPress)
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.key() == Qt::Key_Backspace)
        return false;
    if (ownsEnterAndEscape_ && isEnter(key.key())) {
        run(onEnter_);
        return true;
    }
    if (ownsEnterAndEscape_ && key.key() == Qt::Key_Escape) {
        run(onEscape_);
        return true;
    }
    if (key.matches(QKeySequence::Paste))
        return pasteAcceptedPart(box_, accepts_);
    if (isShortcut(key) || !typesText(key.text()))
        return false;
    return acceptedPart(key.text(), accepts_) != key.text();
}

// Only what the edit brought in is filtered: text that the window wrote into
// the box itself stays as written. textEdited comes before textChanged, so
// textBefore_ still holds the text before this edit.
void KeyFilter::dropRefusedCharacters(const QString& edited)
{
    const Insertion added = insertion(textBefore_, edited);
    const QString inserted = edited.mid(added.start, added.length);
    const QString accepted = acceptedPart(inserted, accepts_);
    if (accepted == inserted)
        return;
    const qsizetype cursor = box_->cursorPosition();
    const qsizetype insertedBeforeCursor = qBound<qsizetype>(0, cursor - added.start, added.length);
    const qsizetype refusedBeforeCursor =
        insertedBeforeCursor - acceptedPart(inserted.left(insertedBeforeCursor), accepts_).size();
    box_->setText(edited.left(added.start) + accepted + edited.mid(added.start + added.length));
    box_->setCursorPosition(static_cast<int>(cursor - refusedBeforeCursor));
}
