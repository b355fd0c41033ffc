#include "common/key_filter.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include "support/keyboard.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

using Predicate = bool (*)(QChar);

// A shown dialog holding a text box with the focus and a default button.
struct Window {
    Window()
    {
        auto* layout = new QVBoxLayout(&widget);
        layout->addWidget(box);
        layout->addWidget(button);
        button->setDefault(true);
        QObject::connect(button, &QPushButton::clicked, &widget, &QDialog::accept);
        widget.show();
        widget.activateWindow();
        box->setFocus();
    }
    QDialog widget;
    QLineEdit* box = new QLineEdit(&widget);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), &widget);
};

}  // namespace

Q_DECLARE_METATYPE(Predicate)

class TestKeyFilter : public QObject {
    Q_OBJECT
private slots:
    void typedCharacters_data();
    void typedCharacters();
    void endsOfTheRanges_data();
    void endsOfTheRanges();
    void editingKeysReachTheBox();
    void enterAndEscape_data();
    void enterAndEscape();
    void enterActionMayCloseTheBox_data();
    void enterActionMayCloseTheBox();
    void enterActionMayReplaceItself();
    void pasteKeepsAcceptedCharacters_data();
    void pasteKeepsAcceptedCharacters();
    void otherEditsAreFiltered();
    void programmaticTextIsKept();
    void textGuardDropsControlCharactersOnly_data();
    void textGuardDropsControlCharactersOnly();
};

void TestKeyFilter::typedCharacters_data()
{
    QTest::addColumn<Predicate>("accepts");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const Predicate digits = &KeyFilter::digits;
    const Predicate lowercase = &KeyFilter::lowercaseOrDigits;
    const Predicate quantity = &KeyFilter::digitsCommaPoint;
    const Predicate any = &KeyFilter::anyCharacter;

    QTest::newRow("digits refuse a letter") << digits << 100 << "a" << "";
    QTest::newRow("digits refuse a space") << digits << 100 << " " << "";
    QTest::newRow("digits refuse an accented letter") << digits << 100 << "é" << "";
    QTest::newRow("digits refuse a minus") << digits << 100 << "-" << "";
    QTest::newRow("digits take a digit") << digits << 100 << "7" << "7";
    QTest::newRow("digits among others") << digits << 100 << "1,2a3" << "123";
    QTest::newRow("lowercase refuses uppercase") << lowercase << 100 << "A" << "";
    QTest::newRow("lowercase takes lowercase") << lowercase << 100 << "a" << "a";
    QTest::newRow("lowercase among others") << lowercase << 100 << "aZ 9é-b" << "a9b";
    QTest::newRow("quantity") << quantity << 100 << "1,5.x-" << "1,5.";
    QTest::newRow("any Latin-1 character") << any << 100 << "Ação 1-2!" << "Ação 1-2!";
    QTest::newRow("beyond Latin-1") << any << 100 << "a€b" << "ab";
    QTest::newRow("maximum length still applies") << digits << 6 << "12345678" << "123456";
    QTest::newRow("refused keys do not count") << digits << 3 << "1x2y3" << "123";
}

void TestKeyFilter::typedCharacters()
{
    QFETCH(Predicate, accepts);
    QFETCH(int, maxLength);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    Window window;
    window.box->setMaxLength(maxLength);
    KeyFilter::install(window.box, accepts);
    typeKeys(window.box, typed);
    QCOMPARE(window.box->text(), expected);
}

void TestKeyFilter::endsOfTheRanges_data()
{
    QTest::addColumn<Predicate>("accepts");
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("expected");
    const Predicate digits = &KeyFilter::digits;
    const Predicate lowercase = &KeyFilter::lowercaseOrDigits;
    const Predicate quantity = &KeyFilter::digitsCommaPoint;
    const Predicate any = &KeyFilter::anyCharacter;

    QTest::newRow("digits: the ends") << digits << "09" << "09";
    QTest::newRow("digits: just outside") << digits << "/:" << "";
    QTest::newRow("lowercase: the ends") << lowercase << "az09" << "az09";
    QTest::newRow("lowercase: just outside") << lowercase << "`{/:@[AZ" << "";
    QTest::newRow("quantity: the ends") << quantity << "09,." << "09,.";
    QTest::newRow("quantity: just outside") << quantity << "/:+-" << "";
    QTest::newRow("any: the ends") << any << QString(QChar(0x20)) + QChar(0xFF) << QString(QChar(0x20)) + QChar(0xFF);
    QTest::newRow("any: just outside") << any << QString(QChar(0x100)) << "";
}

