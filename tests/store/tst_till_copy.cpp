#include "store/connection.h"
#include "store/server_engine.h"
#include "store/statement.h"
#include "store/till_copy.h"
#include "support/error_of.h"
#include "support/private_server.h"
#include "support/test_database.h"

#include <QtTest>

#include <latch>
#include <memory>
#include <thread>

namespace {

// 21 products, one with accents, a backslash, a tab, CRLF and 0x1F in its name,
// and the users admin and maria, written as another program would.
constexpr char SEED[] =
    "insert into productos (CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, StockCritico, "
    "Categoria) select n::text, 'Produto ' || n, n, 0.1 * n, 2.675 * n, 5, 'Geral' from generate_series(1, 20) n;"
    "insert into productos (CodigoProducto, NombreProducto, Cantidad, PrecioVenta) values "
    "('789', E'Pão de Açúcar \\\\ x\\ty\\r\\nz\\x1F', -2.5, 0.30000000000000004);"
    "insert into usuarios (NombreUsuario, Contraseña, PermisoCruce) values ('maria', 'çé', 1)";

// Every product and user row, numbers with all their digits.
QStringList catalogueAndUsers(Engine& engine)
{
    QStringList rows;
    for (const char* sql : {"select rowid, CodigoProducto, NombreProducto, Cantidad, PrecioCosto, PrecioVenta, "
                            "StockCritico, Categoria, ParteDeOferta from Productos order by rowid",
                            "select rowid, NombreUsuario, Contraseña, PermisoCruce from Usuarios order by rowid"}) {
        Statement row(engine, sql);
        while (row.next()) {
            QString fields;
            for (int column = 0; column < row.columnCount(); ++column)
                fields += (row.kind(column) == CellKind::Real ? QString::number(row.number(column), 'g', 17)
                           : row.isNull(column)              ? QStringLiteral("<null>")
                                                             : row.text(column)) +
                          u'|';
            rows.append(fields);
        }
    }
    return rows;
}

using Counts = QList<qint64>;   // products changed and removed, users changed and removed

Counts refresh(Engine& server, Engine& copy)
{
    const CopyRefresh brought = refreshTillCopy(server, copy);
    return {brought.productsChanged, brought.productsRemoved, brought.usersChanged, brought.usersRemoved};
}

}   // namespace

// A till's copy of the catalogue and the users, refreshed from the shop's server.
class TillCopyTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateServer> server_;
    QString shop_;
    std::unique_ptr<ServerEngine> till_, otherProgram_;
    std::unique_ptr<TestDatabase> copyFile_;
    std::unique_ptr<Connection> copy_;

    Engine& copy() { return copy_->engine(); }

