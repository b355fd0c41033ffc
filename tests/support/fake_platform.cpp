#include "support/fake_platform.h"

QStringList FakePrompter::texts() const
{
    QStringList all;
    for (const Message& m : messages)
        all.append(m.text);
    return all;
}

QStringList FakeReceiptPrinter::Document::texts() const
{
    QStringList all;
    for (const Line& line : lines) {
        QString joined;
        for (const Piece& piece : line)
            joined += piece.text;
        all.append(joined);
    }
    return all;
}

void FakeReceiptPrinter::startDocument(int paperWidthMm)
{
    current_ = Document{paperWidthMm, {}, {}, false};
    line_.clear();
    points_ = 0;
    bold_ = false;
    position_ = -1;
}

void FakeReceiptPrinter::print(const QString& text, Then then)
{
    line_.append({position_, text, points_, bold_});
    position_ = -1;
    if (then == Then::EndLine) {
        current_.lines.append(line_);
        line_.clear();
    }
}

void FakeReceiptPrinter::endDocument()
{
    if (!failure.isEmpty())
        throw PrintError(failure);
    current_.ended = true;
    documents.append(current_);
}
