#pragma once

#include <QString>

// The day session as the windows beside the sale window reach it: the login
// opens it, the takings of the day read its start. The sale window offers it.
class SesionVenta {
public:
    // The sale window is shown, and so loaded, before it takes the user and
    // the login time as the session's user and start.
    virtual void Abrir_Sesion(const QString& usuario) = 0;

    // The session start, "dd/mm/yyyy h:mm:ss".
    virtual QString Inicio_Sesion() const = 0;
    // The session start becomes the one stored with the open session's first line.
    virtual void Restaurar_Inicio() = 0;

protected:
    ~SesionVenta() = default;
};
