// The sale window's side of the product picker: the cashier finds a product
// by name and then types its quantity.
#include "dialogs/form10.h"
#include "sale/form1.h"

#include <QCheckBox>
#include <QLineEdit>

void Form1::Command3_Click()
{
    auto* selector = new Form10(platform(), {[this](const QString& codigo) { Elegir_Producto(codigo); },
                                             [this] { Volver_Del_Selector(); }});
    selector->setObjectName(QStringLiteral("Form11"));
    selector->openFrom(this);
}

void Form1::Elegir_Producto(const QString& codigo)
{
    Text7->setText(codigo);
    Text7->setEnabled(false);
    Text8->setEnabled(true);
    Text8->clear();
    setEnabled(true);
    Text8->setFocus();
    Check1->setChecked(true);
    Check1->setEnabled(false);
}

void Form1::Volver_Del_Selector()
{
    show();
    setEnabled(true);
    if (Text7->text().isEmpty())
        Text7->setFocus();
}
