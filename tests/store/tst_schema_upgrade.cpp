#include "store/connection.h"
#include "store/operations.h"
#include "support/other_program.h"
#include "support/test_database.h"

#include <QtTest>

class SchemaUpgradeTest : public QObject {
    Q_OBJECT

private slots:
    // The till number is added at the first open, so the older table counts
    // eleven fields without the unit price: the price is still added, once.
    void olderTemporalGetsTheUnitPriceOnce()
    {
        NewDatabaseOptions older;
        older.olderTemporal = true;
        TestDatabase database(older);
        database.execute("INSERT INTO Temporal (CodigoProducto, Cantidad) VALUES ('1', 2)");
        QCOMPARE(database.columns("Temporal").size(), 11);
        QCOMPARE(database.columns("Temporal").last(), QString("Caixa:INTEGER"));

        Connection connection(database.folder());
        QVERIFY(Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 12);
        QCOMPARE(database.columns("Temporal").last(), QString("ValorUnitario:REAL"));
        QCOMPARE(database.scalar("SELECT Cantidad FROM Temporal"), QVariant(2.0));

        QVERIFY(!Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 12);
    }

    // A file of a till alone made before tills had numbers: every open line,
    // takings row and archived line belongs to till 1.
    void olderFilesGetTillOneOnEveryRow()
    {
        NewDatabaseOptions older;
        older.olderTills = true;
        TestDatabase database(older);
        OtherProgram(database.path()).execute("INSERT INTO Recaudacion (CodigoProducto) VALUES ('1');"
                                              "INSERT INTO TipoPago (FechaInicio) VALUES ('2024-03-05 08:00:00')");
        for (const char* table : {"Temporal", "TipoPago", "Recaudacion"})
            QVERIFY(database.columns(table).contains("Caixa:INTEGER"));
        QCOMPARE(database.scalar("SELECT Caixa FROM Recaudacion").toInt(), 1);
        QCOMPARE(database.scalar("SELECT Caixa FROM TipoPago").toInt(), 1);
        QVERIFY(!database.columns("Productos").contains("Caixa:INTEGER"));
    }

    // A file made before the till took Pix gets the takings' Pix field at its
    // first open, 0 on the rows it holds, and the takings it had kept.
    void olderFilesGetThePixTakings_data()
    {
        QTest::addColumn<bool>("olderTills");
        QTest::newRow("before several tills") << true;
        QTest::newRow("before Pix") << false;
    }

    void olderFilesGetThePixTakings()
    {
        QFETCH(bool, olderTills);
        NewDatabaseOptions older;
        older.olderTills = olderTills;
        older.olderTakings = true;
        TestDatabase database(older);
        OtherProgram(database.path()).execute("INSERT INTO TipoPago (FechaInicio, efectivo, tarjeta) "
                                              "VALUES ('2024-03-05 08:00:00', 10, 5)");
        QCOMPARE(database.columns("TipoPago").last(), QString("pix:REAL"));
        QCOMPARE(database.scalar("SELECT efectivo + tarjeta FROM TipoPago").toDouble(), 15.0);
        QCOMPARE(database.scalar("SELECT pix FROM TipoPago").toDouble(), 0.0);
    }

    // A file made before the index of the products in critical state gets it
    // at its first open; another program still writes products.
    void olderFilesGetTheCriticalStockIndex()
    {
        TestDatabase database;
        QCOMPARE(OtherProgram(database.path()).execute("DROP INDEX idx_Productos_Critico"), 0);
        Connection::release(database.folder());
        QCOMPARE(database.scalar("SELECT count(*) FROM sqlite_master WHERE name = 'idx_Productos_Critico'"),
                 QVariant(1LL));
        QCOMPARE(OtherProgram(database.path()).execute("INSERT INTO Productos (CodigoProducto, NombreProducto, "
                                                       "Cantidad, StockCritico) VALUES ('1', 'Água', 0, 2)"),
                 0);
        QCOMPARE(database.scalar("SELECT CodigoProducto FROM Productos INDEXED BY idx_Productos_Critico "
                                 "WHERE Cantidad <= StockCritico"),
                 QVariant(QStringLiteral("1")));
    }

    void currentTemporalIsLeftAlone()
    {
        TestDatabase database;
        Connection connection(database.folder());
        QVERIFY(!Actualizar_Temporal(connection));

        // A table with an extra column of its own but already holding the unit price is not touched either.
        database.execute("ALTER TABLE Temporal ADD COLUMN Observacao TEXT");
        QVERIFY(!Actualizar_Temporal(connection));
        QCOMPARE(database.columns("Temporal").size(), 13);
    }
};

QTEST_GUILESS_MAIN(SchemaUpgradeTest)
#include "tst_schema_upgrade.moc"
