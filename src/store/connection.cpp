#include "store/connection.h"

#include "store/like_match.h"
#include "store/schema.h"
#include "store/store_error.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPasswordDigestor>
#include <QStringList>

#include <optional>

namespace {

constexpr int KDF_ITERATIONS = 64000;   // the engine's default for a password key
constexpr int KEY_BYTES = 32;
constexpr int SALT_BYTES = 16;
constexpr qint64 PAGE_SIZE = 1024;
constexpr int BUSY_TIMEOUT_MS = 5000;
// Listings in name order read the table's pages out of order; a larger page
// cache than the engine's default keeps a full listing of a large catalogue quick.
constexpr char PAGE_CACHE[] = "PRAGMA cache_size = -16384";   // 16 MB

[[noreturn]] void failOpening(const QString& cause, const QString& path)
{
    throw StoreError(QStringLiteral("%1\nArquivo: %2").arg(cause, QDir::toNativeSeparators(path)));
}

// The first bytes of an encrypted file are its key salt. Reading them first
// also tells a missing, unreadable or plainly damaged file apart.
QByteArray readSalt(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        failOpening(QStringLiteral("O arquivo de dados bd1 não foi encontrado na pasta do programa."), path);
    if (!info.isFile())
        failOpening(QStringLiteral("O arquivo de dados bd1 não é um arquivo comum."), path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        failOpening(QStringLiteral("O arquivo de dados bd1 não pode ser lido: %1.").arg(file.errorString()), path);
    const qint64 size = file.size();
    if (size < PAGE_SIZE || size % PAGE_SIZE != 0)
        failOpening(QStringLiteral("O arquivo de dados bd1 está danificado ou não é um banco de dados do programa."), path);
    const QByteArray salt = file.read(SALT_BYTES);
    if (salt == QByteArray("SQLite format 3\0", SALT_BYTES))
        failOpening(QStringLiteral("O arquivo de dados bd1 não está protegido com a senha do programa."), path);
    return salt;
}

QByteArray keyForSalt(const QByteArray& salt)
{
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

void likeFunction(sqlite3_context* context, int argumentCount, sqlite3_value** arguments)
{
    const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[1]));
    if (!pattern || !text) {
        sqlite3_result_null(context);
        return;
    }
    char32_t escape = 0;
    if (argumentCount == 3) {
        const QList<uint> escapeText =
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(arguments[2]))).toUcs4();
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText.first();
    }
    sqlite3_result_int(context, likeMatches(QString::fromUtf8(pattern), QString::fromUtf8(text), escape) ? 1 : 0);
}

}   // namespace

QString databasePath(const QString& folder)
{
    return QDir(folder).filePath(DATABASE_FILE_NAME);
}

QByteArray databasePassword()
{
    return QByteArrayLiteral("QmT482");
}

QByteArray derivedKeyFor(const QString& path)
{
    return keyForSalt(readSalt(path));
}

Connection::Connection(const QString& folder) : path_(databasePath(folder))
{
    const QByteArray key = keyForSalt(readSalt(path_));
    const int rc = sqlite3_open_v2(QFile::encodeName(path_).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString cause = engineMessage();
        sqlite3_close_v2(db_);
        db_ = nullptr;
        failOpening(QStringLiteral("O arquivo de dados bd1 não pôde ser aberto: %1.").arg(cause), path_);
    }
    try {
        applyKey(key);
        checkOpensWithKey();
        sqlite3_busy_timeout(db_, BUSY_TIMEOUT_MS);
        execute(QString::fromLatin1(PAGE_CACHE));
        registerFunctions();
    } catch (...) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw;
    }
}

Connection::~Connection()
{
    sqlite3_close_v2(db_);
}

void Connection::applyKey(const QByteArray& key)
{
    if (sqlite3_key(db_, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        fail();
}

void Connection::checkOpensWithKey()
{
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &statement, nullptr);
    QStringList tables;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            tables.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    }
    sqlite3_finalize(statement);

    if (rc == SQLITE_NOTADB)
        failOpening(QStringLiteral("A senha do arquivo de dados bd1 não confere com a do programa, "
                                   "ou o arquivo está danificado."),
                    path_);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        failOpening(QStringLiteral("O arquivo de dados bd1 está bloqueado por outro programa."), path_);
    if (rc != SQLITE_DONE)
        failOpening(QStringLiteral("O arquivo de dados bd1 não pôde ser lido: %1.").arg(engineMessage()), path_);
    if (sqlite3_db_readonly(db_, "main") == 1)
        failOpening(QStringLiteral("O arquivo de dados bd1 está protegido contra gravação."), path_);
    for (const TableDefinition& table : storeTables()) {
        if (!tables.contains(table.name, Qt::CaseInsensitive))
            failOpening(QStringLiteral("O arquivo de dados bd1 não tem a tabela %1; não é um banco de dados do "
                                       "programa ou está danificado.")
                            .arg(table.name),
                        path_);
    }
}

void Connection::registerFunctions()
{
    for (int argumentCount : {2, 3}) {
        if (sqlite3_create_function(db_, "like", argumentCount, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                    likeFunction, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
}

void Connection::execute(const QString& sql)
{
    if (sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail();
}

QString Connection::engineMessage() const
{
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("sem memória");
}

void Connection::fail() const
{
    throw StoreError(QStringLiteral("Erro no banco de dados: %1").arg(engineMessage()));
}
