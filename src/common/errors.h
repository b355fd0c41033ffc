#pragma once

#include <QString>
#include <stdexcept>

// Base of every error the program reports to the cashier. The message is
// Portuguese text ready to be shown in a message box.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// A text that should hold a number (or a date) does not.
class ConversionError : public AppError {
public:
    using AppError::AppError;
};
