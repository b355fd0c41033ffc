#pragma once

#include "common/prompter.h"
#include "common/screen.h"

#include <QString>

// Counts the messages instead of showing them: a benchmark must never wait on a box.
class CountingPrompter : public Prompter {
public:
    void ok(const QString& text) override { note(text); }
    bool yesNo(const QString& text, const QString&) override
    {
        note(text);
        return false;
    }
    void critical(const QString& text) override { note(text); }
    void exclamation(const QString& text, const QString&) override { note(text); }
    int count = 0;
    QString last;

private:
    void note(const QString& text)
    {
        ++count;
        last = text;
    }
};

class FixedScreen : public Screen {
public:
    QSize size() const override { return {1366, 768}; }
};
