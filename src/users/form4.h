#pragma once

#include "common/window.h"

class InstanceLock;
class SesionVenta;
class QLabel;
class QLineEdit;

// The login window, the program's first: a user name and a password checked
// against the users of the database open the sale window for the session.
class Form4 : public Window {
    Q_OBJECT
public:
    Form4(Platform& platform, SesionVenta& sesion, QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Text1;   // user name
    QLabel* Label2;
    QLineEdit* Text2;   // password, shown as "*"

    // Refuses to run a second copy of the program: false when this copy must end.
    bool Form_Load(const InstanceLock& lock);
    void Validar_Ingreso();

private:
    void Abrir_Sesion(const QString& usuario);

    SesionVenta& sesion_;
};
