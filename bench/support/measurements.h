#pragma once

#include "common/prompter.h"
#include "common/screen.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <vector>

// Benchmarks of windows paint headless unless a platform is asked for;
// call before the application object is made.
inline void headlessUnlessAsked()
{
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Counts the messages instead of showing them: a benchmark must never wait on a box.
class CountingPrompter : public Prompter {
public:
    void ok(const QString& text) override { note(text); }
    bool yesNo(const QString& text, const QString&) override
    {
        note(text);
        return answer;
    }
    void critical(const QString& text) override { note(text); }
    void exclamation(const QString& text, const QString&) override { note(text); }
    bool answer = false;   // to every question
    int count = 0;
    QString last;

private:
    void note(const QString& text)
    {
        ++count;
        last = text;
    }
};

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

inline double percentile95(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() * 95 / 100];
}

// A 1366 × 768 display, whatever the machine has.
class FixedScreen : public Screen {
public:
    QSize size() const override { return {1366, 768}; }
};

// The table of timings in milliseconds: a heading, then one row per measured thing.
inline void printTimingHeading(QTextStream& out)
{
    out << QString("milliseconds").leftJustified(46) << QString("median").rightJustified(10)
        << QString("p95").rightJustified(10) << QString("max").rightJustified(10) << '\n';
}

inline void printTimingRow(QTextStream& out, const QString& what, const std::vector<double>& micros)
{
    out << what.leftJustified(46) << QString::number(median(micros) / 1000, 'f', 3).rightJustified(10)
        << QString::number(percentile95(micros) / 1000, 'f', 3).rightJustified(10)
        << QString::number(*std::max_element(micros.begin(), micros.end()) / 1000, 'f', 3).rightJustified(10)
        << '\n';
}

// The process's peak resident memory so far (VmHWM), in megabytes; 0 where it cannot be read.
inline double peakMemoryMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}
