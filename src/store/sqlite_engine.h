#pragma once

#include "store/engine.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

struct sqlite3;

// The keyed connection to one bd1, opened once and held for the run. It
// never creates the file: a missing, foreign, write-protected or damaged file
// is a StoreError that names the file and the cause.
//
// While it is open nothing else in the program may open bd1 through another
// descriptor: closing any descriptor of a file drops every lock the process
// holds on it, and another program would then take the write-ahead log away
// from under this connection. The file's key salt is therefore read once,
// before the engine opens the file, and kept here.
class SqliteEngine : public Engine {
public:
    explicit SqliteEngine(const QString& path);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    QString place() const override { return path_; }
    // A till alone with its bd1 is till 1.
    int till() const override { return 1; }
    const Dialect& dialect() const override;
    sqlite3* handle() const { return db_; }

    void execute(QByteArrayView sql) override;
    qint64 lastInsertRowId() const override;
    void beginWriting() override;
    void commit() override;
    void rollback() override;
    bool stillCurrent() const override;
    bool atRest() const override;
    void bringToRest() override;
    void checkpoint() override;
    void holdPages(PageHold hold) override;
    std::optional<DataMark> dataMark() override;
    // Through the engine's online backup: one read of the file, which no
    // writer waits for. The copy takes bd1's salt, so the program's password
    // opens it without deriving the key again.
    void writeCopy(const QString& path) override;
    QString declaredCollation(const QString& table, const QString& field) override;
    void runScript(QTextStream& in, ScriptOutput& output) override;
    StoreError lastError() const override;
    // Marks the connection failed (closed at the end of the action) and
    // throws the engine's last error.
    [[noreturn]] void fail() const;

protected:
    std::unique_ptr<EngineStatement> prepare(const QByteArray& sql) override;

private:
    void applyKey();
    void checkOpensWithKey();
    void useWriteAheadLog();
    void close();
    // The engine's own text of its last error.
    QString engineMessage() const;
    // Why the shell's statement was refused, in Portuguese.
    QString refusal() const;
    void runScriptText(const QByteArray& text, ScriptOutput& output);

    QString path_;
    QByteArray salt_;
    bool saltLent_ = false;
    QByteArray key_;
    sqlite3* db_ = nullptr;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    quint64 opening_ = 0;
};

// The cipher settings every bd1 is written with, set on a keyed connection
// before its first read, so that a later engine with other defaults still
// opens every file. Returns the engine's result code.
int pinCipherSettings(sqlite3* db);
// The same settings made the engine's defaults for every connection this
// process keys afterwards (set once; call before the key). Returns the
// engine's result code.
int pinCipherDefaults(sqlite3* db);
// The store's own functions (the accent- and case-blind like) and its two
// collations, registered on a connection. Returns the engine's result code.
int registerStoreFunctions(sqlite3* db);
