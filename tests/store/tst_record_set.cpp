#include "common/number_settings.h"
#include "common/numbers.h"
#include "store/connection.h"
#include "store/like_match.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/statement.h"
#include "store/store_error.h"
#include "store/transaction.h"
#include "support/error_of.h"
#include "support/other_program.h"
#include "support/test_database.h"

#include <QtTest>

#include <functional>

namespace {

QStringList walkNames(RecordSet& products)
{
    QStringList names;
    for (products.moveFirst(); !products.eof(); products.moveNext())
        names.append(products.text(QStringLiteral("NombreProducto")));
    return names;
}

QStringList namesOf(const QString& folder, const QueryText& query, const RecordSet::Equals& filter)
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

    // Every statement of the program, and every filtered form of it, runs
    // against the tables as the database tool makes them.
    void everyQueryOpens()
    {
        struct Case {
            const QueryText& query;
            QVariantList parameters;
        };
        const QVariantList month{"2024-03-01 00:00:00", "2024-04-01 00:00:00"};
        const Case cases[] = {
            {Query::ProductosPorNombre, {}}, {Query::ProductosListado, {}}, {Query::ProductosPorCodigo, {}},
            {Query::ProductosPorCantidad, {}}, {Query::ProductosBusqueda, {"rr"}}, {Query::NombresBusqueda, {"rr"}},
            {Query::Categorias, {}}, {Query::Temporal, {}}, {Query::VentasDeTemporal, {}},
            {Query::TemporalPorVenta, {}}, {Query::TemporalPorVentaListado, {}}, {Query::TipoPago, {}},
            {Query::TipoPagoListado, {}}, {Query::Recaudacion, {}}, {Query::UsuariosPorNombre, {}},
            {Query::Usuarios, {}}, {Query::RecaudacionDelPeriodo, month},
            {Query::RecaudacionDeSesion, {"2024-03-05 08:00:00", 1}}, {Query::TipoPagoDeSesion, {"2024-03-05 08:00:00", 1}},
            {Query::TipoPagoDelPeriodo, month},
        };
        const QHash<QString, QString> stored{{"CodigoProducto", "1"}, {"NombreProducto", "Arroz"},
                                             {"FechaVenta", "5/3/2024 8:15:02"}, {"FechaInicio", "5/3/2024 8:00:00"},
                                             {"NombreUsuario", "admin"}};
        TestDatabase database({{product("1", "Arroz", 5)}});
        database.execute("INSERT INTO Temporal (CodigoProducto, FechaVenta) VALUES ('1', '2024-03-05 08:15:02')");
        database.execute("INSERT INTO Recaudacion (CodigoProducto, FechaInicio) VALUES ('1', '2024-03-05 08:00:00')");
        database.execute("INSERT INTO TipoPago (FechaInicio) VALUES ('2024-03-05 08:00:00')");
        Connection connection(database.folder());
        for (const Case& each : cases) {
            RecordSet rows(connection, each.query, each.parameters);
            QVERIFY2(rows.recordCount() == 1, each.query.sql);
            for (const QueryFilter& filter : each.query.filters) {
                RecordSet filtered(connection, each.query, RecordSet::Equals{filter.field, stored.value(filter.field)});
                QVERIFY2(filtered.recordCount() == 1, filter.sql);
            }
        }
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

    // A listing finds each field's position once and reads every row by it.
    void readsByPositionAgreeWithReadsByName()
    {
        TestDatabase database({{product("0789", "Queijo", 2.25, 1.5, 5, 1234.5, "Frios"), product("2", "Água", 3)}});
        database.execute("UPDATE Productos SET Categoria = NULL WHERE CodigoProducto = '2'");
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosListado, RecordSet::Mode::ReadOnlyList);
        const QStringList fields = {"CodigoProducto", "NombreProducto", "Cantidad",     "PrecioCosto",
                                    "PrecioVenta",    "StockCritico",   "Categoria",    "ParteDeOferta"};
        QList<int> columns;
        for (const QString& field : fields)
            columns.append(products.column(field));
        QCOMPARE(columns, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(products.column("categoria"), 6);
        QCOMPARE(errorOf([&] { products.column("Preco"); }), QString("O campo Preco não existe na consulta."));

        int rows = 0;
        for (; !products.eof(); products.moveNext(), ++rows) {
            for (int i = 0; i < fields.size(); ++i) {
                QCOMPARE(products.text(columns[i]), products.text(fields[i]));
                QCOMPARE(products.isNull(columns[i]), products.isNull(fields[i]));
            }
            QCOMPARE(products.number(columns[2]), products.number("Cantidad"));
        }
        QCOMPARE(rows, 2);
        products.moveFirst();
        QCOMPARE(products.text(columns[1]), QString("Água"));
        QVERIFY(products.isNull(columns[6]));
        QVERIFY_THROWS_EXCEPTION(ConversionError, products.number(columns[6]));
        products.moveNext();
        QCOMPARE(products.text(columns[3]), QString("1234,5"));
        QCOMPARE(products.number(columns[5]), 5.0);
        QVERIFY_THROWS_EXCEPTION(StoreError, products.text(8));
        products.moveNext();
        QVERIFY_THROWS_EXCEPTION(StoreError, products.text(columns[0]));

        RecordSet takings(connection, Query::TipoPago);
        takings.addNew();
        takings.setText("FechaInicio", "10/01/2024 9:00:00");
        takings.update();
        QCOMPARE(takings.dateTime(takings.column("FechaInicio")), std::optional(QDateTime(QDate(2024, 1, 10), QTime(9, 0))));
        QCOMPARE(takings.dateTime(takings.column("FechaCierre")), std::nullopt);
    }

    // What was assigned reads back before and after it is stored, and a new row reads its defaults.
    void readsShowTheAssignedValues()
    {
        TestDatabase database({{product("1", "Arroz", 5), product("2", "Banana", 3)}});
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre);
        const int quantity = products.column("Cantidad");
        products.setText("Cantidad", "7,25");
        products.setText("Categoria", "Grãos");
        QCOMPARE(products.text(quantity), QString("7,25"));
        QCOMPARE(products.text("Categoria"), QString("Grãos"));
        QCOMPARE(products.text("NombreProducto"), QString("Arroz"));
        products.update();
        products.moveNext();
        products.setNull("Categoria");
        QVERIFY(products.isNull("Categoria"));
        products.movePrevious();
        QCOMPARE(products.number(quantity), 7.25);
        QCOMPARE(products.text("Categoria"), QString("Grãos"));
        products.moveNext();
        QVERIFY(products.isNull("Categoria"));

        products.addNew();
        QVERIFY(products.isNull("NombreProducto"));
        QCOMPARE(products.number("ParteDeOferta"), 0.0);
        products.setText("CodigoProducto", "3");
        products.setText("NombreProducto", "Café");
        products.update();
        QCOMPARE(products.text("NombreProducto"), QString("Café"));
        QCOMPARE(products.text("ParteDeOferta"), QString("0"));
        products.moveFirst();
        QCOMPARE(products.text("NombreProducto"), QString("Arroz"));
        products.moveLast();
        QCOMPARE(products.text("CodigoProducto"), QString("3"));
        QCOMPARE(database.scalar("SELECT Categoria FROM Productos WHERE CodigoProducto = '1'"), QVariant("Grãos"));
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

    // The folded pattern kept with a statement follows a new search text bound
    // to it, and a pattern that changes from row to row.
    void likeFollowsEachPattern()
    {
        TestDatabase database({{product("caf%", "Café", 10), product("p_o", "PÃO", 1), product("ar", "Arroz", 5)}});
        Connection connection(database.folder());
        Statement statement(connection, "select group_concat(CodigoProducto) from (select CodigoProducto from "
                                        "Productos where NombreProducto like ? order by rowid)");
        const auto matching = [&](const char* pattern) {
            statement.reset();
            statement.bind(1, QString::fromUtf8(pattern));
            statement.next();
            return statement.text(0);
        };
        QCOMPARE(matching("%A%"), QString("caf%,p_o,ar"));
        QCOMPARE(matching("%ão%"), QString("p_o"));
        QCOMPARE(matching("%é"), QString("caf%"));
        QCOMPARE(matching("%R%"), QString("ar"));
        statement.reset();

        QCOMPARE(database.scalar("select group_concat(CodigoProducto) from (select CodigoProducto from Productos "
                                 "where NombreProducto like CodigoProducto order by rowid)"),
                 QVariant("caf%,p_o"));
        QCOMPARE(database.scalar("select count(*) from Productos where NombreProducto like CodigoProducto || 'x'"),
                 QVariant(0));
    }

    // The search with an escape character ignores letter case as the plain one
    // does, and what the user types stands for itself.
    void literalSearchFindsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("percent") << "50%" << QStringList{"Desconto 50% Sabão"};
        QTest::newRow("underscore") << "a_b" << QStringList{"Kit A_B"};
        QTest::newRow("escape character") << "\\" << QStringList{"Barra \\ Dupla"};
        QTest::newRow("accented capitals") << "açúcar" << QStringList{"AÇÚCAR CRISTAL"};
        QTest::newRow("apostrophe") << "d'a" << QStringList{"Biscoito D'Ajuda"};
        QTest::newRow("nothing typed") << "" << QStringList{"AÇÚCAR CRISTAL", "Biscoito D'Ajuda", "Desconto 50% Sabão",
                                                           "Sabão 500 g",    "Kit A_B",          "Kit AxB",
                                                           "Barra \\ Dupla"};
    }

    void literalSearchFindsWhatWasTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        TestDatabase database({{product("1", "AÇÚCAR CRISTAL", 5), product("2", "Biscoito D'Ajuda", 3),
                                product("3", "Desconto 50% Sabão", 1), product("4", "Sabão 500 g", 10),
                                product("5", "Kit A_B", 1), product("6", "Kit AxB", 1),
                                product("7", "Barra \\ Dupla", 1)}});
        QCOMPARE(searchNames(database.folder(), typed), found);
    }

    // A deleted row leaves the set: the walk, the count and both ends skip it.
    void deletedRowsLeaveTheSet()
    {
        TestDatabase database({{product("1", "Arroz", 5), product("2", "Banana", 3), product("3", "Café", 10),
                                product("4", "Doce", 2)}});
        Connection connection(database.folder());
        RecordSet products(connection, Query::ProductosPorNombre);
        products.deleteCurrent();   // Arroz
        QVERIFY_THROWS_EXCEPTION(StoreError, products.text("NombreProducto"));
        QCOMPARE(products.recordCount(), 3);
        products.moveFirst();
        QCOMPARE(products.text("NombreProducto"), QString("Banana"));
        products.moveLast();
        products.deleteCurrent();   // Doce
        products.moveLast();
        QCOMPARE(products.text("NombreProducto"), QString("Café"));
        QCOMPARE(products.recordCount(), 2);
        products.movePrevious();
        QCOMPARE(products.text("NombreProducto"), QString("Banana"));
        products.movePrevious();
        QVERIFY(products.bof());
        QCOMPARE(walkNames(products), (QStringList{"Banana", "Café"}));
        QCOMPARE(database.count("Productos"), 2);
    }

    // A row another program deleted meanwhile can be neither changed nor deleted, and says so.
    void rowDeletedMeanwhileIsNotReportedAsDone()
    {
        TestDatabase database({{product("1", "Arroz", 5), product("2", "Banana", 3)}});
        Connection connection(database.folder());
        RecordSet changed(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", "1"});
        RecordSet deleted(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", "2"});
        QCOMPARE(changed.text("NombreProducto"), QString("Arroz"));
        QCOMPARE(deleted.text("NombreProducto"), QString("Banana"));
        {
            RecordSet stillReading(connection, Query::ProductosPorNombre);
            QCOMPARE(stillReading.text("NombreProducto"), QString("Arroz"));
            QCOMPARE(OtherProgram(database.path()).execute("DELETE FROM Productos"), 0);

            // Still reading the data as they were, the program cannot write over the change.
            const QString staleError = errorOf([&] {
                RecordSet users(connection, Query::Usuarios, RecordSet::Mode::AppendOnly);
                users.addNew();
                users.update();
            });
            QVERIFY2(staleError.contains("alterados por outra operação"), qPrintable(staleError));
        }
        QCOMPARE(deleted.recordCount(), 1);   // read to its end: the data as they are now come next

        const QString changeError = errorOf([&] {
            changed.setText("Cantidad", "7");
            changed.update();
        });
        QVERIFY2(changeError.contains("excluído por outra operação"), qPrintable(changeError));
        const QString deleteError = errorOf([&] { deleted.deleteCurrent(); });
        QVERIFY2(deleteError.contains("excluído por outra operação"), qPrintable(deleteError));
        QCOMPARE(database.count("Productos"), 0);
    }

    // Whole-number fields round to the nearest whole and refuse what they cannot hold.
    void wholeNumbersRoundAndStayInRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("rounds up") << "2,7" << QVariant(3);
        QTest::newRow("half away from zero") << "2,5" << QVariant(3);
        QTest::newRow("negative half") << "-2,5" << QVariant(-3);
        QTest::newRow("rounds down") << "0,4" << QVariant(0);
        QTest::newRow("largest") << "2.147.483.647" << QVariant(2147483647);
        QTest::newRow("smallest") << "-2147483648" << QVariant(-2147483648LL);
        QTest::newRow("one too many") << "2147483648" << QVariant();
        QTest::newRow("far too many") << "100000000000000000000" << QVariant();
        QTest::newRow("far too few") << "-100000000000000000000" << QVariant();
    }

    void wholeNumbersRoundAndStayInRange()
    {
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        TestDatabase database({{product("1", "Arroz", 5, 100, 9)}});
        {
            Connection connection(database.folder());
            RecordSet products(connection, Query::ProductosPorNombre);
            const QString message = errorOf([&] {
                products.setText("StockCritico", typed);
                products.update();
            });
            if (stored.isValid()) {
                QCOMPARE(message, QString());
            } else {
                QVERIFY2(message.contains("fora do intervalo") && message.contains("StockCritico") &&
                             message.contains(typed),
                         qPrintable(message));
                QVERIFY_THROWS_EXCEPTION(ConversionError, products.setNumber("StockCritico", A_Numero(typed)));
            }
        }
        const QVariant expected = stored.isValid() ? QVariant(stored.toLongLong()) : QVariant(9LL);
        QCOMPARE(database.scalar("SELECT StockCritico FROM Productos"), expected);
    }

    // Rows that tie on the query's order come back in the order they were added, every time.
    void tiesKeepTheOrderRowsWereAdded()
    {
        QList<NewProduct> products;
        for (int i = 0; i < 40; ++i)
            products.append(product("555", QStringLiteral("Igual"), 1, i % 4, 0, i));
        TestDatabase database({products});
        Connection connection(database.folder());
        for (const QueryText* query : {&Query::ProductosPorNombre, &Query::ProductosPorCodigo, &Query::ProductosPorCantidad}) {
            RecordSet rows(connection, *query);
            QList<double> costs;
            for (; !rows.eof(); rows.moveNext())
                costs.append(rows.number("PrecioCosto"));
            // By quantity (0, 1, 2, 3), and within one quantity in the order added.
            const bool byQuantity = query == &Query::ProductosPorCantidad;
            QList<double> expected;
            for (int i = 0; i < 40; ++i)
                expected.append(byQuantity ? (i % 10) * 4 + i / 10 : i);
            QCOMPARE(costs, expected);
        }
        RecordSet first(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", "555"});
        QCOMPARE(first.number("PrecioCosto"), 0.0);
    }
};

QTEST_GUILESS_MAIN(RecordSetTest)
#include "tst_record_set.moc"
