#pragma once

#include <QString>

// Makes a file or folder impossible to write for this process while it lives,
// and writable again on destruction. The superuser writes through permission
// bits, so for it the file system's immutable flag is used instead; where
// neither works, active() is false and the test must be skipped.
class WriteProtection {
public:
    explicit WriteProtection(const QString& path);
    ~WriteProtection();
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;

    bool active() const { return active_; }
    void lift();

private:
    QString path_;
    bool immutable_ = false;
    bool active_ = false;
};
