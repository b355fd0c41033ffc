#pragma once

#include "common/errors.h"

#include <QString>

// A failure of the database: the file cannot be opened, or the engine refused
// a statement. The message is ready to be shown to the user.
class StoreError : public AppError {
public:
    using AppError::AppError;
};

// Another till wrote the same rows at the same moment and the write was
// refused whole: running it again from its start succeeds.
class ConflictError : public StoreError {
public:
    using StoreError::StoreError;
};

// The shop's server could not be reached, or the connection to it broke:
// unlike a refused statement or a conflict, nothing says the work was wrong,
// and a till keeps what it could not store there for later.
class ServerAway : public StoreError {
public:
    using StoreError::StoreError;
};

// The connection to a shop's server was lost while a transaction was being
// committed: whether the server stored it is not known. Writing it again must
// first look for it.
class UncertainCommit : public ServerAway {
public:
    using ServerAway::ServerAway;
};

inline const QString FILE_NOT_FOUND = QStringLiteral("O arquivo de dados bd1 não foi encontrado na pasta do programa.");

// A failure of bd1 itself: its cause, then the file.
StoreError fileError(const QString& cause, const QString& path);
