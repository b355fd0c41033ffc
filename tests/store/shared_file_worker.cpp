// Another program using bd1 while the shop's program runs, as a backup tool
// or the engine's shell would: for each line "cycle" read from its standard
// input it opens bd1 straight through the engine, counts the open sale lines,
// adds one unit to the stock of product "1", closes the file again, and
// answers "ok COUNT" (or "erro MESSAGE").
//   tenduca_shared_file_worker FOLDER
#include "store/collation.h"
#include "store/connection.h"
#include "store/keys.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

QString oneCycle(const QString& path, const QByteArray& key)
{
    sqlite3* db = nullptr;
    QString answer;
    auto failed = [&](const char* doing) { return QStringLiteral("erro %1: %2").arg(doing, sqlite3_errmsg(db)); };
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        answer = failed("open");
    else if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK ||
             registerCollations(db) != SQLITE_OK)
        answer = failed("key");
    else {
        sqlite3_busy_timeout(db, 5000);
        sqlite3_stmt* count = nullptr;
        if (sqlite3_prepare_v2(db, "select count(*) from Temporal", -1, &count, nullptr) != SQLITE_OK ||
            sqlite3_step(count) != SQLITE_ROW)
            answer = failed("count");
        else
            answer = QStringLiteral("ok %1").arg(sqlite3_column_int64(count, 0));
        sqlite3_finalize(count);
        if (answer.startsWith(QLatin1String("ok")) &&
            sqlite3_exec(db, "update Productos set Cantidad = Cantidad + 1 where CodigoProducto = '1'", nullptr,
                         nullptr, nullptr) != SQLITE_OK)
            answer = failed("update");
    }
    sqlite3_close(db);
    return answer;
}

}   // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = databasePath(QString::fromLocal8Bit(argv[1]));
    const QByteArray key = derivedKeyFor(path);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line != "cycle")
            continue;
        std::puts(oneCycle(path, key).toUtf8().constData());
        std::fflush(stdout);
    }
    return 0;
}
