#include "common/prompter.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(icon, title, plainLines(text), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void MessageBoxPrompter::ok(const QString& text)
{
    showBox(QMessageBox::NoIcon, text, PROGRAM_TITLE, QMessageBox::Ok);
}

bool MessageBoxPrompter::yesNo(const QString& text, const QString& title)
{
    return showBox(QMessageBox::NoIcon, text, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
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
