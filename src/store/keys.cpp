#include "store/keys.h"

#include "store/store_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QRecursiveMutex>
#include <QPasswordDigestor>

#include <bitset>

namespace {

constexpr int KDF_ITERATIONS = 64000;
constexpr int KEY_BYTES = 32;
constexpr int SALT_BYTES = 16;
constexpr qint64 PAGE_SIZE = 1024;

const QString DAMAGED = QStringLiteral("O arquivo de dados bd1 está danificado ou não é um banco de dados do programa.");

// A page the engine encrypted looks like noise: nearly every byte value
// occurs. A page of text, of zeros or of a repeated pattern does not, so a
// file that fails to decrypt with such a first page is damaged, not keyed
// with another password.
bool looksEncrypted(const QByteArray& page)
{
    std::bitset<256> values;
    for (char byte : page)
        values.set(static_cast<unsigned char>(byte));
    return values.count() > 128;
}

QString absoluteCleanPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The salts open engines lent, by file; the newest last (a file replaced
// while its old engine still closes). Kept to the very end of the process:
// connections still held then close, and take their salts back, last.
// The salts and the keys are the program's, shared by the window thread and
// the thread that sends a till's waiting sales.
QRecursiveMutex& keysLock()
{
    static QRecursiveMutex lock;
    return lock;
}

QHash<QString, QList<QByteArray>>& lentSalts()
{
    static auto* salts = new QHash<QString, QList<QByteArray>>;
    return *salts;
}

}   // namespace

QByteArray databasePassword()
{
    return QByteArrayLiteral("QmT482");
}

QByteArray saltOfFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw fileError(FILE_NOT_FOUND, path);
    if (!info.isFile())
        throw fileError(QStringLiteral("O arquivo de dados bd1 não é um arquivo comum."), path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw fileError(QStringLiteral("O arquivo de dados bd1 não pode ser lido: %1.").arg(file.errorString()), path);
    const qint64 size = file.size();
    if (size < PAGE_SIZE || size % PAGE_SIZE != 0)
        throw fileError(DAMAGED, path);
    const QByteArray firstPage = file.read(PAGE_SIZE);
    if (firstPage.startsWith(QByteArray("SQLite format 3\0", SALT_BYTES)))
        throw fileError(QStringLiteral("O arquivo de dados bd1 não está protegido com a senha do programa."), path);
    if (!looksEncrypted(firstPage))
        throw fileError(DAMAGED, path);
    return firstPage.left(SALT_BYTES);
}

QByteArray keyForSalt(const QByteArray& salt)
{
    const QMutexLocker locked(&keysLock());
    static QHash<QByteArray, QByteArray> cache;
    auto found = cache.constFind(salt);
    if (found != cache.constEnd())
        return *found;
    const QByteArray key = QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha1, databasePassword(), salt,
                                                              KDF_ITERATIONS, KEY_BYTES);
    const QByteArray statementValue = "x'" + key.toHex().toUpper() + "'";
    cache.insert(salt, statementValue);
    return statementValue;
}

QByteArray keyWithSalt(const QByteArray& salt)
{
    QByteArray key = keyForSalt(salt);
    key.chop(1);
    return key + salt.toHex().toUpper() + "'";
}

void lendSalt(const QString& path, const QByteArray& salt)
{
    const QMutexLocker locked(&keysLock());
    lentSalts()[absoluteCleanPath(path)].append(salt);
}

void takeSaltBack(const QString& path, const QByteArray& salt)
{
    const QMutexLocker locked(&keysLock());
    const auto found = lentSalts().find(absoluteCleanPath(path));
    if (found == lentSalts().end())
        return;
    found->removeOne(salt);
    if (found->isEmpty())
        lentSalts().erase(found);
}

QByteArray derivedKeyFor(const QString& path)
{
    const QMutexLocker locked(&keysLock());
    const auto found = lentSalts().constFind(absoluteCleanPath(path));
    if (found != lentSalts().constEnd())
        return keyForSalt(found->constLast());
    return keyForSalt(saltOfFile(path));
}
