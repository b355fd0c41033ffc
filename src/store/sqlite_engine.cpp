#include "store/sqlite_engine.h"

#include "store/collation.h"
#include "store/dialect.h"
#include "store/keys.h"
#include "store/like_match.h"
#include "store/schema.h"

#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPasswordDigestor>
#include <QStringList>

#include <atomic>
#include <bitset>
#include <mutex>
#include <optional>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>


namespace {

constexpr int BUSY_TIMEOUT_MS = 5000;
// A checkpoint waits this long at most for another program's reading to end;
// what it cannot write now stays safely in the write-ahead log.
constexpr int CHECKPOINT_WAIT_MS = 500;
// The settings every bd1 has been written with. Pinned rather than left to
// the engine's defaults, which a later engine version changes. Settings an
// engine does not know are ignored by it, and those it knows only have the
// values the older engines fixed.
constexpr const char* CIPHER_SETTINGS[] = {
    "PRAGMA cipher_page_size = 1024",
    "PRAGMA kdf_iter = 64000",
    "PRAGMA fast_kdf_iter = 2",
    "PRAGMA cipher_use_hmac = ON",
    "PRAGMA cipher_hmac_algorithm = HMAC_SHA1",
    "PRAGMA cipher_kdf_algorithm = PBKDF2_HMAC_SHA1",
};
// The same settings as the engine's defaults for every connection keyed
// afterwards in this process: set once, they cost an open nothing. (The HMAC
// key's iteration count has no default setting; 2 has been every engine's.)
constexpr const char* CIPHER_DEFAULTS[] = {
    "PRAGMA cipher_default_page_size = 1024",
    "PRAGMA cipher_default_kdf_iter = 64000",
    "PRAGMA cipher_default_use_hmac = ON",
    "PRAGMA cipher_default_hmac_algorithm = HMAC_SHA1",
    "PRAGMA cipher_default_kdf_algorithm = PBKDF2_HMAC_SHA1",
};
// A sale the window cleared must survive a power cut: each commit reaches the disk.
constexpr char DURABLE_COMMITS[] = "PRAGMA synchronous = FULL";
// Listings in name order read the table's pages out of order; a page cache
// larger than the engine's default keeps a large catalogue's pages decrypted
// from one action to the next.
constexpr char PAGE_CACHE[] = "PRAGMA cache_size = -32768";   // 32 MB
// Adding a million products grows the names' index at random places: with
// the usual cache its pages are written to the log and read back again and
// again (a third of the import's time), with this one they stay.
constexpr char LARGE_WRITE_PAGE_CACHE[] = "PRAGMA cache_size = -57344";   // 56 MB
constexpr char TABLE_WALK_PAGE_CACHE[] = "PRAGMA cache_size = -2048";   // 2 MB
// The engine's side files of the write-ahead log, beside bd1.
constexpr const char* SIDE_FILE_SUFFIXES[] = {"-wal", "-shm"};

[[noreturn]] void failOpening(const QString& cause, const QString& path)
{
    throw fileError(cause, path);
}

bool writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

bool folderWritable(const QString& path)
{
    return writable(QFileInfo(path).absolutePath());
}

QString folderNotWritable(const QString& path)
{
    return QStringLiteral("A pasta do programa (%1) não permite gravação; o arquivo de dados bd1 não pode ser usado "
                          "sem gravar nela.")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

void failMissing(const QString& path)
{
    failOpening(FILE_NOT_FOUND, path);
}

// A write-ahead side file left read-only (by a run that found bd1 read-only)
// would make every later open fail: give it back to its owner for writing.
// Its contents are kept, as they may hold changes not yet in bd1.
void makeSideFilesWritable(const QString& path)
{
    for (const char* suffix : SIDE_FILE_SUFFIXES) {
        const QString side = path + QLatin1String(suffix);
        if (writable(side) || !QFile::exists(side))
            continue;
        QFile::setPermissions(side, QFile::permissions(side) | QFile::WriteOwner);
        if (!writable(side))
            failOpening(QStringLiteral("O arquivo auxiliar %1 do arquivo de dados bd1 está protegido contra gravação; "
                                       "libere a gravação dele ou feche o programa que o usa.")
                            .arg(QFileInfo(side).fileName()),
                        path);
    }
}

// Everything that would make the engine open the file read-only, or leave
// side files behind, is refused before the engine touches it.
void checkWritable(const QString& path)
{
    if (!writable(path))
        failOpening(QStringLiteral("O arquivo de dados bd1 está protegido contra gravação; libere a gravação dele "
                                   "para usar o programa."),
                    path);
    if (!folderWritable(path))
        failOpening(folderNotWritable(path), path);
    makeSideFilesWritable(path);
}

QByteArrayView textArgument(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? QByteArrayView(text, sqlite3_value_bytes(value)) : QByteArrayView();
}

// The pattern is folded once per statement and kept with it: a search tests
// every name of the catalogue against the same pattern.
const LikePattern& patternOf(sqlite3_context* context, QByteArrayView text, char32_t escape)
{
    auto* kept = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (kept && kept->isPatternOf(text, escape))
        return *kept;
    auto* pattern = new LikePattern(text, escape);
    sqlite3_set_auxdata(context, 0, pattern, [](void* data) { delete static_cast<LikePattern*>(data); });
    // The engine may drop it at once (for a pattern that changes from row to row).
    kept = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (kept == pattern)
        return *kept;
    static thread_local std::optional<LikePattern> unkept;
    unkept.emplace(text, escape);
    return *unkept;
}

void likeFunction(sqlite3_context* context, int argumentCount, sqlite3_value** arguments)
{
    const QByteArrayView pattern = textArgument(arguments[0]);
    const QByteArrayView text = textArgument(arguments[1]);
    if (pattern.isNull() || text.isNull()) {
        sqlite3_result_null(context);
        return;
    }
    char32_t escape = 0;
    if (argumentCount == 3) {
        const QByteArrayView escapeBytes = textArgument(arguments[2]);
        const QList<uint> escapeText =
            escapeBytes.size() == 1 ? QList<uint>{static_cast<unsigned char>(escapeBytes[0])}
                                    : QString::fromUtf8(escapeBytes).toUcs4();
        if (escapeText.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = escapeText.first();
    }
    sqlite3_result_int(context, patternOf(context, pattern, escape).matches(text) ? 1 : 0);
}

// The cause of an engine failure in words for the user; empty for a
// statement the engine refused, whose own text is then shown.
QString causeOf(int code, const QString& path)
{
    if (code == SQLITE_BUSY_SNAPSHOT)
        return QStringLiteral("Os dados foram alterados por outra operação depois de lidos; nada foi gravado. "
                              "Abra a janela de novo e repita.");
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("O arquivo de dados bd1 está em uso por outro programa; nada foi feito. Aguarde um "
                              "momento e tente de novo.");
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        if (!folderWritable(path))
            return folderNotWritable(path);
        return QStringLiteral("O arquivo de dados bd1 ou um arquivo auxiliar dele está protegido contra gravação; "
                              "nada foi gravado.");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("O arquivo de dados bd1 está danificado.");
    case SQLITE_FULL:
        return QStringLiteral("O disco está cheio; nada foi gravado no arquivo de dados bd1.");
    case SQLITE_IOERR:
        return QStringLiteral("Erro de leitura ou gravação no disco ao usar o arquivo de dados bd1.");
    case SQLITE_NOMEM:
        return QStringLiteral("Não há memória suficiente para usar o arquivo de dados bd1.");
    default:
        return {};
    }
}

std::optional<struct stat> statOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return info;
}

class SqliteStatement : public EngineStatement {
public:
    SqliteStatement(const SqliteEngine& engine, sqlite3_stmt* statement) : engine_(engine), statement_(statement) {}
    ~SqliteStatement() override { sqlite3_finalize(statement_); }

