#include "store/backup.h"

#include "store/connection.h"
#include "store/dialect.h"
#include "store/engine.h"
#include "store/store_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString BACKUP_DATE_FORMAT = QStringLiteral("yyyy-MM-dd-HHmmss");
const QString SET_ASIDE_PREFIX = QStringLiteral("bd1-antes-da-restauracao-");
const QString PARTIAL_SUFFIX = QStringLiteral(".parcial");
// How long a backup waits for another one writing into the same folder.
constexpr int FOLDER_LOCK_WAIT_MS = 30000;

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

const QRegularExpression& backupNamePattern()
{
    static const QRegularExpression pattern(QStringLiteral("^bd1-(\\d{4}-\\d{2}-\\d{2})-\\d{6}(-\\d+)?$"));
    return pattern;
}

// A copy being written, and its journal: what a backup killed half-way leaves.
const QRegularExpression& partialNamePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^bd1-\\d{4}-\\d{2}-\\d{2}-\\d{6}(-\\d+)?\\.parcial(-journal|-wal|-shm)?$"));
    return pattern;
}

QString newBackupName(const QDir& dir, const QDateTime& now)
{
    const QString base = QStringLiteral("bd1-") + now.toString(BACKUP_DATE_FORMAT);
    QString name = base;
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = base + QStringLiteral("-%1").arg(n);
    return dir.filePath(name);
}

void removeOldBackups(const QString& backupsFolder)
{
    const QStringList backups = existingBackups(backupsFolder);
    for (qsizetype i = 0; i + BACKUPS_KEPT < backups.size(); ++i)
        QFile::remove(backups[i]);
}

// The day's earlier copies, once its newest one is in place.
void removeEarlierCopiesOfTheDay(const QString& backupsFolder, const QString& newest)
{
    const auto dayOf = [](const QString& path) {
        return backupNamePattern().match(QFileInfo(path).fileName()).captured(1);
    };
    for (const QString& path : existingBackups(backupsFolder))
        if (path != newest && dayOf(path) == dayOf(newest))
            QFile::remove(path);
}

void removeLeftoverPartials(const QDir& backupsFolder)
{
    for (const QString& name : backupsFolder.entryList(QDir::Files | QDir::Hidden))
        if (partialNamePattern().match(name).hasMatch())
            QFile::remove(backupsFolder.filePath(name));
}

// One backup at a time writes into a folder, in this program or another:
// whatever partial copy a backup finds there while it holds the folder was
// left by one that was killed. The lock goes with its holder, killed or not.
// A file system that cannot lock a folder is written without the lock.
class FolderLock {
public:
    explicit FolderLock(const QString& folder)
        : fd_(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            throw StoreError(QStringLiteral("A pasta de backups %1 não pôde ser aberta.").arg(native(folder)));
        constexpr int STEP_MS = 100;
        for (int waited = 0; ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK; waited += STEP_MS) {
            if (waited >= FOLDER_LOCK_WAIT_MS) {
                ::close(fd_);
                throw StoreError(
                    QStringLiteral("A pasta de backups %1 está ocupada por outro backup.").arg(native(folder)));
            }
            ::usleep(STEP_MS * 1000);
        }
    }
    ~FolderLock() { ::close(fd_); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_;
};

enum class SameDay { Kept, Replaced };

// The copy is written under a partial name and takes its own name only
// once it is whole.
QString writeCopy(const QString& folder, const QDateTime& now, const QString& target, SameDay sameDay)
{
    if (!QDir().mkpath(target))
        throw StoreError(QStringLiteral("A pasta de backups %1 não pôde ser criada.").arg(native(target)));
    const FolderLock lock(target);
    removeLeftoverPartials(QDir(target));
    const QString finalPath = newBackupName(QDir(target), now);
    {
        Connection connection(folder);
        const QString partial = finalPath + PARTIAL_SUFFIX;
        connection.engine().writeCopy(partial);
        if (!QFile::rename(partial, finalPath)) {
            QFile::remove(partial);
            throw StoreError(QStringLiteral("O backup não pôde ser gravado em %1.").arg(native(finalPath)));
        }
    }
    if (sameDay == SameDay::Replaced)
        removeEarlierCopiesOfTheDay(target, finalPath);
    removeOldBackups(target);
    return finalPath;
}

const char* const DATABASE_SUFFIXES[] = {"", "-wal", "-shm", "-journal"};

void putBack(const QString& aside, const QString& folder)
{
    for (const char* suffix : DATABASE_SUFFIXES)
        QFile::rename(aside + QLatin1String(suffix), databasePath(folder) + QLatin1String(suffix));
}

QString setCurrentAside(const QString& folder, const QDateTime& now)
{
    const QString current = databasePath(folder);
    const QString aside = QDir(folder).filePath(SET_ASIDE_PREFIX + now.toString(BACKUP_DATE_FORMAT));
    for (const char* suffix : DATABASE_SUFFIXES) {
        const QString from = current + QLatin1String(suffix);
        if (QFileInfo::exists(from) && !QFile::rename(from, aside + QLatin1String(suffix))) {
            putBack(aside, folder);
            throw StoreError(QStringLiteral("O arquivo de dados atual %1 não pôde ser renomeado; nada foi alterado.")
                                 .arg(native(from)));
        }
    }
    return aside;
}

}   // namespace

