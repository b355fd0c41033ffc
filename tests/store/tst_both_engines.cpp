#include "common/number_settings.h"
#include "store/backup.h"
#include "store/connection.h"
#include "store/engine.h"
#include "store/like_match.h"
#include "store/operations.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "storetool/sql_shell.h"
#include "support/error_of.h"
#include "support/private_server.h"
#include "support/test_database.h"

#include <QtTest>

#include <cstdio>
#include <functional>
#include <memory>

#include <unistd.h>

namespace {

const QStringList BRAZILIAN_ORDER = {"Abacate", "abacate", "Abacaxi", "Acerola", "açúcar", "Água Mineral", "Ameixa",
                                     "banana",  "Óleo de Soja", "ovo", "Pão",   "pao de queijo", "Tomate"};

// A till's folder over bd1 or over a shop on the test's own server.
class Shop {
public:
    Shop(PrivateServer* server, int till = 1)
    {
        if (server) {
            server->makeTill(dir_.path(), server->newShop(), till);
            folder_ = dir_.path();
        } else {
            file_ = std::make_unique<TestDatabase>();
            folder_ = file_->folder();
        }
    }
    // Another till of the same shop.
    Shop(PrivateServer& server, const Shop& shop, int till)
    {
        QSettings first(shop.folder_ + "/tenduca.ini", QSettings::IniFormat);
        server.makeTill(dir_.path(), first.value("loja/servidor").toString(), till);
        folder_ = dir_.path();
    }
    ~Shop() { Connection::release(folder_); }

    const QString& folder() const { return folder_; }

    void addProducts(const QStringList& names, const QString& category = QStringLiteral("Geral")) const
    {
        Connection connection(folder_);
        RecordSet products(connection, Query::ProductosPorNombre, RecordSet::Mode::AppendOnly);
        for (const QString& name : names) {
            products.addNew();
            products.setText("CodigoProducto", QString::number(100 + names.indexOf(name)));
            products.setText("NombreProducto", name);
            products.setText("Cantidad", "10");
            products.setText("PrecioVenta", "2,5");
            products.setText("Categoria", category);
            products.update();
        }
    }

    QStringList walk(const QueryText& query, const QString& field, const QVariantList& parameters = {}) const
    {
        Connection connection(folder_);
        RecordSet rows(connection, query, parameters);
        QStringList values;
        for (; !rows.eof(); rows.moveNext())
            values.append(rows.text(field));
        return values;
    }

    qint64 count(const char* sql) const
    {
        Connection connection(folder_);
        Statement statement(connection, sql);
        return statement.next() ? statement.whole(0) : -1;
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TestDatabase> file_;
    QString folder_;
};

// What work printed on the process's error output while it ran.
QByteArray errorOutputOf(const std::function<void()>& work)
{
    QTemporaryFile captured;
    if (!captured.open())
        qFatal("no temporary file");
    std::fflush(stderr);
    const int kept = ::dup(STDERR_FILENO);
    ::dup2(captured.handle(), STDERR_FILENO);
    work();
    std::fflush(stderr);
    ::dup2(kept, STDERR_FILENO);
    ::close(kept);
    captured.seek(0);
    return captured.readAll();
}

}   // namespace

// What the windows rely on from the store holds alike on bd1 and on a shop's server.
class BothEnginesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateServer> server_;

    PrivateServer* serverFor(bool onServer)
    {
        if (!onServer)
            return nullptr;
        if (!server_->unavailable().isEmpty())
            QTest::qSkip(qPrintable("no server of the test's own: " + server_->unavailable()), __FILE__, __LINE__);
        return server_.get();
    }

