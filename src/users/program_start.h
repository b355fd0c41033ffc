#pragma once

#include "common/platform.h"

#include <optional>

class Form4;
class InstanceLock;

inline constexpr int EXIT_START_REFUSED = 1;

// What must hold before the login window opens: no other copy running, a
// program folder the program can write to, and a bd1 it can open. Nothing
// when the start may go on; otherwise the exit code, after a message that
// names the cause.
std::optional<int> Comprobar_Inicio(Form4& login, const InstanceLock& lock, Platform& platform);

// The whole run, from the checks to the last window closed. Returns the exit code.
int Ejecutar_Programa(Platform& platform);
