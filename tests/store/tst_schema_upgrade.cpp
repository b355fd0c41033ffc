#include "store/connection.h"
#include "store/schema_upgrade.h"
#include "support/test_database.h"

#include <QtTest>

class SchemaUpgradeTest : public QObject {
    Q_OBJECT

private slots:
    void olderTemporalGetsTheUnitPriceOnce()
    {
        NewDatabaseOptions older;
        older.olderTemporal = true;
        TestDatabase database(older);
        database.execute("INSERT INTO Temporal (CodigoProducto, Cantidad) VALUES ('1', 2)");
        QCOMPARE(database.columns("Temporal").size(), 10);

        Connection connection(database.folder());
        QVERIFY(Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 11);
        QCOMPARE(database.columns("Temporal").last(), QString("ValorUnitario:REAL"));
        QCOMPARE(database.scalar("SELECT Cantidad FROM Temporal"), QVariant(2.0));

        QVERIFY(!Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 11);
    }

    void currentTemporalIsLeftAlone()
    {
        TestDatabase database;
        Connection connection(database.folder());
        QVERIFY(!Actualizar_Temporal(connection));

        // A table with an extra column of its own but already holding the unit price is not touched either.
        database.execute("ALTER TABLE Temporal ADD COLUMN Observacao TEXT");
        QVERIFY(!Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 12);
    }
};

QTEST_GUILESS_MAIN(SchemaUpgradeTest)
#include "tst_schema_upgrade.moc"
