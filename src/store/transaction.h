#pragma once

#include "store/store_error.h"

#include <QThread>

#include <algorithm>
#include <random>

class Connection;
class Engine;

// Several writes of one user action: all of them are stored, or none.
// Rolls back on destruction unless committed.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    explicit Transaction(Engine& engine);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Engine& engine_;
    bool open_ = true;
};

// Runs work in one writing transaction, all of it stored or none. When
// another till wrote the same rows at the same moment (a server refuses the
// later write whole), the work runs again from its start, a few times, after
// a short pause; the last refusal passes through.
template <typename Work>
auto runInTransaction(Connection& connection, Work work)
{
    constexpr int ATTEMPTS = 50;
    constexpr unsigned LONGEST_PAUSE_MS = 200;
    static thread_local std::minstd_rand pauses{std::random_device{}()};
    for (int attempt = 1;; ++attempt) {
        try {
            Transaction transaction(connection);
            if constexpr (std::is_void_v<decltype(work())>) {
                work();
                transaction.commit();
                return;
            } else {
                auto result = work();
                transaction.commit();
                return result;
            }
        } catch (const ConflictError&) {
            if (attempt == ATTEMPTS)
                throw;
            const unsigned longest = std::min(LONGEST_PAUSE_MS, 5u * attempt);
            QThread::msleep(std::uniform_int_distribution<unsigned>(1, longest)(pauses));
        }
    }
}
