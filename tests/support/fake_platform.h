#pragma once

#include "common/clock.h"
#include "common/platform.h"
#include "common/prompter.h"
#include "common/receipt_printer.h"
#include "common/screen.h"
#include "support/fake_spreadsheet.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <functional>

// Records every message box and answers Yes/No questions from a queue, so no
// test ever waits on a modal box.
class FakePrompter : public Prompter {
public:
    enum class Kind { Ok, YesNo, Critical, Exclamation };
    struct Message {
        Kind kind;
        QString text;
        QString title;
    };

    void ok(const QString& text) override { show({Kind::Ok, text, PROGRAM_TITLE}); }
    bool yesNo(const QString& text, const QString& title) override
    {
        show({Kind::YesNo, text, title});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    void critical(const QString& text) override { show({Kind::Critical, text, PROGRAM_TITLE}); }
    void exclamation(const QString& text, const QString& title) override { show({Kind::Exclamation, text, title}); }

    QStringList texts() const;
    QString last() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear() { messages.clear(); }

    QList<Message> messages;
    QQueue<bool> answers;
    // Runs while a box is shown, as a modal box's own event loop delivers
    // what was queued meanwhile.
    std::function<void()> whileShown;

private:
    void show(const Message& message)
    {
        messages.append(message);
        if (whileShown)
            whileShown();
    }
};

class FakeClock : public Clock {
public:
    QDateTime now() const override { return moment; }
    QDateTime moment = QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2));
};

class FakeScreen : public Screen {
public:
    QSize size() const override { return pixels; }
    QSize pixels = QSize(1024, 768);
};

// Records every printed text with its position and font, line by line and
// document by document. With a failure set, ending a document throws it and
// the document is not kept.
class FakeReceiptPrinter : public ReceiptPrinter {
public:
    struct Piece {
        double twips;   // -1: just after the previous text
        QString text;
        int points;     // 0: the printer's own font size
        bool bold;
        bool operator==(const Piece&) const = default;
    };
    using Line = QList<Piece>;
    struct Document {
        int paperWidthMm = 0;
        QList<Line> lines;
        QList<QByteArray> qrCodes;   // the data of each QR code printed, in order
        bool ended = false;
        // Each line's texts joined, for comparing whole lines.
        QStringList texts() const;
    };

    void startDocument(int paperWidthMm) override;
    void setFontSize(int points) override { points_ = points; }
    void setBold(bool bold) override { bold_ = bold; }
    void setPosition(double twips) override { position_ = twips; }
    void print(const QString& text, Then then) override;
    void printQrCode(const QByteArray& data) override { current_.qrCodes.append(data); }
    void endDocument() override;

    QList<Document> documents;   // the documents handed to the printer
    QString failure;             // the reason the printer gives, when set

private:
    Document current_;
    Line line_;
    int points_ = 0;
    bool bold_ = false;
    double position_ = -1;
};

// Counts the times the drawer was told to open; with a failure set, opening throws it.
class FakeCashDrawer : public CashDrawer {
public:
    void open() override
    {
        if (!failure.isEmpty())
            throw PrintError(failure);
        ++opened;
    }
    int opened = 0;
    QString failure;
};

// A complete set of fakes with a Platform over them. The drawer is there but
// not in use until a test hands it to the platform.
struct FakePlatform {
    explicit FakePlatform(const QString& folder = QString()) : platform{prompter, clock, screen, folder, &printer}
    {
        platform.spreadsheet = &spreadsheet;
    }
    FakePrompter prompter;
    FakeClock clock;
    FakeScreen screen;
    FakeReceiptPrinter printer;
    FakeSpreadsheet spreadsheet;
    FakeCashDrawer drawer;
    Platform platform;
};
