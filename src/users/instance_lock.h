#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from running on the same folder. The
// lock lives as long as this object; a lock left by a copy that was killed
// does not block the next start.
class InstanceLock {
public:
    enum class Status { Acquired, AlreadyRunning, FolderNotWritable };

    explicit InstanceLock(const QString& folder);
    Status status() const { return status_; }
    QString path() const { return path_; }

private:
    bool takeLockNamingNoOwner();

    QString path_;
    QLockFile lock_;
    Status status_;
};
