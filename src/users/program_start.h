#pragma once

#include "common/platform.h"

#include <QStringList>

#include <optional>

class Form4;
class InstanceLock;

inline constexpr int EXIT_START_REFUSED = 1;

// Only checks that the windows can be shown (exit code 0) and ends: the
// starter asks this before it makes the data folder.
inline const QString DISPLAY_CHECK_OPTION = QStringLiteral("--verificar-tela");

// Runs before the toolkit starts, which would abort with a core dump where
// no display can be reached. Nothing when the start may go on; otherwise the
// exit code, after writing what is missing and what to do on the error
// output (there is no screen for a message box).
std::optional<int> Comprobar_Pantalla(const QStringList& arguments);

// What must hold before the login window opens: no other copy running, a
// program folder the program can write to, and a bd1 it can open. Nothing
// when the start may go on; otherwise the exit code, after a message that
// names the cause.
std::optional<int> Comprobar_Inicio(Form4& login, const InstanceLock& lock, Platform& platform);
