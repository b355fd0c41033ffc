#include "support/write_protection.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

namespace {

constexpr int CHATTR_TIMEOUT_MS = 5000;

bool changeAttribute(const QString& flag, const QString& path)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {flag, path});
    return chattr.waitForFinished(CHATTR_TIMEOUT_MS) && chattr.exitStatus() == QProcess::NormalExit &&
           chattr.exitCode() == 0;
}

}   // namespace

WriteProtection::WriteProtection(const QString& path) : path_(path)
{
    if (geteuid() == 0) {
        immutable_ = changeAttribute(QStringLiteral("+i"), path_);
    } else {
        QFile::setPermissions(path_, QFile::permissions(path_) &
                                         ~(QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther));
    }
    active_ = !QFileInfo(path_).isWritable();
}

WriteProtection::~WriteProtection()
{
    lift();
}

void WriteProtection::lift()
{
    if (immutable_)
        changeAttribute(QStringLiteral("-i"), path_);
    else
        QFile::setPermissions(path_, QFile::permissions(path_) | QFile::WriteOwner);
    immutable_ = false;
    active_ = false;
}
