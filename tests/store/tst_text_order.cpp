#include "common/number_settings.h"
#include "store/collation.h"
#include "store/connection.h"
#include "store/keys.h"
#include "store/queries.h"
#include "store/record_set.h"
#include "store/sqlite_engine.h"
#include "store/statement.h"
#include "support/test_database.h"

#include <sqlite3.h>

#include <QFile>
#include <QtTest>

namespace {

QStringList fieldWalk(const QString& folder, const QueryText& query, const QString& field)
{
    Connection connection(folder);
    RecordSet rows(connection, query);
    QStringList values;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext())
        values.append(rows.text(field));
    return values;
}

QStringList namesOf(const QString& folder, const QueryText& query = Query::ProductosPorNombre)
{
    return fieldWalk(folder, query, QStringLiteral("NombreProducto"));
}

// The names of the products a lookup by code stops at, first the one a walk would take.
QStringList namesWithCode(const QString& folder, const QString& code)
{
    Connection connection(folder);
    RecordSet rows(connection, Query::ProductosPorNombre, RecordSet::Equals{"CodigoProducto", code});
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names.append(rows.text("NombreProducto"));
    return names;
}

// The engine's plan for a statement, one step per line.
QString planOf(const QString& folder, const QString& sql)
{
    Connection connection(folder);
    Statement statement(connection, ("EXPLAIN QUERY PLAN " + sql).toUtf8());
    QStringList steps;
    while (statement.next())
        steps.append(statement.text(3));
    return steps.join(u'\n');
}

// The file opened read-only without the store (which would upgrade it).
sqlite3* openWithoutStore(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const QByteArray key = derivedKeyFor(path);
    sqlite3_key(db, key.constData(), static_cast<int>(key.size()));
    pinCipherSettings(db);
    return db;
}

// The collation the file declares a field with.
QString declaredCollation(const QString& path, const char* table, const char* field)
{
    sqlite3* db = openWithoutStore(path);
    const char* collation = nullptr;
    sqlite3_table_column_metadata(db, "main", table, field, nullptr, &collation, nullptr, nullptr, nullptr);
    const QString name = collation ? QString::fromUtf8(collation) : QString();
    sqlite3_close(db);
    return name;
}

bool fileHasIndex(const QString& path, const char* index)
{
    sqlite3* db = openWithoutStore(path);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?", -1, &statement,
                       nullptr);
    sqlite3_bind_text(statement, 1, index, -1, SQLITE_STATIC);
    const bool found = sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_int(statement, 0) == 1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return found;
}

const QStringList SHUFFLED = {"Tomate", "Óleo de Soja", "abacate", "Água Mineral", "banana", "Abacaxi",
                              "ovo",    "Ameixa",       "açúcar",  "Acerola",      "Pão",    "pao de queijo",
                              "Abacate"};
// As a Brazilian looks them up: case and accents only decide between otherwise equal names.
const QStringList BRAZILIAN_ORDER = {"Abacate", "abacate",      "Abacaxi",       "Acerola", "açúcar",
                                     "Água Mineral", "Ameixa", "banana",        "Óleo de Soja", "ovo",
                                     "Pão",     "pao de queijo", "Tomate"};

NewDatabaseOptions productsNamed(const QStringList& names)
{
    NewDatabaseOptions options;
    for (int i = 0; i < names.size(); ++i)
        options.products.append(product(QString::number(100 + i), names[i], 1));
    return options;
}

}   // namespace

class TextOrderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void comparesAsABrazilianReads_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::addColumn<int>("ignoringCase");
        QTest::newRow("case decides last") << "abacate" << "Banana" << -1 << -1;
        QTest::newRow("accent decides last") << "Água" << "Ameixa" << -1 << -1;
        QTest::newRow("cedilla is a c") << "açúcar" << "acúcar" << 1 << 0;
        QTest::newRow("capital before small on a tie") << "Bebidas" << "bebidas" << -1 << 0;
        QTest::newRow("accented capital") << "ÓLEO" << "óleo" << -1 << 0;
        QTest::newRow("identical") << "Pão" << "Pão" << 0 << 0;
        QTest::newRow("prefix first") << "Pão" << "Pão de Forma" << -1 << -1;
        QTest::newRow("digits before letters") << "7 Grãos" << "Arroz" << -1 << -1;
        QTest::newRow("beyond Latin") << "Ωmega" << "ωmega" << -1 << 0;
        QTest::newRow("empty first") << "" << "a" << -1 << -1;
    }

    void comparesAsABrazilianReads()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QFETCH(int, ignoringCase);
        QCOMPARE(comparePortuguese(a, b), order);
        QCOMPARE(comparePortuguese(b, a), -order);
        QCOMPARE(comparePortugueseIgnoringCase(a, b), ignoringCase);
        QCOMPARE(comparePortugueseIgnoringCase(b, a), -ignoringCase);
    }

    void listsNamesInBrazilianOrder()
    {
        TestDatabase database(productsNamed(SHUFFLED));
        QCOMPARE(namesOf(database.folder()), BRAZILIAN_ORDER);
        QCOMPARE(namesOf(database.folder(), Query::ProductosListado), BRAZILIAN_ORDER);
        database.execute("UPDATE Productos SET CodigoProducto = NombreProducto");
        QCOMPARE(fieldWalk(database.folder(), Query::ProductosPorCodigo, "CodigoProducto"), BRAZILIAN_ORDER);

        for (const char* user : {"zeca", "Bia", "ana"})
            database.execute(QStringLiteral("INSERT INTO Usuarios (NombreUsuario) VALUES ('%1')").arg(user));
        QCOMPARE(fieldWalk(database.folder(), Query::UsuariosPorNombre, "NombreUsuario"),
                 (QStringList{"admin", "ana", "Bia", "zeca"}));
    }

    // The listing and the lookup are served by the indexes, not by sorting the table.
    void orderAndLookupUseTheIndexes()
    {
        TestDatabase database(productsNamed(SHUFFLED));
        const QString listing = planOf(database.folder(), "select rowid, * from Productos order by NombreProducto, rowid");
        QVERIFY2(listing.contains("idx_Productos_NombreProducto") && !listing.contains("TEMP B-TREE"),
                 qPrintable(listing));
        const QString lookup = planOf(database.folder(), "select * from Productos where CodigoProducto = '100'");
        QVERIFY2(lookup.contains("idx_Productos_CodigoProducto"), qPrintable(lookup));
    }

    void oneCategoryHoweverItWasTyped()
    {
        NewDatabaseOptions options;
        options.products = {product("1", "Guaraná", 5, 1, 0, 0, "Bebidas"),
                            product("2", "Suco", 5, 1, 0, 0, "bebidas"),
                            product("3", "Água", 2, 1, 0, 0, "BEBIDAS"),
                            product("4", "Sabão", 3, 1, 0, 0, "Limpeza"),
                            product("5", "Alcatra", 40, 1, 0, 0, "Açougue"),
                            product("6", "Fraldinha", 30, 1, 0, 0, "acougue")};
        TestDatabase database(options);
        const QStringList categories = fieldWalk(database.folder(), Query::Categorias, "Categoria");
        QCOMPARE(categories.size(), 3);
        QVERIFY2(comparePortugueseIgnoringCase(categories[0], "Açougue") == 0, qPrintable(categories.join(',')));
        QVERIFY2(comparePortugueseIgnoringCase(categories[1], "Bebidas") == 0, qPrintable(categories.join(',')));
        QCOMPARE(categories[2], QString("Limpeza"));
    }

    void categoriesAreGroupedThroughTheirIndex_data()
    {
        QTest::addColumn<bool>("olderFile");
        QTest::newRow("new file") << false;
        QTest::newRow("file made before the index") << true;
    }

    // Filling a category box walks the index instead of sorting the catalogue;
    // an older file gets the index at its first open.
    void categoriesAreGroupedThroughTheirIndex()
    {
        QFETCH(bool, olderFile);
        NewDatabaseOptions options;
        options.olderIndexes = olderFile;
        options.products = {product("1", "Guaraná", 5, 1, 0, 0, "Bebidas"), product("2", "Sabão", 3, 1, 0, 0, "Limpeza"),
                            product("3", "Suco", 5, 1, 0, 0, "bebidas"), product("4", "Alcatra", 40, 1, 0, 0, "Açougue")};
        TestDatabase database(options);
        QCOMPARE(fileHasIndex(database.path(), "idx_Productos_Categoria"), !olderFile);

        const QString plan = planOf(database.folder(), Query::Categorias.sql);
        QVERIFY(fileHasIndex(database.path(), "idx_Productos_Categoria"));
        QVERIFY2(plan.contains("idx_Productos_Categoria") && !plan.contains("TEMP B-TREE"), qPrintable(plan));
        const QStringList categories = fieldWalk(database.folder(), Query::Categorias, "Categoria");
        QCOMPARE(categories.size(), 3);
        QCOMPARE(categories[0], QString("Açougue"));
        QVERIFY2(comparePortugueseIgnoringCase(categories[1], "Bebidas") == 0, qPrintable(categories.join(',')));
        QCOMPARE(categories[2], QString("Limpeza"));
    }

    // Two products sharing a code: the lookup takes the first in name order, as a walk would.
    void firstProductWithACodeIsTheFirstInBrazilianOrder()
    {
        NewDatabaseOptions options;
        options.products = {product("789", "Banana Prata", 5), product("111", "Leite", 5),
                            product("789", "abacate", 7), product("789", "Água de Coco", 3)};
        TestDatabase database(options);
        QCOMPARE(namesWithCode(database.folder(), "789"), (QStringList{"abacate", "Água de Coco", "Banana Prata"}));
        QCOMPARE(namesOf(database.folder()).first(), QString("abacate"));
    }

    // Equality stays exact: lookups by code, the login's name and a name check see letter case.
    void lookupsStayExact()
    {
        NewDatabaseOptions options;
        options.products = {product("ABC1", "Arroz", 5), product("abc1", "arroz", 6)};
        TestDatabase database(options);
        QCOMPARE(namesWithCode(database.folder(), "abc1"), QStringList{"arroz"});
        QCOMPARE(namesWithCode(database.folder(), "ABC1"), QStringList{"Arroz"});
        QCOMPARE(namesWithCode(database.folder(), "Abc1"), QStringList());
        QCOMPARE(database.scalar("SELECT count(*) FROM Productos WHERE NombreProducto = 'arroz'"), QVariant(1));
        QCOMPARE(database.scalar("SELECT count(*) FROM Productos WHERE NombreProducto = 'Arróz'"), QVariant(0));

        Connection connection(database.folder());
        RecordSet admin(connection, Query::UsuariosPorNombre, RecordSet::Equals{"NombreUsuario", "Admin"});
        QVERIFY(admin.eof());
        RecordSet exact(connection, Query::UsuariosPorNombre, RecordSet::Equals{"NombreUsuario", "admin"});
        QCOMPARE(exact.text("Contraseña"), QString("admin"));
    }

    void olderFileIsOrderedTheSame()
    {
        NewDatabaseOptions options = productsNamed(SHUFFLED);
        options.olderTextOrder = true;
        TestDatabase database(options);
        QCOMPARE(declaredCollation(database.path(), "Productos", "NombreProducto"), QString("BINARY"));
        const QVariant rowIdOfOleo = QVariant(qlonglong(SHUFFLED.indexOf("Óleo de Soja") + 1));

        QCOMPARE(namesOf(database.folder()), BRAZILIAN_ORDER);
        QCOMPARE(declaredCollation(database.path(), "Productos", "NombreProducto"), QString(ORDER_COLLATION));
        QCOMPARE(declaredCollation(database.path(), "Productos", "Categoria"), QString(GROUP_COLLATION));
        QCOMPARE(declaredCollation(database.path(), "Usuarios", "NombreUsuario"), QString(ORDER_COLLATION));
        QCOMPARE(database.count("Productos"), SHUFFLED.size());
        QCOMPARE(database.scalar("SELECT rowid FROM Productos WHERE NombreProducto = 'Óleo de Soja'"), rowIdOfOleo);
        QCOMPARE(database.scalar("SELECT Contraseña FROM Usuarios WHERE NombreUsuario = 'admin'"), QVariant("admin"));
        const QString listing = planOf(database.folder(), "select rowid, * from Productos order by NombreProducto, rowid");
        QVERIFY2(listing.contains("idx_Productos_NombreProducto") && !listing.contains("TEMP B-TREE"),
                 qPrintable(listing));
    }
};

QTEST_GUILESS_MAIN(TextOrderTest)
#include "tst_text_order.moc"