QString backupFolder(const QString& folder)
{
    return QDir(folder).filePath(BACKUP_FOLDER_NAME);
}

QStringList existingBackups(const QString& backupsFolder)
{
    const QDir dir(backupsFolder);
    QStringList backups;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        if (backupNamePattern().match(name).hasMatch())
            backups.append(dir.filePath(name));
    return backups;
}

QString writeBackup(const QString& folder, const QDateTime& now, const QString& destination)
{
    return writeCopy(folder, now, destination.isEmpty() ? backupFolder(folder) : destination, SameDay::Kept);
}

std::optional<QString> Respaldo_Automatico(const QString& folder, const QDateTime& now)
{
    try {
        // A shop's server is backed up with the server's own dump tool.
        if (!Connection(folder).engine().dialect().backedUpByProgram())
            return std::nullopt;
        writeCopy(folder, now, backupFolder(folder), SameDay::Replaced);
        return std::nullopt;
    } catch (const StoreError& error) {
        return QStringLiteral("O backup do dia não foi feito.\n%1\nAs vendas do dia estão gravadas no arquivo de "
                              "dados; verifique o disco e a pasta de backups.")
            .arg(error.message());
    } catch (const std::exception&) {
        return QStringLiteral("O backup do dia não foi feito por falta de memória ou de espaço.\nAs vendas do dia "
                              "estão gravadas no arquivo de dados.");
    }
}

QString restoreBackup(const QString& folder, const QString& backupPath, const QDateTime& now)
{
    if (!QFileInfo(backupPath).isFile())
        throw StoreError(QStringLiteral("O backup %1 não foi encontrado.").arg(native(backupPath)));
    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".restauracao-XXXXXX")));
    if (!staging.isValid())
        throw StoreError(QStringLiteral("A pasta %1 não permite gravação; nada foi alterado.").arg(native(folder)));
    if (!QFile::copy(backupPath, databasePath(staging.path())))
        throw StoreError(QStringLiteral("O backup %1 não pôde ser copiado para a pasta %2; nada foi alterado.")
                             .arg(native(backupPath), native(folder)));
    try {
        Connection check(staging.path());
    } catch (const StoreError& error) {
        Connection::release(staging.path());
        throw StoreError(QStringLiteral("O arquivo %1 não é um backup utilizável; nada foi alterado.\n%2")
                             .arg(native(backupPath), error.message()));
    }
    Connection::release(staging.path());

    QString aside;
    if (QFileInfo::exists(databasePath(folder))) {
        // Closing the connection writes the write-ahead log into bd1, so that
        // the file set aside holds every committed change.
        Connection::release(folder);
        aside = setCurrentAside(folder, now);
    }
    if (!QFile::rename(databasePath(staging.path()), databasePath(folder))) {
        putBack(aside, folder);
        throw StoreError(QStringLiteral("O backup não pôde ser colocado no lugar de %1; nada foi alterado.")
                             .arg(native(databasePath(folder))));
    }
    return aside;
}
