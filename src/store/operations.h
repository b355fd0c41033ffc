#pragma once

class Connection;

// The store's named operations: what the windows and the sale code ask of the
// data beside walking record sets over the query texts.

// The sale window's load: an older Temporal without the unit sale price of a
// line gets its ValorUnitario column (a double); a table that has it, or a
// shop's server (made with the current layout), is left alone. Returns true
// when the column was added.
bool Actualizar_Temporal(Connection& conexion);
