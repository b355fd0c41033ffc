#include "common/number_settings.h"
#include "store/connection.h"
#include "store/like_match.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/store_error.h"
#include "store/transaction.h"
#include "support/test_database.h"

#include <QtTest>

namespace {

QStringList walkNames(RecordSet& products)
{
    QStringList names;
    for (products.moveFirst(); !products.eof(); products.moveNext())
        names.append(products.text(QStringLiteral("NombreProducto")));
    return names;
}

QStringList namesOf(const QString& folder, const QString& query, const RecordSet::Equals& filter)
{
    Connection connection(folder);
    RecordSet rows(connection, query, filter);
    return walkNames(rows);
}

QStringList searchNames(const QString& folder, const QString& searchText)
{
    Connection connection(folder);
    RecordSet rows(connection, Query::ProductosBusqueda, QVariantList{likeLiteral(searchText)});
    return walkNames(rows);
}

}   // namespace

class RecordSetTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    // Every statement of the program runs against the tables as the database tool makes them.
    void everyQueryOpens_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("rows");
        for (const char* query : {Query::ProductosPorNombre, Query::ProductosListado, Query::ProductosPorCodigo,
                                  Query::ProductosPorCantidad, Query::Temporal, Query::TemporalPorVenta,
                                  Query::TemporalPorVentaListado, Query::TipoPago, Query::TipoPagoListado,
                                  Query::Recaudacion, Query::UsuariosPorNombre, Query::Usuarios})
            QTest::newRow(query) << QString(query) << 1;
        QTest::newRow(Query::Categorias) << QString(Query::Categorias) << 1;
        QTest::newRow(Query::VentasDeTemporal) << QString(Query::VentasDeTemporal) << 1;
    }

    void everyQueryOpens()
    {
        QFETCH(QString, query);
        QFETCH(int, rows);
        TestDatabase database({{product("1", "Arroz", 5)}});
        database.execute("INSERT INTO Temporal (CodigoProducto, FechaVenta) VALUES ('1', '2024-03-05 08:15:02')");
        database.execute("INSERT INTO Recaudacion (CodigoProducto) VALUES ('1')");
        database.execute("INSERT INTO TipoPago (FechaInicio) VALUES ('2024-03-05 08:00:00')");
        Connection connection(database.folder());
        RecordSet rowsOfQuery(connection, query);
        QCOMPARE(rowsOfQuery.recordCount(), rows);
    }

    void emptyTableIsAtBothEnds()
    {
        TestDatabase database;
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre);
        QVERIFY(products.bof());
        QVERIFY(products.eof());
        QVERIFY(products.isEmpty());
        products.moveFirst();
        products.moveNext();
        products.moveLast();
        QVERIFY(products.eof());
        QVERIFY_THROWS_EXCEPTION(StoreError, products.text(QStringLiteral("NombreProducto")));
    }

    void walksBothWaysInTheQueryOrder()
    {
        TestDatabase database({{product("3", "Café", 10), product("1", "Arroz", 5), product("2", "Banana", 3)}});
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre);
        QVERIFY(!products.bof() && !products.eof());
        QCOMPARE(walkNames(products), (QStringList{"Arroz", "Banana", "Café"}));
        QVERIFY(products.eof() && !products.bof());

        products.moveLast();
        QCOMPARE(products.text("NombreProducto"), QString("Café"));
        products.movePrevious();
        products.movePrevious();
        QCOMPARE(products.text("nombreproducto"), QString("Arroz"));   // field names ignore letter case
        products.movePrevious();
        QVERIFY(products.bof() && !products.eof());
        products.moveNext();
        QCOMPARE(products.text("NombreProducto"), QString("Arroz"));
        QCOMPARE(products.recordCount(), 3);

        RecordSet byCode(connection, Query::ProductosPorCodigo);
        QCOMPARE(walkNames(byCode), (QStringList{"Arroz", "Banana", "Café"}));
    }

    // A lookup by a field gives the rows a walk comparing that field would stop at, in the same order.
    void lookupFindsTheFirstMatchInQueryOrder()
    {
        TestDatabase database({{product("789", "Zebu Carne", 30), product("111", "Leite", 5),
                                product("789", "Alcatra", 40), product("222", "Pão", 1)}});
        const QString folder = database.folder();
        QCOMPARE(namesOf(folder, Query::ProductosPorNombre, {"CodigoProducto", "789"}),
                 (QStringList{"Alcatra", "Zebu Carne"}));
        QCOMPARE(namesOf(folder, Query::ProductosPorNombre, {"CodigoProducto", "78"}), QStringList());
        QCOMPARE(namesOf(folder, Query::ProductosPorNombre, {"CodigoProducto", ""}), QStringList());

        Connection connection(folder);
        QString firstWalked;
        {
            RecordSet all(connection, Query::ProductosPorNombre);
            for (; !all.eof(); all.moveNext()) {
                if (all.text("CodigoProducto") == "789") {
                    firstWalked = all.text("NombreProducto");
                    break;
                }
            }
        }
        QCOMPARE(firstWalked, QString("Alcatra"));

        // Same name and code twice: the older row comes first, as in the table's own order.
        database.execute("INSERT INTO Productos (CodigoProducto, NombreProducto) VALUES ('555', 'Igual')");
        database.execute("INSERT INTO Productos (CodigoProducto, NombreProducto, Cantidad) VALUES ('555', 'Igual', 7)");
        RecordSet twins(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", "555"});
        QVERIFY(twins.isNull("Cantidad"));
        twins.moveNext();
        QCOMPARE(twins.number("Cantidad"), 7.0);
    }

    void fieldsConvertByTheirTypeBothWays()
    {
        TestDatabase database;
        {
            Connection connection(database.folder());
            RecordSet products(connection, Query::ProductosPorNombre);
            products.addNew();
            products.setText("CodigoProducto", "0789");
            products.setText("NombreProducto", "Queijo");
            products.setText("Cantidad", "1,5");
            products.setText("PrecioCosto", "1.234,5");
            products.setNumber("PrecioVenta", 2.25);
            products.setText("StockCritico", "5");
            products.setText("Categoria", "");
            products.update();
        }
        QCOMPARE(database.scalar("SELECT typeof(Cantidad) || ':' || Cantidad FROM Productos"), QVariant("real:1.5"));
        QCOMPARE(database.scalar("SELECT PrecioCosto FROM Productos"), QVariant(1234.5));
        QCOMPARE(database.scalar("SELECT typeof(StockCritico) FROM Productos"), QVariant("integer"));
        QCOMPARE(database.scalar("SELECT ParteDeOferta FROM Productos"), QVariant(0.0));

        Connection connection(database.folder());
        {
            RecordSet products(connection, Query::ProductosPorNombre);
            QCOMPARE(products.text("CodigoProducto"), QString("0789"));
            QCOMPARE(products.number("CodigoProducto"), 789.0);
            QCOMPARE(products.text("Cantidad"), QString("1,5"));
            QCOMPARE(products.text("PrecioCosto"), QString("1234,5"));
            QCOMPARE(products.text("PrecioVenta"), QString("2,25"));
            QCOMPARE(products.text("StockCritico"), QString("5"));
            QCOMPARE(products.number("StockCritico"), 5.0);
            QVERIFY(!products.isNull("Categoria"));
            QCOMPARE(products.text("Categoria"), QString());
        }

        database.execute("UPDATE Productos SET Categoria = NULL");
        RecordSet again(connection, Query::ProductosPorNombre);
        QVERIFY(again.isNull("Categoria"));
        QCOMPARE(again.text("Categoria"), QString());
        QVERIFY_THROWS_EXCEPTION(ConversionError, again.number("Categoria"));
        QVERIFY_THROWS_EXCEPTION(ConversionError, again.number("NombreProducto"));
    }

    void dateTimesAreStoredSoThatOrderIsTimeOrder()
    {
        TestDatabase database;
        {
            Connection connection(database.folder());
            RecordSet takings(connection, Query::TipoPago);
            for (const char* start : {"10/01/2024 9:00:00", "02/02/2023 10:00:00", "10/01/2024 10:05:09"}) {
                takings.addNew();
                takings.setText("FechaInicio", start);
                takings.update();
            }
            QVERIFY_THROWS_EXCEPTION(ConversionError, takings.setText("FechaCierre", "31/02/2024 9:00:00"));
        }
        QCOMPARE(database.scalar("SELECT FechaInicio FROM TipoPago ORDER BY rowid"), QVariant("2024-01-10 09:00:00"));

        Connection connection(database.folder());
        RecordSet takings(connection, Query::TipoPago);
        QStringList starts;
        for (; !takings.eof(); takings.moveNext())
            starts.append(takings.text("FechaInicio"));
        QCOMPARE(starts, (QStringList{"02/02/2023 10:00:00", "10/01/2024 9:00:00", "10/01/2024 10:05:09"}));

        // A new row starts its takings at zero; a date-time lookup compares moments, not texts.
        RecordSet session(connection, Query::TipoPago, RecordSet::Equals{"FechaInicio", "10/1/2024 09:00"});
        QVERIFY(!session.eof());
        QCOMPARE(session.number("efectivo"), 0.0);
        QCOMPARE(session.number("tarjeta"), 0.0);
        QCOMPARE(session.number("CajaInicial"), 0.0);
        QVERIFY(session.isNull("FechaCierre"));
        QCOMPARE(session.dateTime("FechaInicio"), std::optional(QDateTime(QDate(2024, 1, 10), QTime(9, 0))));
    }

    void changesReachExactlyTheirRow()
    {
        TestDatabase database({{product("1", "Arroz", 5), product("2", "Banana", 3), product("3", "Café", 10)}});
        Connection connection(database.folder());
        {
            RecordSet banana(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", "2"});
            banana.setText("Cantidad", "97,5");
            banana.update();
        }
        QCOMPARE(database.scalar("SELECT group_concat(Cantidad, ';') FROM (SELECT Cantidad FROM Productos ORDER BY "
                                 "CodigoProducto)"),
                 QVariant("100.0;97.5;100.0"));

        // Moving on with changes pending stores them first.
        RecordSet products(connection, Query::ProductosPorNombre);
        products.setText("Cantidad", "1");
        products.moveNext();
        QCOMPARE(database.scalar("SELECT Cantidad FROM Productos WHERE CodigoProducto = '1'"), QVariant(1.0));

        // Deleting while walking: every row goes and the walk still visits each one.
        RecordSet all(connection, Query::ProductosPorNombre);
        int visited = 0;
        for (all.moveFirst(); !all.eof(); all.moveNext()) {
            all.deleteCurrent();
            ++visited;
        }
        QCOMPARE(visited, 3);
        QCOMPARE(database.count("Productos"), 0);
    }

    void failedConversionStoresNothing()
    {
        TestDatabase database({{product("1", "Arroz", 5)}});
        Connection connection(database.folder());
        {
            RecordSet products(connection, Query::ProductosPorNombre);
            products.addNew();
            products.setText("NombreProducto", "Feijão");
            try {
                products.setText("Cantidad", "dez");
                QFAIL("a text that is not a number was accepted");
            } catch (const ConversionError& error) {
                QVERIFY2(error.message().contains("Cantidad"), qPrintable(error.message()));
            }
        }
        {
            RecordSet products(connection, Query::ProductosPorNombre);
            QVERIFY_THROWS_EXCEPTION(ConversionError, products.setText("PrecioVenta", "1,2,3"));
            products.update();
        }
        QCOMPARE(database.count("Productos"), 1);
        QCOMPARE(database.scalar("SELECT PrecioVenta FROM Productos"), QVariant(5.0));
    }

    void readOnlyListsRefuseChanges()
    {
        TestDatabase database({{product("1", "Arroz", 5, 10, 0, 0, "Grãos")}});
        Connection connection(database.folder());
        RecordSet listing(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
        QCOMPARE(listing.text("NombreProducto"), QString("Arroz"));
        QVERIFY_THROWS_EXCEPTION(StoreError, listing.setText("Cantidad", "1"));
        QVERIFY_THROWS_EXCEPTION(StoreError, listing.deleteCurrent());
        QVERIFY_THROWS_EXCEPTION(StoreError, listing.addNew());

        RecordSet categories(connection, Query::Categorias);
        QCOMPARE(categories.text("Categoria"), QString("Grãos"));
        QVERIFY_THROWS_EXCEPTION(StoreError, categories.deleteCurrent());
        QCOMPARE(database.count("Productos"), 1);
    }

    void appendOnlyReadsNoRows()
    {
        TestDatabase database({{product("1", "Arroz", 5)}});
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre, RecordSet::Mode::AppendOnly);
        QVERIFY(products.isEmpty());
        products.addNew();
        products.setText("CodigoProducto", "2");
        products.update();
        QCOMPARE(products.text("CodigoProducto"), QString("2"));
        QCOMPARE(database.count("Productos"), 2);
    }

    void transactionStoresAllOrNothing()
    {
        TestDatabase database;
        auto appendUser = [&](Connection& connection, const QString& name) {
            RecordSet users(connection, Query::UsuariosPorNombre);
            users.addNew();
            users.setText("NombreUsuario", name);
            users.update();
        };
        Connection connection(database.folder());
        {
            Transaction transaction(connection);
            appendUser(connection, "maria");
            appendUser(connection, "joao");
        }
        QCOMPARE(database.count("Usuarios"), 1);
        {
            Transaction transaction(connection);
            appendUser(connection, "maria");
            appendUser(connection, "joao");
            transaction.commit();
        }
        QCOMPARE(database.count("Usuarios"), 3);
    }

    void nameSearchIsSafeAndIgnoresLetterCase()
    {
        TestDatabase database({{product("1", "AÇÚCAR CRISTAL", 5), product("2", "Biscoito D'Ajuda", 3),
                                product("3", "Pão Francês", 1), product("4", "Café", 10),
                                product("5", "Desconto 10% c_f", 1), product("6", "Barra\\Ferro", 1)}});
        const QString folder = database.folder();
        QCOMPARE(searchNames(folder, "açúcar"), QStringList{"AÇÚCAR CRISTAL"});
        QCOMPARE(searchNames(folder, "PÃO"), QStringList{"Pão Francês"});
        QCOMPARE(searchNames(folder, "d'a"), QStringList{"Biscoito D'Ajuda"});
        QCOMPARE(searchNames(folder, "'; DROP TABLE Productos; --"), QStringList());
        QCOMPARE(searchNames(folder, "").size(), 6);
        // "%", "_" and the backslash typed by the user match only themselves.
        QCOMPARE(searchNames(folder, "c_f"), QStringList{"Desconto 10% c_f"});
        QCOMPARE(searchNames(folder, "10%"), QStringList{"Desconto 10% c_f"});
        QCOMPARE(searchNames(folder, "%"), QStringList{"Desconto 10% c_f"});
        QCOMPARE(searchNames(folder, "a\\f"), QStringList{"Barra\\Ferro"});
        QCOMPARE(database.count("Productos"), 6);
    }
};

QTEST_GUILESS_MAIN(RecordSetTest)
#include "tst_record_set.moc"
