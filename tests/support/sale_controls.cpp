#include "support/sale_controls.h"

#include "common/report_list.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

template <typename Control>
Control* named(const QObject& window, const char* name)
{
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (!control)
        qFatal("the sale window has no control named %s", name);
    return control;
}

}   // namespace

SaleControls ui(const QObject& saleWindow)
{
    return {named<QWidget>(saleWindow, "Picture1"),     named<ReportList>(saleWindow, "ListView1"),
            named<QLabel>(saleWindow, "Label17"),       named<QCheckBox>(saleWindow, "Check1"),
            named<QFrame>(saleWindow, "Frame2"),        named<QLabel>(saleWindow, "Label18"),
            named<QLineEdit>(saleWindow, "Text7"),      named<QPushButton>(saleWindow, "Command3"),
            named<QPushButton>(saleWindow, "Command1"), named<QLineEdit>(saleWindow, "Text8"),
            named<QPushButton>(saleWindow, "Command2"), named<QLabel>(saleWindow, "Label8"),
            named<QTimer>(saleWindow, "Timer2"),        named<QLabel>(saleWindow, "Label19")};
}
