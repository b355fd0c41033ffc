#pragma once

#include "common/receipt_printer.h"

#include <QList>

class RawPrintQueue;

// How many characters a line of each roll holds in the printer's own font.
struct RollColumns {
    int mm80 = 48;
    int mm58 = 32;
};

// A thermal roll printer fed with its own commands through a raw queue. The
// page positions become character columns in proportion to the roll's width;
// a text whose column is already taken starts on the next line at its column,
// so values stay in their columns and nothing is overwritten; a line longer
// than the roll continues on the next line (a part that is only spaces is
// left out). Bold is the printer's bold; a size above 10 points prints double
// height. Every text is encoded in the Portuguese code page, and the paper is
// cut after the last line.
class EscPosReceiptPrinter : public ReceiptPrinter {
public:
    EscPosReceiptPrinter(RawPrintQueue& queue, RollColumns columns) : queue_(queue), columns_(columns) {}

    void startDocument(int paperWidthMm) override;
    void setFontSize(int points) override;
    void setBold(bool bold) override;
    void setPosition(double twips) override;
    void print(const QString& text, Then then) override;
    void printQrCode(const QByteArray& data) override;
    void endDocument() override;

    struct Piece {
        int column;   // negative: just after the previous text
        QString text;
        bool bold;
        bool tall;
        QByteArray commands;   // set: the printer's own commands, alone on their line
    };
    using Line = QList<Piece>;

private:
    QByteArray document() const;

    RawPrintQueue& queue_;
    RollColumns columns_;
    int paperWidthMm_ = 80;
    int lineColumns_ = 48;
    bool bold_ = false;
    bool tall_ = false;
    int column_ = -1;
    Line current_;
    QList<Line> lines_;
};