    static void engines()
    {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("bd1") << false;
        QTest::newRow("server") << true;
    }

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        server_ = std::make_unique<PrivateServer>();
    }

    void textOrderSearchAndGrouping_data() { engines(); }
    void textOrderSearchAndGrouping()
    {
        QFETCH(bool, onServer);
        PrivateServer* server = serverFor(onServer);
        if (onServer && !server)
            return;
        Shop shop(server);
        QStringList shuffled = BRAZILIAN_ORDER;
        std::reverse(shuffled.begin(), shuffled.end());
        shop.addProducts(shuffled);
        shop.addProducts({"Bolacha \"Maria\" 50% d'água", "Feijão Carioca"}, "mercearia");
        shop.addProducts({"Sabão em Pó"}, "Mercearia");
        QStringList expected = BRAZILIAN_ORDER;
        expected.insert(8, "Bolacha \"Maria\" 50% d'água");
        expected.insert(9, "Feijão Carioca");
        expected.insert(14, "Sabão em Pó");
        QCOMPARE(shop.walk(Query::ProductosPorNombre, "NombreProducto"), expected);
        QCOMPARE(shop.walk(Query::Categorias, "Categoria").size(), 2);   // "Geral", and one "Mercearia"

        const auto search = [&](const QString& typed) {
            QStringList found = shop.walk(Query::ProductosBusqueda, "NombreProducto", {likeLiteral(typed)});
            found.sort();
            return found;
        };
        QCOMPARE(search("acucar"), QStringList{"açúcar"});
        QCOMPARE(search("FEIJAO"), QStringList{"Feijão Carioca"});
        QCOMPARE(search("pao"), (QStringList{"Pão", "pao de queijo"}));
        QCOMPARE(search("50%"), QStringList{"Bolacha \"Maria\" 50% d'água"});
        QCOMPARE(search("d'agua"), QStringList{"Bolacha \"Maria\" 50% d'água"});
        QCOMPARE(search("5_%"), QStringList());
        QCOMPARE(shop.walk(Query::ProductosPorNombre, "NombreProducto", {}).size(), expected.size());
    }

    // The products in critical state read by name in steps, through their
    // own index, are the rows the whole query gives, names alike by row id.
    void criticalListingInSteps_data() { engines(); }
    void criticalListingInSteps()
    {
        QFETCH(bool, onServer);
        PrivateServer* server = serverFor(onServer);
        if (onServer && !server)
            return;
        Shop shop(server);
        QStringList shuffled = BRAZILIAN_ORDER;
        std::reverse(shuffled.begin(), shuffled.end());
        shop.addProducts(shuffled);
        shop.addProducts({"Pão", "Tomate", "Abacate"});
        Connection connection(shop.folder());
        execute(connection, QStringLiteral("update Productos set StockCritico = 0"));
        execute(connection, QStringLiteral("update Productos set Cantidad = 0 where length(NombreProducto) % 2 = 0 "
                                           "or NombreProducto in ('Pão', 'Tomate')"));
        const SteppedListing critical{Query::IdsCriticosPrimeros, Query::IdsCriticosDespues, Query::IdsCriticos};
        ListingStep step = nextRowIds(connection, critical, nullptr, 2);
        std::vector<qint64> stepped = step.ids;
        while (step.lastKey) {
            step = nextRowIds(connection, critical, &step, 2);
            stepped.insert(stepped.end(), step.ids.begin(), step.ids.end());
        }
        const std::vector<qint64> whole = rowIdsOf(connection, Query::IdsCriticos);
        QVERIFY(whole.size() >= 6);
        QCOMPARE(stepped, whole);
    }

    void walkTypesAndTransactions_data() { engines(); }
    void walkTypesAndTransactions()
    {
        QFETCH(bool, onServer);
        PrivateServer* server = serverFor(onServer);
        if (onServer && !server)
            return;
        Shop shop(server);
        shop.addProducts({"Arroz", "Banana", "Café"});
        Connection connection(shop.folder());
        {
            RecordSet products(connection, Query::ProductosPorNombre);
            products.moveLast();
            QCOMPARE(products.text("NombreProducto"), QString("Café"));
            products.movePrevious();
            products.setText("Cantidad", "1.234,5");
            products.setText("StockCritico", "2,5");
            products.update();
            products.moveFirst();
            products.deleteCurrent();
            QCOMPARE(products.recordCount(), 2);
        }
        {
            RecordSet banana(connection, Query::ProductosPorNombre, RecordSet::Equals{"NombreProducto", "Banana"});
            QCOMPARE(banana.text("Cantidad"), QString("1234,5"));
            QCOMPARE(banana.number("StockCritico"), 3.0);   // a whole number rounds half away from zero
            QCOMPARE(banana.text("PrecioVenta"), QString("2,5"));
        }
        QVERIFY_THROWS_EXCEPTION(StoreError, [&] {
            Transaction writing(connection);
            RecordSet session(connection, Query::TipoPago, RecordSet::Equals{"FechaInicio", "5/3/2024 8:00:00"});
            session.addNew();
            session.setText("FechaInicio", "5/3/2024 8:00:00");
            session.update();
            throw StoreError("interrompido");
        }());
        QCOMPARE(shop.count("select count(*) from TipoPago"), 0);
        {
            RecordSet session(connection, Query::TipoPago, RecordSet::Equals{"FechaInicio", "5/3/2024 8:00:00"});
            session.addNew();
            session.setText("FechaInicio", "5/3/2024 8:00:00");
            session.setNumber("efectivo", 12.5);
            session.update();
        }
        RecordSet stored(connection, Query::TipoPago, RecordSet::Equals{"FechaInicio", "05/03/2024 08:00:00"});
        QCOMPARE(stored.text("FechaInicio"), QString("05/03/2024 8:00:00"));
        QCOMPARE(stored.number("efectivo"), 12.5);
        QCOMPARE(stored.number("tarjeta"), 0.0);
        QCOMPARE(stored.text("Caixa"), QString("1"));
    }

    // A row just added is changed through the same record set: the engine gave
    // back its row id (a server with the row, bd1 when asked).
    void aRowJustAddedIsTheOneChanged_data() { engines(); }
    void aRowJustAddedIsTheOneChanged()
    {
        QFETCH(bool, onServer);
        PrivateServer* server = serverFor(onServer);
        if (onServer && !server)
            return;
        Shop shop(server);
        shop.addProducts({"Arroz", "Banana"});
        Connection connection(shop.folder());
        {
            RecordSet products(connection, Query::ProductosPorNombre, RecordSet::Mode::AppendOnly);
            products.addNew();
            products.setText("CodigoProducto", "900");
            products.setText("NombreProducto", "Cenoura");
            products.update();
            products.setText("Cantidad", "7");
            products.update();
        }
        QCOMPARE(shop.walk(Query::ProductosPorNombre, "Cantidad"), (QStringList{"10", "10", "7"}));
    }

    // Where the engines differ, each gives its own answer: a shop's server
    // keeps a session per till, orders with its own collation, and is backed
    // up and queried with the server's own tools.
    void whereTheEnginesDiffer_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<bool>("sharedByTills");
        QTest::addColumn<QString>("nameCollation");
        QTest::addColumn<QString>("backupRefusal");   // empty: the copy is written
        QTest::addColumn<QString>("shellRefusal");    // empty: the shell runs
        QTest::newRow("bd1") << false << false << "PORTUGUES" << "" << "";
        QTest::newRow("server") << true << true << "portugues" << "ferramenta do servidor" << "(psql)";
    }
    void whereTheEnginesDiffer()
    {
        QFETCH(bool, onServer);
        QFETCH(bool, sharedByTills);
        QFETCH(QString, nameCollation);
        QFETCH(QString, backupRefusal);
        QFETCH(QString, shellRefusal);
        PrivateServer* server = serverFor(onServer);
        if (onServer && !server)
            return;
        Shop shop(server);
        {
            Connection connection(shop.folder());
            QCOMPARE(connection.sharedByTills(), sharedByTills);
            QCOMPARE(connection.engine().declaredCollation("Productos", "NombreProducto"), nameCollation);
        }

        QTemporaryDir copies;
        const QDateTime now = QDateTime::currentDateTime();
        const QString backup = errorOf([&] { writeBackup(shop.folder(), now, copies.path()); });
        QVERIFY2(backupRefusal.isEmpty() ? backup.isEmpty() : backup.contains(backupRefusal), qPrintable(backup));
        QCOMPARE(existingBackups(copies.path()).size(), backupRefusal.isEmpty() ? 1 : 0);
        QCOMPARE(Respaldo_Automatico(shop.folder(), now), std::nullopt);
        QCOMPARE(existingBackups(backupFolder(shop.folder())).size(), backupRefusal.isEmpty() ? 1 : 0);

        QString printed;
        QString refused;
        QTextStream out(&printed);
        QTextStream err(&refused);
        const QString shell =
            errorOf([&] { runSqlStatements(shop.folder(), "select count(*) from Usuarios;", out, err); });
        QVERIFY2(shellRefusal.isEmpty() ? shell.isEmpty() : shell.contains(shellRefusal), qPrintable(shell));
        QCOMPARE(printed, shellRefusal.isEmpty() ? QString("1\n") : QString());
    }

    // The server's notices and warnings stay off the program's error output.
    void serverNoticesAreNotPrinted()
    {
        PrivateServer* server = serverFor(true);
        if (!server)
            return;
        const Shop shop(server);
        const QByteArray printed = errorOutputOf([&] {
            Connection connection(shop.folder());
            execute(connection, "do $$ begin raise warning 'canceling wait for synchronous replication'; "
                                "raise notice 'a note'; end $$");
        });
        QCOMPARE(printed, QByteArray());
    }

    // Two tills of one shop: each sees, adds and empties only its own open lines.
    void eachTillKeepsItsOwnSession()
    {
        PrivateServer* server = serverFor(true);
        if (!server)
            return;
        const Shop first(server, 1);
        const Shop second(*server, first, 2);
        for (const Shop* till : {&first, &second}) {
            Connection connection(till->folder());
            RecordSet lines(connection, Query::Temporal, RecordSet::Mode::AppendOnly);
            lines.addNew();
            lines.setText("CodigoProducto", till == &first ? "1" : "2");
            lines.update();
        }
        QCOMPARE(first.walk(Query::Temporal, "CodigoProducto"), QStringList{"1"});
        QCOMPARE(second.walk(Query::Temporal, "CodigoProducto"), QStringList{"2"});
        QCOMPARE(second.walk(Query::Temporal, "Caixa"), QStringList{"2"});
    }
};

QTEST_GUILESS_MAIN(BothEnginesTest)
#include "tst_both_engines.moc"
