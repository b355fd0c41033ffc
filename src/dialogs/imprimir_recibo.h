#pragma once

#include "dialogs/recibos.h"

#include <QString>

struct Platform;

// Prints the receipt the logged-in user chose (58 mm, 80 mm or none), read
// afresh from the user's row at every payment. Returns why the receipt was not
// printed, or an empty text when it was printed or none was wanted; a failing
// printer never stops the payment. Errors of the database pass through.
QString Imprimir_Recibo(const Platform& platform, const QString& usuario, const Recibo& recibo);
