// The sale window's menu: each item opens the window registered for it by
// name (see app/), which hides the sale window until it closes.
#include "sale/form1.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

// "&" marks the letter that opens an item with Alt; it is not part of the caption.
void Form1::Preparar_Menu()
{
    QMenu* productos = menuBar()->addMenu(QStringLiteral("&PRODUTOS"));
    productos->menuAction()->setObjectName(QStringLiteral("productos"));
    agregarItem(productos, "edicionProductos", QStringLiteral("&EDIÇÃO DE PRODUTOS"));

    agregarItem(menuBar(), "usuarios", QStringLiteral("&USUÁRIOS"));
    agregarItem(menuBar(), "recaudaciondeldia", QStringLiteral("RECEITA DO &DIA"));

    QMenu* informes = menuBar()->addMenu(QStringLiteral("&RELATÓRIOS"));
    informes->menuAction()->setObjectName(QStringLiteral("informes"));
    agregarItem(informes, "recaudacion", QStringLiteral("&RECEITA"));
    informes->addSeparator()->setObjectName(QStringLiteral("woewd"));
    agregarItem(informes, "stock", QStringLiteral("&ESTOQUE DE PRODUTOS"));
    informes->addSeparator()->setObjectName(QStringLiteral("RERED"));
    agregarItem(informes, "ventaparcial", QStringLiteral("DETALHE DA VENDA &PARCIAL"));

    // F10 reaches the menu from the keyboard, as on most desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] {
        menuBar()->setFocus(Qt::MenuBarFocusReason);
        menuBar()->setActiveAction(menuBar()->actions().constFirst());
    });
}

void Form1::agregarItem(QWidget* menu, const char* nombre, const QString& titulo)
{
    auto* item = new QAction(titulo, menu);
    item->setObjectName(QString::fromLatin1(nombre));
    menu->addAction(item);
    const QString clave = item->objectName();
    on(item, &QAction::triggered, [this, clave] { Abrir_Desde_Menu(clave); });
}

void Form1::Registrar_Ventana(const QString& item, FabricaVentana fabrica)
{
    ventanas_.insert(item, std::move(fabrica));
}

void Form1::Abrir_Desde_Menu(const QString& item)
{
    const auto fabrica = ventanas_.constFind(item);
    if (fabrica == ventanas_.cend() || !*fabrica)
        return;
    if (Window* ventana = (*fabrica)())
        ventana->openFromMenu(this);
}
