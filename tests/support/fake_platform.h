#pragma once

#include "common/clock.h"
#include "common/platform.h"
#include "common/prompter.h"
#include "common/screen.h"
#include "support/fake_spreadsheet.h"

#include <QList>
#include <QQueue>
#include <QStringList>

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

    void ok(const QString& text) override { messages.append({Kind::Ok, text, PROGRAM_TITLE}); }
    bool yesNo(const QString& text, const QString& title) override
    {
        messages.append({Kind::YesNo, text, title});
        return answers.isEmpty() ? false : answers.dequeue();
    }
    void critical(const QString& text) override { messages.append({Kind::Critical, text, PROGRAM_TITLE}); }
    void exclamation(const QString& text, const QString& title) override
    {
        messages.append({Kind::Exclamation, text, title});
    }

    QStringList texts() const;
    QString last() const { return messages.isEmpty() ? QString() : messages.last().text; }
    void clear() { messages.clear(); }

    QList<Message> messages;
    QQueue<bool> answers;
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

// A complete set of fakes with a Platform over them.
struct FakePlatform {
    explicit FakePlatform(const QString& folder = QString()) : platform{prompter, clock, screen, folder}
    {
        platform.spreadsheet = &spreadsheet;
    }
    FakePrompter prompter;
    FakeClock clock;
    FakeScreen screen;
    FakeSpreadsheet spreadsheet;
    Platform platform;
};
