#pragma once

#include "common/window.h"

class QFrame;
class QLabel;
class SesionVenta;

// The takings of the open day session: everything sold since it began, and
// the parts paid in cash, by card and, at a till that takes Pix or has taken
// it in the session, by Pix. Read-only, computed once when it opens.
class Form6 : public Window {
    Q_OBJECT
public:
    Form6(Platform& platform, SesionVenta& sesion, QWidget* parent = nullptr);

    QLabel* Label2;   // heading
    QLabel* Label3;   // today's date
    QLabel* Label1;   // total of the open session
    QLabel* Label4;   // cash
    QLabel* Label5;   // card
    QLabel* Label6;   // Pix, shown only where Pix is taken
    QFrame* Line1;
    QFrame* Line2;

protected:
    void Form_Load() override;

private:
    double Sumar_Ventas();
    void Leer_TipoPago();
    void Formatear_Montos();

    SesionVenta& sesion_;
};
