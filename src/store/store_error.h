#pragma once

#include "common/errors.h"

// A failure of the database: the file cannot be opened, or the engine refused
// a statement. The message is ready to be shown to the user.
class StoreError : public AppError {
public:
    using AppError::AppError;
};
