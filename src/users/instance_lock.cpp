#include "users/instance_lock.h"

#include <QDir>

namespace {

const QString LOCK_FILE_NAME = QStringLiteral("tenduca.lock");

}   // namespace

InstanceLock::InstanceLock(const QString& folder)
    : path_(QDir(folder).filePath(LOCK_FILE_NAME)), lock_(path_), status_(Status::Acquired)
{
    // Only a lock whose owner is no longer running counts as stale, however old it is.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock(0))
        return;
    status_ = lock_.error() == QLockFile::LockFailedError ? Status::AlreadyRunning : Status::FolderNotWritable;
}
