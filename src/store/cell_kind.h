#pragma once

#include <QtGlobal>

// What one field of a row holds, as the engine gives it.
enum class CellKind : quint8 { Null, Integer, Real, Text, Blob };
