#pragma once

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

class Connection;

// How to write. Every change to the shop's data is one unit of work:
//
//     const Resultado r = runInTransaction(conexion, [&] {
//         ...record sets over queries.h and the store's named operations...
//         return r;
//     });
//
// All of the work is stored, or none of it: an exception leaves the data as
// they were and passes through.
//
// - On bd1 the transaction begins with BEGIN IMMEDIATE: another program
//   writing at the same moment makes the work wait at its start, up to the
//   busy time-out (five seconds), and then refuses it whole with "em uso",
//   never half-way through its writes.
// - On a shop's server it runs at repeatable read. When another till wrote
//   the same rows at the same moment, the server refuses the work whole and
//   it runs again from its start: up to 50 times, after short random pauses;
//   the last refusal (a ConflictError) passes through.
//
// The work may therefore run more than once. It reads and writes only
// through the connection; whatever it changes outside the data (a window's
// list, a box, a member) waits until runInTransaction has returned, and is
// taken from what the work returned.
template <typename Work>
auto runInTransaction(Connection& connection, Work work);

namespace unit_of_work_detail {
// Runs attempt in one writing transaction, again after a conflict, as above.
void run(Connection& connection, const std::function<void()>& attempt);
}   // namespace unit_of_work_detail

template <typename Work>
auto runInTransaction(Connection& connection, Work work)
{
    using Result = std::invoke_result_t<Work&>;
    if constexpr (std::is_void_v<Result>) {
        unit_of_work_detail::run(connection, work);
    } else {
        std::optional<Result> result;
        unit_of_work_detail::run(connection, [&] { result.emplace(work()); });
        return std::move(*result);
    }
}
