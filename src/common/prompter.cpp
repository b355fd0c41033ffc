#include "common/prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace {

// A lone carriage return is a line break in the program's messages.
QString plainLines(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

QMessageBox::StandardButton showBox(QMessageBox::Icon icon, const QString& text, const QString& title,
                                    QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton = QMessageBox::Ok)
{
    // The keyboard goes back where it was, so that a scan after the message
    // is not lost, with or without a window manager.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    QMessageBox box(icon, title, plainLines(text), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (QAbstractButton* yes = box.button(QMessageBox::Yes))
        yes->setText(QStringLiteral("Sim"));
    if (QAbstractButton* no = box.button(QMessageBox::No))
        no->setText(QStringLiteral("Não"));
    box.setDefaultButton(defaultButton);
    if (buttons.testFlag(QMessageBox::No))
        box.setEscapeButton(QMessageBox::No);
    const auto answer = static_cast<QMessageBox::StandardButton>(box.exec());
    if (focused && focused->isVisible() && focused->isEnabled()) {
        focused->activateWindow();
        focused->setFocus(Qt::OtherFocusReason);
    }
    return answer;
}

}  // namespace

void MessageBoxPrompter::ok(const QString& text)
{
    showBox(QMessageBox::NoIcon, text, PROGRAM_TITLE, QMessageBox::Ok);
}

bool MessageBoxPrompter::yesNo(const QString& text, const QString& title)
{
    // No is the default: an Enter meant for the code box never confirms anything.
    return showBox(QMessageBox::NoIcon, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void MessageBoxPrompter::critical(const QString& text)
{
    showBox(QMessageBox::Critical, text, PROGRAM_TITLE, QMessageBox::Ok);
}

void MessageBoxPrompter::exclamation(const QString& text, const QString& title)
{
    showBox(QMessageBox::Warning, text, title, QMessageBox::Ok);
}
