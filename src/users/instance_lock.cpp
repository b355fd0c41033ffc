#include "users/instance_lock.h"

#include <QDir>
#include <QThread>

namespace {

const QString LOCK_FILE_NAME = QStringLiteral("tenduca.lock");

// The owner of a lock writes its process into the file a moment after making
// it; longer than that, a file that names no owner was left by a copy killed
// (or a machine switched off) in that moment.
constexpr int OWNER_WRITES_WITHIN_MS = 200;

bool namesAnOwner(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    QString application;
    return lock.getLockInfo(&pid, &host, &application);
}

}   // namespace

InstanceLock::InstanceLock(const QString& folder)
    : path_(QDir(folder).filePath(LOCK_FILE_NAME)), lock_(path_), status_(Status::Acquired)
{
    // Only a lock whose owner is no longer running counts as stale, however old it is.
    lock_.setStaleLockTime(0);
    if (lock_.tryLock(0) || takeLockNamingNoOwner())
        return;
    status_ = lock_.error() == QLockFile::LockFailedError ? Status::AlreadyRunning : Status::FolderNotWritable;
}

// An empty lock file would otherwise keep the program from ever starting
// again. Removing it fails while a running copy holds it.
bool InstanceLock::takeLockNamingNoOwner()
{
    if (lock_.error() != QLockFile::LockFailedError || namesAnOwner(lock_))
        return false;
    QThread::msleep(OWNER_WRITES_WITHIN_MS);
    if (namesAnOwner(lock_) || !lock_.removeStaleLockFile())
        return false;
    return lock_.tryLock(0);
}
