#include "store/connection.h"
#include "store/statement.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "support/test_database.h"


#include <QtTest>

#include <sqlite3.h>

// An engine whose defaults differ from the settings every bd1 is written with
// (as a later engine version's do) must still make and open bd1 files the same
// way. Run in a process of its own: the engine's defaults are process-wide.
class CipherSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        for (const char* other : {"PRAGMA cipher_default_page_size = 4096", "PRAGMA cipher_default_kdf_iter = 4000",
                                  "PRAGMA cipher_default_use_hmac = OFF"})
            QCOMPARE(sqlite3_exec(db, other, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    void filesAreMadeAndOpenedWithThePinnedSettings()
    {
        TestDatabase database({{product("1", "Arroz", 5)}});
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre);
        QCOMPARE(products.text("NombreProducto"), QString("Arroz"));

        // Read back what the connection uses.
        auto setting = [&](const char* pragma) {
            Statement statement(connection, pragma);
            return statement.next() ? statement.whole(0) : -1;
        };
        QCOMPARE(setting("PRAGMA cipher_page_size"), 1024);
        QCOMPARE(setting("PRAGMA kdf_iter"), 64000);
        QCOMPARE(setting("PRAGMA cipher_use_hmac"), 1);
    }
};

QTEST_GUILESS_MAIN(CipherSettingsTest)
#include "tst_cipher_settings.moc"