// Typed key by key and pasted at once, the same characters get through.
void TestKeyFilter::endsOfTheRanges()
{
    QFETCH(Predicate, accepts);
    QFETCH(QString, entered);
    QFETCH(QString, expected);

    Window typed;
    KeyFilter::install(typed.box, accepts);
    typeKeys(typed.box, entered);
    QCOMPARE(typed.box->text(), expected);

    Window pasted;
    KeyFilter::install(pasted.box, accepts);
    QGuiApplication::clipboard()->setText(entered);
    QTest::keySequence(pasted.box, QKeySequence::Paste);
    QCOMPARE(pasted.box->text(), expected);
}

void TestKeyFilter::editingKeysReachTheBox()
{
    Window window;
    KeyFilter::install(window.box, &KeyFilter::digits);
    typeKeys(window.box, QStringLiteral("123"));

    QTest::keyClick(window.box, Qt::Key_Backspace);
    QCOMPARE(window.box->text(), QStringLiteral("12"));
    QTest::keyClick(window.box, Qt::Key_Home);
    QTest::keyClick(window.box, Qt::Key_Delete);
    QCOMPARE(window.box->text(), QStringLiteral("2"));
    QTest::keyClick(window.box, Qt::Key_End);
    QTest::keyClick(window.box, Qt::Key_Left);
    typeKeys(window.box, QStringLiteral("9"));
    QCOMPARE(window.box->text(), QStringLiteral("92"));

    QTest::keySequence(window.box, QKeySequence::SelectAll);
    QTest::keySequence(window.box, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("92"));
    typeKeys(window.box, QStringLiteral("5"));
    QCOMPARE(window.box->text(), QStringLiteral("5"));
}

void TestKeyFilter::enterAndEscape_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("enters");
    QTest::addColumn<int>("escapes");

    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier) << 1 << 0;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1 << 0;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier) << 0 << 1;
}

void TestKeyFilter::enterAndEscape()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, enters);
    QFETCH(int, escapes);

    Window window;
    int entered = 0;
    int escaped = 0;
    KeyFilter::install(window.box, &KeyFilter::anyCharacter, [&] { ++entered; }, [&] { ++escaped; });
    QSignalSpy returnPressed(window.box, &QLineEdit::returnPressed);
    QSignalSpy dialogFinished(&window.widget, &QDialog::finished);
    typeKeys(window.box, QStringLiteral("ab"));

    QTest::keyClick(window.box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(entered, enters);
    QCOMPARE(escaped, escapes);
    QCOMPARE(window.box->text(), QStringLiteral("ab"));
    // The key stays in the box: no default button, no closing of the dialog.
    QCOMPARE(returnPressed.count(), 0);
    QCOMPARE(dialogFinished.count(), 0);
}

void TestKeyFilter::enterActionMayCloseTheBox_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("disable") << "disable";
    QTest::newRow("hide") << "hide";
    QTest::newRow("nested event loop") << "nested";
    QTest::newRow("close and delete the window") << "delete";
}

// What an Enter action does to the box (as a window's action may: disable it,
// hide it, show a modal message, close the window) must not trip the filter.
void TestKeyFilter::enterActionMayCloseTheBox()
{
    QFETCH(QString, action);

    QPointer<QWidget> window = new QWidget;
    QPointer<QLineEdit> box = new QLineEdit(window);
    window->show();
    box->setFocus();
    int entered = 0;
    const QHash<QString, std::function<void()>> actions = {
        {"disable", [&] { box->setEnabled(false); }},
        {"hide", [&] { box->hide(); }},
        {"nested", [&] { QTest::qWait(10); }},
        {"delete", [&] { window->setAttribute(Qt::WA_DeleteOnClose); window->close(); }},
    };
    KeyFilter::install(box, &KeyFilter::digits, [&] {
        ++entered;
        actions[action]();
    });
    typeKeys(box, QStringLiteral("4"));

    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(entered, 1);
    if (action == "delete") {
        QTRY_VERIFY(window.isNull());
        QVERIFY(box.isNull());
        return;
    }
    QCOMPARE(box->text(), QStringLiteral("4"));
    delete window;
}

void TestKeyFilter::enterActionMayReplaceItself()
{
    Window window;
    QStringList runs;
    KeyFilter* filter = KeyFilter::install(window.box, &KeyFilter::digits);
    filter->setOnEnter([&runs, filter] {
        const QString name = QStringLiteral("first");
        filter->setOnEnter([&runs] { runs.append(QStringLiteral("second")); });
        runs.append(name);
    });

    QTest::keyClick(window.box, Qt::Key_Return);
    QTest::keyClick(window.box, Qt::Key_Return);
    QCOMPARE(runs, QStringList({"first", "second"}));
}

