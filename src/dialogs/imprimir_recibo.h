#pragma once

#include "dialogs/recibos.h"

#include <QString>

#include <optional>

struct Platform;

// Prints the receipt the logged-in user chose (58 mm, 80 mm or none), read
// afresh from the user's row at every payment. Returns why the receipt was not
// printed, or an empty text when it was printed or none was wanted; a failing
// printer never stops the payment. Errors of the database pass through.
QString Imprimir_Recibo(const Platform& platform, const QString& usuario, const Recibo& recibo);

// The layout the user chose for receipts, 58 or 80 (mm), from the first row
// of the user in the table's own order; none when no receipt is wanted.
std::optional<int> Modelo_Recibo(const QString& folder, const QString& usuario);

// Prints the receipt in that layout; why it was not printed, or an empty text.
QString Imprimir_Recibo_Modelo(const Platform& platform, int modelo, const Recibo& recibo);
