#pragma once

#include "common/errors.h"
#include "common/prompter.h"

#include <exception>
#include <utility>

// Runs one event handler; an error stops the action and is shown in a
// critical box, and the program goes on.
template <typename Action>
void guarded(Prompter& prompter, Action&& action)
{
    try {
        std::forward<Action>(action)();
    } catch (const AppError& error) {
        prompter.critical(error.message());
    } catch (const std::exception& error) {
        prompter.critical(QString::fromUtf8(error.what()));
    }
}
