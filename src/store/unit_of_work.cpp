#include "store/unit_of_work.h"

#include "store/store_error.h"
#include "store/transaction.h"

#include <QThread>

#include <algorithm>
#include <random>

namespace {

constexpr int ATTEMPTS = 50;
constexpr unsigned LONGEST_PAUSE_MS = 200;

}   // namespace

void unit_of_work_detail::run(Connection& connection, const std::function<void()>& attempt)
{
    static thread_local std::minstd_rand pauses{std::random_device{}()};
    for (int tried = 1;; ++tried) {
        try {
            Transaction transaction(connection);
            attempt();
            transaction.commit();
            return;
        } catch (const ConflictError&) {
            if (tried == ATTEMPTS)
                throw;
            const unsigned longest = std::min(LONGEST_PAUSE_MS, 5u * tried);
            QThread::msleep(std::uniform_int_distribution<unsigned>(1, longest)(pauses));
        }
    }
}