    void bindNull(int position) override { check(sqlite3_bind_null(statement_, position)); }
    void bindInteger(int position, qint64 value) override { check(sqlite3_bind_int64(statement_, position, value)); }
    void bindReal(int position, double value) override { check(sqlite3_bind_double(statement_, position, value)); }
    void bindText(int position, QByteArrayView utf8) override
    {
        check(sqlite3_bind_text(statement_, position, utf8.data() ? utf8.data() : "", static_cast<int>(utf8.size()),
                                SQLITE_TRANSIENT));
    }

    bool step() override
    {
        const int rc = sqlite3_step(statement_);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            engine_.fail();
        changes_ = sqlite3_stmt_readonly(statement_) ? 0 : sqlite3_changes(engine_.handle());
        return false;
    }

    void reset() override
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }

    qint64 changes() const override { return changes_; }
    int columnCount() const override { return sqlite3_column_count(statement_); }
    QString columnName(int column) const override { return QString::fromUtf8(sqlite3_column_name(statement_, column)); }

    CellKind kind(int column) const override
    {
        switch (sqlite3_column_type(statement_, column)) {
        case SQLITE_INTEGER:
            return CellKind::Integer;
        case SQLITE_FLOAT:
            return CellKind::Real;
        case SQLITE_TEXT:
            return CellKind::Text;
        case SQLITE_BLOB:
            return CellKind::Blob;
        default:
            return CellKind::Null;
        }
    }

