#pragma once

#include <QString>

struct sqlite3;

// A connection of another program to a bd1: straight to the engine, keyed,
// with the store's collations and pinned settings and nothing else of the
// store. Closed on destruction.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path);
    ~OtherProgram();
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    // The engine's result code.
    int execute(const char* sql);
    // The first column of the first row, as text.
    QString text(const char* sql);

private:
    sqlite3* db_ = nullptr;
};
