#pragma once

#include "common/errors.h"

#include <QByteArray>
#include <QString>

// A receipt could not be printed; the message says why, in words for the cashier.
class PrintError : public AppError {
public:
    using AppError::AppError;
};

// A receipt printer driven as a page of text lines on a roll of paper. Each
// print writes one text at the current position and either ends the line
// (the next text starts at the left edge of the next line) or keeps the
// position just after the text. Texts at absolute positions are never cut:
// a long one overlaps what follows.
class ReceiptPrinter {
public:
    enum class Then { EndLine, KeepPosition };

    virtual ~ReceiptPrinter() = default;

    // Starts a document on a roll of this width, in the printer's own font.
    virtual void startDocument(int paperWidthMm) = 0;
    virtual void setFontSize(int points) = 0;
    virtual void setBold(bool bold) = 0;
    // The print position on the current line, from the paper's left edge.
    virtual void setPosition(double twips) = 0;
    virtual void print(const QString& text, Then then) = 0;
    // Prints the bytes as a QR code, centred on lines of its own; what
    // follows starts at the left edge below it.
    virtual void printQrCode(const QByteArray& data) = 0;
    // Hands the document to the printer without waiting for the paper.
    // Throws PrintError when the printer cannot take it.
    virtual void endDocument() = 0;
};