    qint64 integer(int column) const override { return sqlite3_column_int64(statement_, column); }
    double real(int column) const override { return sqlite3_column_double(statement_, column); }
    QByteArrayView bytes(int column) const override
    {
        const void* data = sqlite3_column_type(statement_, column) == SQLITE_BLOB
                               ? sqlite3_column_blob(statement_, column)
                               : static_cast<const void*>(sqlite3_column_text(statement_, column));
        return QByteArrayView(static_cast<const char*>(data), sqlite3_column_bytes(statement_, column));
    }

private:
    void check(int rc) const
    {
        if (rc != SQLITE_OK)
            engine_.fail();
    }

    const SqliteEngine& engine_;
    sqlite3_stmt* statement_;
    qint64 changes_ = 0;
};

}   // namespace

int pinCipherDefaults(sqlite3* db)
{
    static std::mutex pinning;
    const std::lock_guard locked(pinning);
    static bool pinned = false;
    if (pinned)
        return SQLITE_OK;
    for (const char* setting : CIPHER_DEFAULTS) {
        const int rc = sqlite3_exec(db, setting, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    pinned = true;
    return SQLITE_OK;
}

int pinCipherSettings(sqlite3* db)
{
    for (const char* setting : CIPHER_SETTINGS) {
        const int rc = sqlite3_exec(db, setting, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return SQLITE_OK;
}

int registerStoreFunctions(sqlite3* db)
{
    for (int argumentCount : {2, 3}) {
        const int rc = sqlite3_create_function(db, "like", argumentCount, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                               likeFunction, nullptr, nullptr);
        if (rc != SQLITE_OK)
            return rc;
    }
    return registerCollations(db);
}

SqliteEngine::SqliteEngine(const QString& path) : path_(path)
{
    salt_ = saltOfFile(path_);
    key_ = keyForSalt(salt_);
    checkWritable(path_);
    // From here on the file is open: its salt is no more to be read from it.
    lendSalt(path_, salt_);
    saltLent_ = true;
    // One thread uses the connection: the engine need not lock it at every call.
    const int rc = sqlite3_open_v2(QFile::encodeName(path_).constData(), &db_,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const StoreError failure = lastError();
        close();
        throw failure;
    }
    try {
        sqlite3_extended_result_codes(db_, 1);
        if (registerStoreFunctions(db_) != SQLITE_OK)
            fail();
        applyKey();
        // Already for the first read: another connection (another program,
        // or the till's sender) may be writing or switching the journal.
        sqlite3_busy_timeout(db_, BUSY_TIMEOUT_MS);
        checkOpensWithKey();
        useWriteAheadLog();
        execute(DURABLE_COMMITS);
        execute(PAGE_CACHE);
        const std::optional<struct stat> identity = statOf(path_);
        if (!identity)
            failMissing(path_);
        device_ = identity->st_dev;
        inode_ = identity->st_ino;
        static std::atomic<quint64> openings = 0;
        opening_ = ++openings;
    } catch (...) {
        close();
        throw;
    }
}

SqliteEngine::~SqliteEngine()
{
    close();
}

const Dialect& SqliteEngine::dialect() const
{
    return Dialect::file();
}

void SqliteEngine::close()
{
    if (std::exchange(saltLent_, false))
        takeSaltBack(path_, salt_);
    if (!db_)
        return;
    dropKeptStatements();
    // Closing the last connection to a file removes its side files by name.
    // When bd1 was replaced or removed, those names may already belong to
    // another file: keep them.
    const std::optional<struct stat> now = statOf(path_);
    if (!now || now->st_ino != inode_ || now->st_dev != device_) {
        int persist = 1;
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    }
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void SqliteEngine::applyKey()
{
    if (pinCipherDefaults(db_) != SQLITE_OK || sqlite3_key(db_, key_.constData(), static_cast<int>(key_.size())) != SQLITE_OK)
        fail();
}

void SqliteEngine::checkOpensWithKey()
{
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type = 'table'", -1, &statement, nullptr);
    QStringList tables;
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            tables.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    }
    const StoreError failure = lastError();
    sqlite3_finalize(statement);

    if ((rc & 0xFF) == SQLITE_NOTADB)
        failOpening(QStringLiteral("O arquivo de dados bd1 não abre com a senha do programa: está danificado ou "
                                   "foi criado com outra senha."),
                    path_);
    if (rc != SQLITE_DONE) {
        markFailed();
        throw failure;
    }
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

// With the write-ahead log a write never waits for a reading statement still
// open on another connection. A file in another journal mode is switched
// over; when another program holds it just then, it is switched at a later open.
void SqliteEngine::useWriteAheadLog()
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &statement, nullptr) != SQLITE_OK)
        fail();
    QString mode;
    if (sqlite3_step(statement) == SQLITE_ROW)
        mode = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    const StoreError failure = lastError();
    if (sqlite3_finalize(statement) != SQLITE_OK) {
        markFailed();
        throw failure;
    }
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
}

std::unique_ptr<EngineStatement> SqliteEngine::prepare(const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.constData(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        const StoreError failure = lastError();
        sqlite3_finalize(statement);
        markFailed();
        throw failure;
    }
    if (!statement)
        throw StoreError(QStringLiteral("Comando vazio enviado ao arquivo de dados bd1."));
    return std::make_unique<SqliteStatement>(*this, statement);
}

void SqliteEngine::execute(QByteArrayView sql)
{
    const QByteArray text = sql.toByteArray();
    if (sqlite3_exec(db_, text.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail();
}

qint64 SqliteEngine::lastInsertRowId() const
{
    return sqlite3_last_insert_rowid(db_);
}

void SqliteEngine::beginWriting()
{
    execute(dialect().beginWriting());
}

void SqliteEngine::commit()
{
    execute("COMMIT");
}

void SqliteEngine::rollback()
{
    if (!sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteEngine::stillCurrent() const
{
    const std::optional<struct stat> now = statOf(path_);
    if (!now || now->st_dev != device_ || now->st_ino != inode_)
        return false;
    checkWritable(path_);
    return true;
}

bool SqliteEngine::atRest() const
{
    if (!sqlite3_get_autocommit(db_))
        return false;
    for (sqlite3_stmt* statement = sqlite3_next_stmt(db_, nullptr); statement;
         statement = sqlite3_next_stmt(db_, statement)) {
        if (sqlite3_stmt_busy(statement))
            return false;
    }
    return true;
}

void SqliteEngine::bringToRest()
{
    for (sqlite3_stmt* statement = sqlite3_next_stmt(db_, nullptr); statement;
         statement = sqlite3_next_stmt(db_, statement)) {
        if (sqlite3_stmt_busy(statement))
            sqlite3_reset(statement);
    }
    rollback();
}

void SqliteEngine::checkpoint()
{
    sqlite3_busy_timeout(db_, CHECKPOINT_WAIT_MS);
    const int rc = sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db_, BUSY_TIMEOUT_MS);
    // Another program still reading keeps the log; nothing is lost, and the
    // next checkpoint or the last close writes it.
    if (rc != SQLITE_OK && (rc & 0xFF) != SQLITE_BUSY && (rc & 0xFF) != SQLITE_LOCKED)
        fail();
}

void SqliteEngine::holdPages(PageHold hold)
{
    switch (hold) {
    case PageHold::Usual:
        execute(PAGE_CACHE);
        return;
    case PageHold::ForLargeWrite:
        execute(LARGE_WRITE_PAGE_CACHE);
        return;
    case PageHold::ForTableWalk:
        execute(TABLE_WALK_PAGE_CACHE);
        return;
    }
}

std::optional<DataMark> SqliteEngine::dataMark()
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    std::optional<DataMark> mark;
    if (sqlite3_step(statement) == SQLITE_ROW)
        mark = DataMark{opening_, sqlite3_column_int64(statement, 0), sqlite3_total_changes(db_)};
    sqlite3_finalize(statement);
    return mark;
}

QString SqliteEngine::declaredCollation(const QString& table, const QString& field)
{
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db_, "main", table.toUtf8().constData(), field.toUtf8().constData(), nullptr,
                                      &collation, nullptr, nullptr, nullptr) != SQLITE_OK)
        return {};
    return QString::fromUtf8(collation);
}

QString SqliteEngine::engineMessage() const
{
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("sem memória");
}

void SqliteEngine::fail() const
{
    markFailed();
    throw lastError();
}

StoreError SqliteEngine::lastError() const
{
    const int code = db_ ? sqlite3_extended_errcode(db_) : SQLITE_NOMEM;
    const QString cause = causeOf(code, path_);
    if (!cause.isEmpty())
        return fileError(cause, path_);
    return fileError(QStringLiteral("Erro no banco de dados: %1").arg(engineMessage()), path_);
}
