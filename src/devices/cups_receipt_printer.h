#pragma once

#include "common/receipt_printer.h"

#include <QList>

// The system's default printer, through the printing service. The document
// is laid out on a page as wide as the roll and as long as its lines need,
// drawn with the toolkit's painter, and queued; the program never waits for
// the paper (a job queued to a paused printer is reported, since it waits
// there). The printer's own font is a fixed-pitch one, so that spaced
// columns line up.
class CupsReceiptPrinter : public ReceiptPrinter {
public:
    void startDocument(int paperWidthMm) override;
    void setFontSize(int points) override;
    void setBold(bool bold) override;
    void setPosition(double twips) override;
    void print(const QString& text, Then then) override;
    void printQrCode(const QByteArray& data) override;
    void endDocument() override;

    // The size of the printer's own font.
    static constexpr int DEFAULT_POINTS = 8;

    struct Piece {
        double twips;   // negative: just after the previous text
        QString text;
        int points;
        bool bold;
        QByteArray qr;   // set: a QR code of these bytes, alone on its line
    };
    using Line = QList<Piece>;

private:
    void queue(const QString& pdfPath, double lengthMm) const;

    int paperWidthMm_ = 80;
    int points_ = DEFAULT_POINTS;
    bool bold_ = false;
    double position_ = -1;
    Line current_;
    QList<Line> lines_;
};
