#include "store/connection.h"
#include "store/server_engine.h"
#include "store/statement.h"
#include "store/till_copy.h"
#include "support/error_of.h"
#include "support/private_server.h"
#include "support/test_database.h"

#include <QMutex>
#include <QtTest>

#include <latch>
#include <memory>
#include <thread>

namespace {

constexpr char PRODUCT_ROWS[] = "select rowid, CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, "
                                "StockCritico, Categoria, ParteDeOferta from Productos order by rowid";
constexpr char USER_ROWS[] = "select rowid, NombreUsuario, Contraseña, PermisoCruce from Usuarios order by rowid";

// 21 products (one with accents, a backslash, a tab, CRLF and 0x1F in its
// name) and the users admin and maria, written as another program would.
constexpr char SEED[] =
    "insert into productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, StockCritico, "
    "Categoria) select n::text, 'Produto ' || n, n, 0.1 * n, 2.675 * n, 5, 'Geral' from generate_series(1, 20) n;"
    "insert into productos (CodigoProducto, NombreProducto, Cantidad, PrecioVenta, Categoria) values "
    "('789', E'Pão de Açúcar \\\\ x\\ty\\r\\nz\\x1F', -2.5, 0.30000000000000004, null);"
    "insert into usuarios (NombreUsuario, Contraseña, PermisoCruce) values ('maria', 'çé', 1)";

// Every field of a query's rows, numbers with all their digits.
QList<QStringList> rowsOf(Engine& engine, const char* sql)
{
    Statement statement(engine, sql);
    QList<QStringList> rows;
    while (statement.next()) {
        QStringList row;
        for (int column = 0; column < statement.columnCount(); ++column) {
            switch (statement.kind(column)) {
            case CellKind::Null:
                row.append(QStringLiteral("<null>"));
                break;
            case CellKind::Real:
                row.append(QString::number(statement.number(column), 'g', 17));
                break;
            default:
                row.append(statement.text(column));
            }
        }
        rows.append(row);
    }
    return rows;
}

QList<QStringList> catalogueAndUsers(Engine& engine)
{
    return rowsOf(engine, PRODUCT_ROWS) + rowsOf(engine, USER_ROWS);
}

QString databaseOf(const QString& connection)
{
    return connection.section(QStringLiteral("dbname="), 1).section(u' ', 0, 0);
}

}   // namespace

Q_DECLARE_METATYPE(CopyRefresh)

// A till's copy of the catalogue and the users, refreshed from the shop's server.
class TillCopyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateServer> server_;

    // A shop with the seed catalogue, and the connection string to it.
    QString seededShop()
    {
        const QString shop = server_->newShop();
        ServerEngine(shop, 1).execute(SEED);
        return shop;
    }

    static void compareCounts(const CopyRefresh& actual, const CopyRefresh& expected)
    {
        QCOMPARE(actual.productsChanged, expected.productsChanged);
        QCOMPARE(actual.productsRemoved, expected.productsRemoved);
        QCOMPARE(actual.usersChanged, expected.usersChanged);
        QCOMPARE(actual.usersRemoved, expected.usersRemoved);
    }