private slots:
    void initTestCase() { server_ = std::make_unique<PrivateServer>(); }

    // A seeded shop and a new copy, filled by a first refresh.
    void init()
    {
        if (!server_->unavailable().isEmpty())
            QSKIP(qPrintable("no server of the test's own: " + server_->unavailable()));
        shop_ = server_->newShop();
        till_ = std::make_unique<ServerEngine>(shop_, 1);
        otherProgram_ = std::make_unique<ServerEngine>(shop_, 2);
        otherProgram_->execute(SEED);
        copyFile_ = std::make_unique<TestDatabase>();
        copy_ = std::make_unique<Connection>(copyFile_->folder());
        QCOMPARE(refresh(*till_, copy()), (Counts{21, 0, 2, 0}));
    }
    void cleanup() { copy_.reset(); }

    void refreshBringsWhatOtherProgramsChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<Counts>("brought");
        QTest::newRow("nothing") << "select 1" << Counts{0, 0, 0, 0};
        QTest::newRow("new and changed")
            << "insert into productos (CodigoProducto, NombreProducto, PrecioVenta) values ('50', E'Café\\t\\\\', "
               "1e-7); update productos set PrecioVenta = PrecioVenta * 1.1, Cantidad = Cantidad - 3, "
               "CodigoProducto = rowid + 100 where rowid <= 3"
            << Counts{4, 0, 0, 0};
        QTest::newRow("removed, and added and removed in between")
            << "delete from productos where rowid in (5, 6); insert into productos (CodigoProducto) values ('77'); "
               "delete from productos where CodigoProducto = '77'"
            << Counts{0, 2, 0, 0};
        QTest::newRow("removed and added again under its id")
            << "delete from productos where rowid = 7; insert into productos (rowid, CodigoProducto) values (7, '7')"
            << Counts{1, 1, 0, 0};
        QTest::newRow("emptied and refilled")
            << "truncate productos; insert into productos (CodigoProducto) values ('1')" << Counts{1, 21, 0, 0};
        QTest::newRow("users") << "insert into usuarios (NombreUsuario) values ('joao'); delete from usuarios where "
                                  "NombreUsuario = 'admin'; update usuarios set Contraseña = 'nova' where rowid > 1"
                               << Counts{0, 0, 2, 1};
    }
    void refreshBringsWhatOtherProgramsChanged()
    {
        QFETCH(QString, change);
        QFETCH(Counts, brought);
        otherProgram_->execute(change.toUtf8());
        QCOMPARE(refresh(*till_, copy()), brought);
        QCOMPARE(catalogueAndUsers(copy()), catalogueAndUsers(*till_));
    }

    // A writer still open at a refresh, behind one that had already
    // committed, is brought by the next one.
    void changeCommittedAfterARefreshIsNotMissed()
    {
        otherProgram_->execute("begin; update productos set PrecioVenta = 50 where rowid = 1; delete from productos "
                               "where rowid = 3");
        ServerEngine(shop_, 3).execute("update productos set PrecioVenta = 60 where rowid = 2");
        QCOMPARE(refresh(*till_, copy()), (Counts{1, 0, 0, 0}));
        otherProgram_->execute("commit");
        QCOMPARE(refresh(*till_, copy()), (Counts{1, 1, 0, 0}));
        QCOMPARE(catalogueAndUsers(copy()), catalogueAndUsers(*till_));
    }

    void refreshThatFailsLeavesTheCopy_data()
    {
        QTest::addColumn<bool>("serverStops");
        QTest::newRow("server stopped") << true;
        QTest::newRow("copy refuses a row half-way") << false;
    }
    void refreshThatFailsLeavesTheCopy()
    {
        QFETCH(bool, serverStops);
        otherProgram_->execute("update productos set PrecioVenta = PrecioVenta + 1; delete from usuarios");
        const QStringList before = catalogueAndUsers(copy());
        if (serverStops)
            QVERIFY(server_->stop());
        else
            copy().execute("create trigger refuse before insert on Productos when new.rowid = 15 begin select "
                           "raise(abort, 'disco cheio'); end");
        QVERIFY(!errorOf([&] { refreshTillCopy(*till_, copy()); }).isEmpty());
        QCOMPARE(catalogueAndUsers(copy()), before);

        if (serverStops)
            QVERIFY(server_->start());
        else
            copy().execute("drop trigger refuse");
        till_ = std::make_unique<ServerEngine>(shop_, 1);
        QCOMPARE(refresh(*till_, copy()), (Counts{21, 0, 0, 2}));
        QCOMPARE(catalogueAndUsers(copy()), catalogueAndUsers(*till_));
    }

    // Tills of a shop made before the copies start together: the counters
    // are added once, and rows written before them are brought all the same.
    void olderServerGetsTheCountersOnce()
    {
        const char* removeCounters = "drop table removed_rows; drop function tenduca_mark_change, "
                                     "tenduca_record_removals, tenduca_record_emptying cascade; alter table productos "
                                     "drop column changed_in; alter table usuarios drop column changed_in";
        const auto triggers = [&] {
            Statement count(*otherProgram_, "select count(*) from pg_trigger where not tgisinternal");
            return count.next() ? count.whole(0) : -1;
        };
        std::vector<std::unique_ptr<ServerEngine>> tills;
        for (int till = 3; till <= 6; ++till)
            tills.push_back(std::make_unique<ServerEngine>(shop_, till));
        otherProgram_->execute(removeCounters);
        std::latch together(tills.size());
        std::vector<QString> refusals(tills.size());
        std::vector<std::thread> starts;
        for (size_t till = 0; till < tills.size(); ++till)
            starts.emplace_back([&, till] {
                together.arrive_and_wait();
                refusals[till] = errorOf([&] { addChangeCounters(*tills[till]); });
            });
        for (std::thread& start : starts)
            start.join();
        QCOMPARE(QStringList(refusals.begin(), refusals.end()), QStringList(tills.size()));
        addChangeCounters(*till_);
        QCOMPARE(triggers(), qint64(6));

        otherProgram_->execute(removeCounters);
        ServerEngine started(shop_, 7);
        QCOMPARE(triggers(), qint64(6));
        copy().execute("delete from TillCopyMark");
        QCOMPARE(refresh(started, copy()), (Counts{21, 0, 2, 0}));
        otherProgram_->execute("update productos set Cantidad = 0 where rowid = 9");
        QCOMPARE(refresh(started, copy()), (Counts{1, 0, 0, 0}));
        QCOMPARE(catalogueAndUsers(copy()), catalogueAndUsers(started));
    }
};

QTEST_GUILESS_MAIN(TillCopyTest)
#include "tst_till_copy.moc"
