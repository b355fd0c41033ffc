#pragma once

#include "common/report_list.h"

#include <QList>
#include <QString>

class QWidget;

// A control as its window's design gives it: twips relative to its parent.
struct ExpectedControl {
    QString name;
    double left, top, width, height;
    QString caption = {};   // checked when not empty
    int fontPoints = 0;     // checked when not 0
};

// Every named control of the window sits where the design puts it, with its caption and font size.
void verifyControls(const QWidget* window, const QList<ExpectedControl>& expected);
// The list's column titles, widths (twips) and alignments, in order.
void verifyColumns(const ReportList* list, const QList<ReportColumn>& expected);
