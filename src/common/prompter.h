#pragma once

#include <QString>

inline const QString PROGRAM_TITLE = QStringLiteral("Tenduca 1.0");
inline const QString WINDOW_CAPTION = QStringLiteral("TENDUCA 1.0");

// Every message box of the program goes through here, so that tests can
// record the messages and answer the questions.
class Prompter {
public:
    virtual ~Prompter() = default;
    // OK button, no icon, the program's title as caption.
    virtual void ok(const QString& text) = 0;
    // Yes and No buttons, no icon; true for Yes.
    virtual bool yesNo(const QString& text, const QString& title) = 0;
    // OK button with the critical icon and the program's title.
    virtual void critical(const QString& text) = 0;
    // OK button with the exclamation icon and the given title.
    virtual void exclamation(const QString& text, const QString& title) = 0;
};

// The real one: QMessageBox over the active window.
class MessageBoxPrompter : public Prompter {
public:
    void ok(const QString& text) override;
    bool yesNo(const QString& text, const QString& title) override;
    void critical(const QString& text) override;
    void exclamation(const QString& text, const QString& title) override;
};
