#include "devices/escpos_receipt_printer.h"

#include "common/qr_matrix.h"
#include "devices/escpos_qr.h"
#include "devices/escpos_text.h"
#include "devices/raw_print_queue.h"

#include <cmath>

namespace {

constexpr double TWIPS_PER_MM = 1440 / 25.4;
constexpr int NORMAL_POINTS = 10;

struct Cell {
    QChar c;
    bool bold;
    bool tall;
};
using Row = QList<Cell>;

// One printed line per row: a text whose column is already taken opens a new row.
QList<Row> rowsOf(const EscPosReceiptPrinter::Line& line)
{
    QList<Row> rows{Row{}};
    for (const auto& piece : line) {
        int column = piece.column < 0 ? int(rows.last().size()) : piece.column;
        if (column < rows.last().size())
            rows.append(Row{});
        while (rows.last().size() < column)
            rows.last().append({u' ', piece.bold, piece.tall});
        for (const QChar c : piece.text)
            rows.last().append({c, piece.bold, piece.tall});
    }
    return rows;
}

void trimEnd(Row& row)
{
    while (!row.isEmpty() && row.last().c == u' ')
        row.removeLast();
}

// A row longer than the roll goes on over several lines; a part of only spaces is left out.
QList<Row> fitted(Row row, int width)
{
    trimEnd(row);
    if (row.size() <= width)
        return {row};
    QList<Row> parts;
    for (qsizetype from = 0; from < row.size(); from += width) {
        Row part = row.mid(from, width);
        trimEnd(part);
        if (!part.isEmpty())
            parts.append(part);
    }
    return parts;
}

class Output {
public:
    Output() { bytes_ = EscPos::INITIALIZE + EscPos::CODE_PAGE_PORTUGUESE; }

    void row(const Row& row)
    {
        for (const Cell& cell : row) {
            style(cell.bold, cell.tall);
            bytes_ += EscPos::encode(QString(cell.c));
        }
        bytes_ += EscPos::LINE_FEED;
    }

    void commands(const QByteArray& commands) { bytes_ += commands; }

    const QByteArray& bytes() const { return bytes_; }

private:
    void style(bool bold, bool tall)
    {
        if (bold != bold_)
            bytes_ += bold ? EscPos::BOLD_ON : EscPos::BOLD_OFF;
        if (tall != tall_)
            bytes_ += tall ? EscPos::DOUBLE_HEIGHT : EscPos::NORMAL_SIZE;
        bold_ = bold;
        tall_ = tall;
    }

    QByteArray bytes_;
    bool bold_ = false;
    bool tall_ = false;
};

}   // namespace

void EscPosReceiptPrinter::startDocument(int paperWidthMm)
{
    paperWidthMm_ = paperWidthMm;
    lineColumns_ = paperWidthMm <= 58 ? columns_.mm58 : columns_.mm80;
    bold_ = false;
    tall_ = false;
    column_ = -1;
    current_.clear();
    lines_.clear();
}

void EscPosReceiptPrinter::setFontSize(int points)
{
    tall_ = points > NORMAL_POINTS;
}

void EscPosReceiptPrinter::setBold(bool bold)
{
    bold_ = bold;
}

void EscPosReceiptPrinter::setPosition(double twips)
{
    column_ = int(std::lround(twips * lineColumns_ / (paperWidthMm_ * TWIPS_PER_MM)));
}

void EscPosReceiptPrinter::print(const QString& text, Then then)
{
    current_.append({column_, EscPos::printable(text), bold_, tall_, {}});
    column_ = -1;
    if (then == Then::EndLine) {
        lines_.append(current_);
        current_.clear();
    }
}

// The printer draws the code itself, centred, at the largest module size the roll holds.
void EscPosReceiptPrinter::printQrCode(const QByteArray& data)
{
    if (!current_.isEmpty())
        print(QString(), Then::EndLine);
    const std::optional<QrMatrix> matrix = QrMatrix::encode(data);
    if (!matrix)
        throw PrintError(QStringLiteral("o código QR é grande demais para ser impresso"));
    const int moduleSize = EscPos::qrModuleSize(matrix->size(), paperWidthMm_);
    lines_.append({{0, QString(), false, false,
                    EscPos::ALIGN_CENTRE + EscPos::qrCode(data, moduleSize) + EscPos::ALIGN_LEFT}});
    column_ = -1;
}

QByteArray EscPosReceiptPrinter::document() const
{
    Output output;
    for (const Line& line : lines_) {
        if (line.size() == 1 && !line.first().commands.isEmpty()) {
            output.commands(line.first().commands);
            continue;
        }
        for (const Row& row : rowsOf(line))
            for (const Row& part : fitted(row, lineColumns_))
                output.row(part);
    }
    return output.bytes();
}

void EscPosReceiptPrinter::endDocument()
{
    if (!current_.isEmpty())
        print(QString(), Then::EndLine);
    const QByteArray job = document() + EscPos::CUT;
    lines_.clear();
    queue_.send(job, QStringLiteral("Recibo"));
}
