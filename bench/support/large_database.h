#pragma once

#include <QDate>
#include <QString>

#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

struct LargeDatabaseOptions {
    int products = 100000;
    int saleLines = 1000000;        // archived in Recaudacion
    QDate firstDay = {2023, 1, 2};  // one closed session a day from here
    int days = 730;
    std::uint64_t seed = 1958;
};

struct LargeDatabaseSummary {
    QString path;
    int products = 0;
    int saleLines = 0;
    int sales = 0;
    int sessions = 0;
};

// Writes a new bd1 into folder (made if missing), as the program's database
// tool makes it, filled with a shop's catalogue and the archive of closed day
// sessions: sale lines in Recaudacion and one TipoPago row per session whose
// cash and card takings are the totals of its lines. The same options always
// give the same contents. Refuses an existing bd1; on a failure nothing is
// left behind. Throws std::exception (StoreError included) on failure.
LargeDatabaseSummary generateLargeDatabase(const QString& folder, const LargeDatabaseOptions& options = {});

// The folder of a benchmark's large database: the program's first argument
// (a bd1 is generated there once and kept for later runs), or else a
// temporary folder, held by `temporary`, with a new one.
QString largeDatabaseFolder(const QStringList& arguments, std::unique_ptr<QTemporaryDir>& temporary,
                            const LargeDatabaseOptions& options = {});

// The same, with the catalogue and users only: no archived sale lines.
QString catalogueDatabaseFolder(const QStringList& arguments, std::unique_ptr<QTemporaryDir>& temporary);
