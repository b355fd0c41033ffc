#pragma once

#include "common/platform.h"

class Form1;

// The composition root: the one place where the windows are made and meet.
// Below it no window knows another's header; they reach each other through
// the operations the sale window offers (Cobro, SesionVenta) and the menu's
// windows registered here by the menu item's name.

// What the sale window's menu opens: each item's window, made afresh when
// the item is chosen; it gives the sale window back when it closes.
void Registrar_Ventanas(Form1& principal);

// The whole run, from the checks to the last window closed: the sale window
// and the login are made and wired, then the login is shown. Returns the exit code.
int Ejecutar_Programa(Platform& platform);
