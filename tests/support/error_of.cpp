#include "support/error_of.h"

#include "common/errors.h"

QString errorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
}
