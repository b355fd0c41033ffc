#pragma once

#include "dialogs/recibos.h"

#include <optional>

// The receipt of the last sale recorded in the open session, from its stored
// lines: the lines of the last recorded moment, in the order they were
// recorded, the sale's total as the sale window showed it, its payment kind
// and the moment of the sale. The amount tendered and the change are not
// stored, so they stay empty. None when no sale is recorded yet.
std::optional<Recibo> Leer_Ultima_Venta(const QString& folder);
