#pragma once

class Connection;

// An older Temporal has 10 fields and lacks the unit sale price of a line:
// give it the ValorUnitario column (a double). A table that already has the
// column is left alone. Returns true when the column was added.
bool Actualizar_Temporal(Connection& connection);
