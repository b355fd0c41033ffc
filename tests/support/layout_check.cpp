#include "support/layout_check.h"

#include "common/twips.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QtTest>

namespace {

QString captionOf(const QWidget* control)
{
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(control))
        return group->title();
    return {};
}

}   // namespace

void verifyControls(const QWidget* window, const QList<ExpectedControl>& expected)
{
    for (const ExpectedControl& control : expected) {
        const auto* widget = window->findChild<const QWidget*>(control.name);
        QVERIFY2(widget, qPrintable("no control " + control.name));
        QCOMPARE_EQ(widget->geometry(), twipsRect(control.left, control.top, control.width, control.height));
        if (!control.caption.isEmpty())
            QCOMPARE_EQ(captionOf(widget), control.caption);
        if (control.fontPoints > 0)
            QCOMPARE_EQ(widget->font().pointSize(), control.fontPoints);
    }
}

void verifyColumns(const ReportList* list, const QList<ReportColumn>& expected)
{
    QCOMPARE_EQ(list->columnCount(), expected.size());
    for (int column = 0; column < expected.size(); ++column) {
        const ReportColumn& want = expected.at(column);
        QCOMPARE_EQ(list->columnTitle(column), want.title);
        const int pixels = twipsToPixels(want.widthTwips);
        QCOMPARE_EQ(list->header()->isSectionHidden(column), pixels == 0);
        if (pixels > 0)
            QCOMPARE_EQ(list->header()->sectionSize(column), pixels);
        const auto alignment = Qt::Alignment(
            list->model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt());
        QCOMPARE_EQ(alignment & Qt::AlignHorizontal_Mask, want.alignment & Qt::AlignHorizontal_Mask);
    }
}
