#pragma once

#include <QDateTime>
#include <QString>

// Closes the open day session: every open sale line is archived exactly once
// (without its unit price), the session's takings row is stamped with the
// closing moment, and the open lines are emptied. All of it is stored, or
// nothing is and the error is thrown with its message.
void Cerrar_Ventas_Del_Dia(const QString& folder, const QString& inicioSesion, const QDateTime& ahora);