private slots:
    void initTestCase() { server_ = std::make_unique<PrivateServer>(); }
    void init()
    {
        if (!server_->unavailable().isEmpty())
            QSKIP(qPrintable("no server of the test's own: " + server_->unavailable()));
    }

    void refreshBringsWhatOtherProgramsChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<CopyRefresh>("brought");
        QTest::newRow("nothing") << QString() << CopyRefresh{};
        QTest::newRow("new products")
            << "insert into productos (CodigoProducto, NombreProducto, PrecioVenta) values ('50', E'Café\\t\\\\', "
               "1e-7), ('51', 'Feijão', 123456789.125)"
            << CopyRefresh{2, 0, 0, 0};
        QTest::newRow("prices and stock") << "update productos set PrecioVenta = PrecioVenta * 1.1, Cantidad = "
                                             "Cantidad - 3 where rowid <= 3"
                                          << CopyRefresh{3, 0, 0, 0};
        QTest::newRow("code changed") << "update productos set CodigoProducto = '999' where rowid = 4"
                                      << CopyRefresh{1, 0, 0, 0};
        QTest::newRow("removed") << "delete from productos where rowid in (5, 6)" << CopyRefresh{0, 2, 0, 0};
        QTest::newRow("added and removed in between")
            << "insert into productos (CodigoProducto) values ('77'); delete from productos where CodigoProducto = "
               "'77'"
            << CopyRefresh{};
        QTest::newRow("removed and added again under its id")
            << "delete from productos where rowid = 7; insert into productos (rowid, CodigoProducto, NombreProducto) "
               "values (7, '7', 'Outro')"
            << CopyRefresh{1, 1, 0, 0};
        QTest::newRow("emptied and refilled")
            << "truncate productos; insert into productos (CodigoProducto) values ('1')" << CopyRefresh{1, 21, 0, 0};
        QTest::newRow("users") << "insert into usuarios (NombreUsuario) values ('joao'); delete from usuarios where "
                                  "NombreUsuario = 'admin'; update usuarios set Contraseña = 'nova' where rowid > 1"
                               << CopyRefresh{0, 0, 2, 1};
    }
    void refreshBringsWhatOtherProgramsChanged()
    {
        QFETCH(QString, change);
        QFETCH(CopyRefresh, brought);
        const QString shop = seededShop();
        ServerEngine till(shop, 1);
        ServerEngine otherProgram(shop, 2);
        TestDatabase copyFile;
        Connection copy(copyFile.folder());

        compareCounts(refreshTillCopy(till, copy.engine()), {21, 0, 2, 0});
        QCOMPARE(catalogueAndUsers(copy.engine()), catalogueAndUsers(till));
        if (!change.isEmpty())
            otherProgram.execute(change.toUtf8());
        compareCounts(refreshTillCopy(till, copy.engine()), brought);
        QCOMPARE(catalogueAndUsers(copy.engine()), catalogueAndUsers(till));
    }

    // A writer still open when the copy was refreshed, behind one that had
    // already committed, is brought by the next refresh.
    void changeCommittedAfterARefreshIsNotMissed()
    {
        const QString shop = seededShop();
        ServerEngine till(shop, 1);
        ServerEngine slowWriter(shop, 2);
        ServerEngine quickWriter(shop, 3);
        TestDatabase copyFile;
        Connection copy(copyFile.folder());
        refreshTillCopy(till, copy.engine());

        slowWriter.execute("begin; update productos set PrecioVenta = 50 where rowid = 1; delete from productos "
                           "where rowid = 3");
        quickWriter.execute("update productos set PrecioVenta = 60 where rowid = 2");
        compareCounts(refreshTillCopy(till, copy.engine()), {1, 0, 0, 0});
        slowWriter.execute("commit");
        compareCounts(refreshTillCopy(till, copy.engine()), {1, 1, 0, 0});
        QCOMPARE(catalogueAndUsers(copy.engine()), catalogueAndUsers(till));
    }

    void refreshThatFailsLeavesTheCopy_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("server stopped") << "stopped";
        QTest::newRow("users refused to the till's login, products already copied") << "login";
        QTest::newRow("copy refuses a row half-way") << "copy";
    }
    void refreshThatFailsLeavesTheCopy()
    {
        QFETCH(QString, failure);
        const QString shop = seededShop();
        TestDatabase copyFile;
        Connection copy(copyFile.folder());
        refreshTillCopy(*std::make_unique<ServerEngine>(shop, 1), copy.engine());
        auto owner = std::make_unique<ServerEngine>(shop, 2);
        owner->execute("update productos set PrecioVenta = PrecioVenta + 1; delete from usuarios where rowid = 1");
        const QList<QStringList> before = catalogueAndUsers(copy.engine());

        QString connection = shop;
        const QString login = QStringLiteral("caixa_") + databaseOf(shop);
        if (failure == "login") {
            owner->execute(QStringLiteral("create role %1 login; grant select on productos, removed_rows to %1")
                               .arg(login)
                               .toUtf8());
            connection = server_->connectionTo(databaseOf(shop), login);
        }
        auto till = std::make_unique<ServerEngine>(connection, 1);
        if (failure == "stopped")
            QVERIFY(server_->stop());
        if (failure == "copy")
            copy.engine().execute("create trigger refuse before insert on Productos when new.rowid = 15 begin "
                                  "select raise(abort, 'disco cheio'); end");
        const QString refusal = errorOf([&] { refreshTillCopy(*till, copy.engine()); });
        QVERIFY2(!refusal.isEmpty(), "the refresh went through");
        QVERIFY2(!refusal.contains(QLatin1String("permission denied")) && !refusal.contains(QLatin1String("FATAL")),
                 qPrintable(refusal));
        QCOMPARE(catalogueAndUsers(copy.engine()), before);

        if (failure == "stopped")
            QVERIFY(server_->start());
        if (failure == "copy")
            copy.engine().execute("drop trigger refuse");
        owner = std::make_unique<ServerEngine>(shop, 2);
        if (failure == "login")
            owner->execute(QStringLiteral("grant select on usuarios to %1").arg(login).toUtf8());
        till = std::make_unique<ServerEngine>(connection, 1);
        compareCounts(refreshTillCopy(*till, copy.engine()), {21, 0, 0, 1});
        QCOMPARE(catalogueAndUsers(copy.engine()), catalogueAndUsers(*owner));
    }

    // Tills of a shop made before the copies start together: the counters
    // are added once, and rows written before them are copied all the same.
    void olderServerGetsTheCountersOnce()
    {
        const QString shop = seededShop();
        std::vector<std::unique_ptr<ServerEngine>> tills;
        for (int till = 1; till <= 4; ++till)
            tills.push_back(std::make_unique<ServerEngine>(shop, till));
        const auto removeCounters = [&] {
            tills[0]->execute("drop table removed_rows; drop function tenduca_mark_change, tenduca_record_removals, "
                              "tenduca_record_emptying cascade; alter table productos drop column changed_in; alter "
                              "table usuarios drop column changed_in");
        };
        removeCounters();
        std::latch together(4);
        std::vector<std::thread> starts;
        QStringList refusals;
        QMutex refused;
        for (auto& till : tills)
            starts.emplace_back([&, engine = till.get()] {
                together.arrive_and_wait();
                const QString refusal = errorOf([&] { addChangeCounters(*engine); });
                const QMutexLocker locked(&refused);
                refusals.append(refusal);
            });
        for (std::thread& start : starts)
            start.join();
        QCOMPARE(refusals, QStringList(4, QString()));
        addChangeCounters(*tills[0]);
        const char* triggers = "select count(*) from pg_trigger where not tgisinternal";
        QCOMPARE(rowsOf(*tills[0], triggers), QList<QStringList>{{"6"}});

        removeCounters();
        ServerEngine started(shop, 5);
        QCOMPARE(rowsOf(started, triggers), QList<QStringList>{{"6"}});
        TestDatabase copyFile;
        Connection copy(copyFile.folder());
        compareCounts(refreshTillCopy(started, copy.engine()), {21, 0, 2, 0});
        tills[1]->execute("update productos set Cantidad = 0 where rowid = 9");
        compareCounts(refreshTillCopy(started, copy.engine()), {1, 0, 0, 0});
        QCOMPARE(catalogueAndUsers(copy.engine()), catalogueAndUsers(started));
    }
};

QTEST_GUILESS_MAIN(TillCopyTest)
#include "tst_till_copy.moc"