void TestKeyFilter::pasteKeepsAcceptedCharacters_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("cursorAfter");

    QTest::newRow("letters and line break") << "" << 0 << 100 << "12ab\r34" << "1234" << 4;
    QTest::newRow("into the middle") << "90" << 1 << 100 << "1\n2\t" << "9120" << 3;
    QTest::newRow("refused ones leave room") << "" << 0 << 4 << "1a2b3c4d5" << "1234" << 4;
    QTest::newRow("nothing accepted") << "55" << 2 << 100 << "abc" << "55" << 2;
    QTest::newRow("all accepted") << "5" << 1 << 100 << "67" << "567" << 3;
}

void TestKeyFilter::pasteKeepsAcceptedCharacters()
{
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(int, maxLength);
    QFETCH(QString, clip);
    QFETCH(QString, after);
    QFETCH(int, cursorAfter);

    for (const QKeySequence& paste : QKeySequence::keyBindings(QKeySequence::Paste)) {
        Window window;
        int entered = 0;
        KeyFilter::install(window.box, &KeyFilter::digits, [&] { ++entered; });
        window.box->setMaxLength(maxLength);
        window.box->setText(before);
        window.box->setCursorPosition(cursor);
        QGuiApplication::clipboard()->setText(clip);

        QTest::keySequence(window.box, paste);
        QCOMPARE(window.box->text(), after);
        QCOMPARE(window.box->cursorPosition(), cursorAfter);
        QCOMPARE(entered, 0);
    }
}

// The context menu's paste and a composed character from an input method do
// not come as key presses; the box still drops what it refuses.
void TestKeyFilter::otherEditsAreFiltered()
{
    Window window;
    int entered = 0;
    KeyFilter::install(window.box, &KeyFilter::digits, [&] { ++entered; });
    window.box->setText(QStringLiteral("90"));
    window.box->setCursorPosition(1);

    QGuiApplication::clipboard()->setText(QStringLiteral("12ab\r34"));
    window.box->paste();
    QCOMPARE(window.box->text(), QStringLiteral("912340"));
    QCOMPARE(window.box->cursorPosition(), 5);

    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("é7"));
    QCoreApplication::sendEvent(window.box, &composed);
    QCOMPARE(window.box->text(), QStringLiteral("9123470"));
    QCOMPARE(entered, 0);
}

// A window may write any text into a box; later edits filter only what they
// bring in and keep the rest as written.
void TestKeyFilter::programmaticTextIsKept()
{
    Window window;
    KeyFilter::install(window.box, &KeyFilter::digits);
    window.box->setText(QStringLiteral("AB-"));
    QCOMPARE(window.box->text(), QStringLiteral("AB-"));

    typeKeys(window.box, QStringLiteral("1x"));
    QCOMPARE(window.box->text(), QStringLiteral("AB-1"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x2"));
    window.box->paste();
    QCOMPARE(window.box->text(), QStringLiteral("AB-12"));
    QTest::keyClick(window.box, Qt::Key_Home);
    typeKeys(window.box, QStringLiteral("7"));
    QCOMPARE(window.box->text(), QStringLiteral("7AB-12"));
    QCOMPARE(window.box->cursorPosition(), 1);
}

void TestKeyFilter::textGuardDropsControlCharactersOnly_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("expected");
    QTest::newRow("control characters")
        << QString("Arroz\r\nTipo\t1") + QChar(0x1b) + "[31m" + QChar(7) + QChar(0x1f) + QChar(0x7f) << "ArrozTipo1[31m";
    QTest::newRow("every other character") << "Pão d'Água € ☕ ½ %_" << "Pão d'Água € ☕ ½ %_";
}

// A box with no filter of its own: typed or pasted, only the control
// characters are dropped, and Enter stays the box's.
void TestKeyFilter::textGuardDropsControlCharactersOnly()
{
    QFETCH(QString, entered);
    QFETCH(QString, expected);

    Window typed;
    KeyFilter::installTextGuard(typed.box);
    typeKeys(typed.box, entered);
    QCOMPARE(typed.box->text(), expected);

    Window pasted;
    KeyFilter::installTextGuard(pasted.box);
    QSignalSpy returnPressed(pasted.box, &QLineEdit::returnPressed);
    QGuiApplication::clipboard()->setText(entered);
    QTest::keySequence(pasted.box, QKeySequence::Paste);
    QCOMPARE(pasted.box->text(), expected);
    pasted.box->clear();
    pasted.box->paste();
    QCOMPARE(pasted.box->text(), expected);
    QTest::keyClick(pasted.box, Qt::Key_Return);
    QCOMPARE(returnPressed.count(), 1);
}

QTEST_MAIN(TestKeyFilter)
#include "tst_key_filter.moc"
