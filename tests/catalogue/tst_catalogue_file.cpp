#include "catalogue/catalogue_file.h"
#include "common/errors.h"
#include "support/test_database.h"

#include <QStringEncoder>
#include <QtTest>

namespace {

NewDatabaseOptions catalogue()
{
    NewDatabaseOptions options;
    options.products = {product("100", "Arroz 5 kg", 27.9, 40, 8, 18.9, "Mercearia"),
                        product("200", "Feijão 1 kg", 8.49, 55, 10, 5.4, "Mercearia")};
    return options;
}

// Code, name, quantity, cost, price, critical level and category of one product, as stored.
QString productRow(const TestDatabase& database, const QString& code)
{
    return database
        .scalar(QStringLiteral("SELECT NombreProducto || '|' || Cantidad || '|' || PrecioCosto || '|' || PrecioVenta "
                               "|| '|' || StockCritico || '|' || Categoria FROM Productos WHERE CodigoProducto = '%1'")
                    .arg(code))
        .toString();
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

QByteArray latin1(const QString& text)
{
    return text.toLatin1();
}

const QString HEADING = QStringLiteral("Código;Nome;Quantidade;Custo;Preço;Estoque crítico;Categoria\n");

}   // namespace

class CatalogueFileTest : public QObject {
    Q_OBJECT

private slots:
    void theDialectsASpreadsheetWrites_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("stored");
        const QString acucar = "Açúcar Refinado 1 kg|6.5|3.1|4.99|8|Mercearia";
        QTest::newRow("UTF-8, semicolon, decimal comma")
            << utf8(HEADING + "300;Açúcar Refinado 1 kg;6,5;3,1;4,99;8;Mercearia\n")
            << acucar;
        QTest::newRow("Latin-1, semicolon, decimal comma")
            << latin1(HEADING + "300;Açúcar Refinado 1 kg;6,5;3,1;4,99;8;Mercearia\n")
            << acucar;
        QTest::newRow("byte order mark, comma, decimal point, CRLF")
            << utf8(QStringLiteral("\uFEFFCódigo,Nome,Quantidade,Custo,Preço,Estoque crítico,Categoria\r\n"
                                   "300,Açúcar Refinado 1 kg,6.5,3.1,4.99,8,Mercearia\r\n"))
            << acucar;
        QTest::newRow("comma, quoted decimal comma")
            << utf8(QStringLiteral("Código,Nome,Quantidade,Custo,Preço,Estoque crítico,Categoria\n"
                                   "300,\"Açúcar Refinado 1 kg\",\"6,5\",\"3,1\",\"4,99\",8,Mercearia\n"))
            << acucar;
        QTest::newRow("other headings, other order, money as shown, blank lines")
            << utf8(QStringLiteral("Categoria;CODIGO DO PRODUTO;Descrição;Qtde;Preço de custo;Preço de venda;"
                                   "Nível crítico\n\n"
                                   "Mercearia;300;Açúcar Refinado 1 kg;6,5;R$ 3,10;R$ 4,99;8\n\n"))
            << acucar;
        QTest::newRow("quotes inside a name") << utf8(HEADING + "300;Bolacha \"Maria\" 200 g;6,5;3,1;4,99;8;Mercearia\n")
                                              << "Bolacha \"Maria\" 200 g|6.5|3.1|4.99|8|Mercearia";
        QTest::newRow("decimal comma in the quantity only")
            << utf8(HEADING + "300;Carne Moída;1,5;20;35;0;Açougue\n") << "Carne Moída|1.5|20.0|35.0|0|Açougue";
        QTest::newRow("three decimals in the quantity only")
            << utf8(HEADING + "300;Carne Moída;1,500;20;35;0;Açougue\n") << "Carne Moída|1.5|20.0|35.0|0|Açougue";
        QTest::newRow("name of 40 characters")
            << utf8(HEADING + "300;Biscoito Recheado de Chocolate e Morango;6,5;3,1;4,99;8;Mercearia\n")
            << "Biscoito Recheado de Chocolate e Morango|6.5|3.1|4.99|8|Mercearia";
    }

    void theDialectsASpreadsheetWrites()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, stored);
        TestDatabase database(catalogue());
        const CatalogueImport result = importCatalogue(database.folder(), contents, false);
        QVERIFY(result.rejected.isEmpty());
        QVERIFY(result.written);
        QCOMPARE(result.added, 1);
        QCOMPARE(result.updated, 0);
        QCOMPARE(productRow(database, "300"), stored);
        QCOMPARE(database.count("Productos"), 3);
    }

    void thousandsGroupsAndFieldsHoldingTheSeparator()
    {
        TestDatabase database;
        const QString file = HEADING + "300;\"Vinho; tinto \"\"Serra\"\"\";1.234,5;12,25;1.500;0;Bebidas\n";
        const CatalogueImport result = importCatalogue(database.folder(), file.toUtf8(), false);
        QVERIFY(result.rejected.isEmpty());
        QCOMPARE(productRow(database, "300"), "Vinho; tinto \"Serra\"|1234.5|12.25|1500.0|0|Bebidas");
    }

    void existingCodesAreUpdatedNewOnesAdded()
    {
        TestDatabase database(catalogue());
        const QString file = HEADING + "200;Feijão Preto 1 kg;60;5,9;9,49;12;Grãos\n400;Sal 1 kg;20;1;2,5;;Mercearia\n";
        const CatalogueImport result = importCatalogue(database.folder(), file.toUtf8(), false);
        QCOMPARE(result.added, 1);
        QCOMPARE(result.updated, 1);
        QCOMPARE(database.count("Productos"), 3);
        QCOMPARE(productRow(database, "200"), "Feijão Preto 1 kg|60.0|5.9|9.49|12|Grãos");
        QCOMPARE(productRow(database, "400"), "Sal 1 kg|20.0|1.0|2.5|0|Mercearia");
        QCOMPARE(productRow(database, "100"), "Arroz 5 kg|40.0|18.9|27.9|8|Mercearia");
    }

    void everyBadRowIsReportedWithItsLineAndNothingIsWritten_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty code") << ";Sal;1;1;2;0;Mercearia" << "código vazio";
        QTest::newRow("letters in code") << "12A;Sal;1;1;2;0;Mercearia" << "o código deve ter só algarismos: \"12A\"";
        QTest::newRow("scientific code") << "7,89123E+12;Sal;1;1;2;0;Mercearia" << "notação científica";
        QTest::newRow("long code") << "1234567890123456;Sal;1;1;2;0;Mercearia" << "mais de 15 algarismos";
        QTest::newRow("empty name") << "500; ;1;1;2;0;Mercearia" << "nome vazio";
        QTest::newRow("long name") << "500;" + QString(41, u'x') + ";1;1;2;0;Mercearia" << "mais de 40 caracteres";
        QTest::newRow("quantity") << "500;Sal;um;1;2;0;Mercearia" << "quantidade não é um número: \"um\"";
        QTest::newRow("cost") << "500;Sal;1;;2;0;Mercearia" << "custo não é um número: \"\"";
        QTest::newRow("negative price") << "500;Sal;1;1;-2;0;Mercearia" << "preço negativo: \"-2\"";
        QTest::newRow("price with two commas") << "500;Sal;1;1;2,5,0;0;Mercearia" << "preço não é um número";
        QTest::newRow("price of 1e21") << "500;Sal;1;1;1000000000000000000000;0;Mercearia"
                                       << "preço grande demais, com mais de 12 algarismos antes da vírgula: "
                                          "\"1000000000000000000000\"";
        QTest::newRow("cost of thirteen digits")
            << "500;Sal;1;1.000.000.000.000;2;0;Mercearia" << "custo grande demais, com mais de 12 algarismos";
        QTest::newRow("quantity far below zero")
            << "500;Sal;-1000000000000;1;2;0;Mercearia" << "quantidade grande demais";
        QTest::newRow("fractional critical") << "500;Sal;1;1;2;1,5;Mercearia" << "estoque crítico deve ser um número inteiro";
        QTest::newRow("empty category") << "500;Sal;1;1;2;0;" << "categoria vazia";
        QTest::newRow("line break in a quoted name")
            << "500;\"Sal\r\nGrosso\";1;1;2;0;Mercearia" << "o nome contém um caractere de controle (quebra de linha)";
        QTest::newRow("escape in a name") << QString("500;Sal") + QChar(0x1b) + "[31m;1;1;2;0;Mercearia"
                                          << "o nome contém um caractere de controle (código 27)";
        QTest::newRow("unit separator in a name") << QString("500;Sal") + QChar(0x1f) + "1;1;1;2;0;Mercearia"
                                                  << "o nome contém um caractere de controle (código 31)";
        QTest::newRow("tab in a category")
            << "500;Sal;1;1;2;0;Merce\tria" << "a categoria contém um caractere de controle (tabulação)";
        QTest::newRow("missing columns") << "500;Sal;1" << "a linha tem 3 colunas; o cabeçalho pede 7";
        QTest::newRow("repeated code") << "600;Sal Grosso;1;1;2;0;Mercearia" << "o código 600 já apareceu na linha 2";
        QTest::newRow("name of a stored product") << "500;Arroz 5 kg;1;1;2;0;Mercearia"
                                                  << "o nome \"Arroz 5 kg\" já é de outro produto (código 100)";
        QTest::newRow("name of an earlier row") << "500;Sal Marinho;1;1;2;0;Mercearia"
                                                << "o nome \"Sal Marinho\" já é de outro produto (código 600)";
    }

    void everyBadRowIsReportedWithItsLineAndNothingIsWritten()
    {
        QFETCH(QString, row);
        QFETCH(QString, reason);
        TestDatabase database(catalogue());
        const QStringList before = storedRows(database.folder());
        const QString file = HEADING + "600;Sal Marinho;1;1;2,5;0;Mercearia\n" + row + "\n700;Óleo;1;1;7;0;Mercearia\n";

        const CatalogueImport result = importCatalogue(database.folder(), file.toUtf8(), false);
        QCOMPARE(result.rejected.size(), 1);
        QCOMPARE(result.rejected[0].line, 3);
        QVERIFY2(result.rejected[0].reason.contains(reason), qPrintable(result.rejected[0].reason));
        QVERIFY(!result.written);
        QCOMPARE(storedRows(database.folder()), before);

        const CatalogueImport skipping = importCatalogue(database.folder(), file.toUtf8(), true);
        QVERIFY(skipping.written);
        QCOMPARE(skipping.rejected.size(), 1);
        QCOMPARE(skipping.added, 2);
        QCOMPARE(database.count("Productos"), 4);
        QCOMPARE(productRow(database, "700"), "Óleo|1.0|1.0|7.0|0|Mercearia");
    }

    void namesStayUniqueOnceEveryRowIsWritten()
    {
        TestDatabase database(catalogue());
        // Swapping two names is fine: after the import each name has one product.
        const QString swap = HEADING + "100;Feijão 1 kg;40;18,9;27,9;8;Mercearia\n200;Arroz 5 kg;55;5,4;8,49;10;Mercearia\n";
        const CatalogueImport swapped = importCatalogue(database.folder(), swap.toUtf8(), false);
        QVERIFY(swapped.rejected.isEmpty());
        QVERIFY(productRow(database, "100").startsWith("Feijão 1 kg|"));

        // Refusing the row that frees a name makes the row that takes it clash as well.
        const QString chain = HEADING + "100;;1;1;1;1;Mercearia\n300;Feijão 1 kg;1;1;1;1;Mercearia\n";
        const CatalogueImport refused = importCatalogue(database.folder(), chain.toUtf8(), true);
        QCOMPARE(refused.rejected.size(), 2);
        QCOMPARE(refused.rejected[1].line, 3);
        QVERIFY(refused.rejected[1].reason.contains("código 100"));
        QCOMPARE(database.count("Productos"), 2);

        // Letter case counts, as in the product window.
        const QString otherCase = HEADING + "300;ARROZ 5 KG;1;1;1;1;Mercearia\n";
        QVERIFY(importCatalogue(database.folder(), otherCase.toUtf8(), false).written);
    }

    void aHeadingWithoutTheColumnsIsRefused()
    {
        TestDatabase database;
        try {
            importCatalogue(database.folder(), "Código;Nome;Preço\n1;Sal;2\n", false);
            QFAIL("a file without quantity, cost, critical level and category was read");
        } catch (const AppError& error) {
            QVERIFY2(error.message().contains("faltam: \"Quantidade\", \"Custo\", \"Estoque crítico\", \"Categoria\""),
                     qPrintable(error.message()));
        }
    }

    void theExportReadsBackToTheSameCatalogue()
    {
        NewDatabaseOptions options = catalogue();
        options.products.append(product("300", "Vinho; \"Serra\"", 0.1 + 0.2, -2.75, 99999, 1e-7, "Bebidas, vinhos"));
        options.products.append(product("400", "Água 500 ml", 123456789.125, 0, 0, 0, "Bebidas"));
        options.products.append(product("500", "Vinho; tinto", 39.9, 6, 1, 22, "Bebidas; vinhos"));
        TestDatabase source(options);
        const QByteArray exported = exportCatalogue(source.folder());
        QVERIFY(exported.startsWith("\xEF\xBB\xBF" "Código;Nome;Quantidade;Custo;Preço;Estoque crítico;Categoria\r\n"));
        QVERIFY(exported.contains("\r\n100;Arroz 5 kg;40;18,9;27,9;8;Mercearia\r\n"));

        TestDatabase target;
        target.execute("DELETE FROM Productos");
        const CatalogueImport result = importCatalogue(target.folder(), exported, false);
        QVERIFY(result.rejected.isEmpty());
        QCOMPARE(result.added, 5);
        QCOMPARE(exportCatalogue(target.folder()), exported);
        for (const char* code : {"100", "200", "300", "400", "500"})
            QCOMPARE(productRow(target, code), productRow(source, code));
        QCOMPARE(target.scalar("SELECT PrecioVenta FROM Productos WHERE CodigoProducto = '300'").toDouble(), 0.1 + 0.2);

        // Importing the export over the same catalogue changes nothing.
        const QStringList before = storedRows(source.folder());
        QCOMPARE(importCatalogue(source.folder(), exported, false).updated, 5);
        QCOMPARE(storedRows(source.folder()), before);

        // A name stored with a line break, before the boxes dropped them, is written on one line and reads back.
        source.execute("UPDATE Productos SET NombreProducto = 'Arroz' || char(10) || '5 kg' WHERE CodigoProducto = '100'");
        const QByteArray legacy = exportCatalogue(source.folder());
        QVERIFY(legacy.contains("\r\n100;Arroz 5 kg;40;"));
        QVERIFY(importCatalogue(target.folder(), legacy, false).rejected.isEmpty());
    }

    // A file of more than a megabyte is read in pieces: rows, quoted fields and
    // line ends across the pieces come out whole, and a row refused near the
    // end leaves nothing written.
    void aLargeFileIsReadWholeAndWrittenAllOrNothing_data()
    {
        QTest::addColumn<QString>("lastRow");
        QTest::addColumn<QString>("reason");
        QTest::newRow("every row sound") << QString() << QString();
        QTest::newRow("the last row unsound") << "99999;Sal;um;1;2;0;Mercearia" << "quantidade não é um número";
        QTest::newRow("the last row repeats a code") << "10007;Sal;1;1;2;0;Mercearia" << "já apareceu na linha 9";
        QTest::newRow("the last row takes a name") << "99999;\"Produto \"\"7\"\"; de teste\";1;1;2;0;Mercearia"
                                                   << "já é de outro produto (código 10007)";
    }
    void aLargeFileIsReadWholeAndWrittenAllOrNothing()
    {
        QFETCH(QString, lastRow);
        QFETCH(QString, reason);
        constexpr int ROWS = 20000;
        QByteArray file = "\xEF\xBB\xBF" "Código;Nome;Quantidade;Custo;Preço;Estoque crítico;Categoria\r\n";
        for (int i = 0; i < ROWS; ++i)
            file += QStringLiteral("%1;\"Produto \"\"%2\"\"; de teste\";%3;%4;%5;%6;\"Mercearia \"\"%7\"\"\"\r\n")
                        .arg(10000 + i)
                        .arg(i)
                        .arg(QString::number(i * 0.25).replace(u'.', u','))
                        .arg(i % 7)
                        .arg(QString::number(i % 13 + 0.5).replace(u'.', u','))
                        .arg(i % 5)
                        .arg(i % 3)
                        .toUtf8();
        TestDatabase database;
        database.execute("DELETE FROM Productos");
        if (lastRow.isEmpty()) {
            const CatalogueImport result = importCatalogue(database.folder(), file, false);
            QVERIFY(result.rejected.isEmpty());
            QCOMPARE(result.added, ROWS);
            QCOMPARE(exportCatalogue(database.folder()), file);
            return;
        }
        file += lastRow.toUtf8() + "\r\n";
        const CatalogueImport refused = importCatalogue(database.folder(), file, false);
        QCOMPARE(refused.rejected.size(), 1);
        QCOMPARE(refused.rejected[0].line, ROWS + 2);
        QVERIFY2(refused.rejected[0].reason.contains(reason), qPrintable(refused.rejected[0].reason));
        QVERIFY(!refused.written);
        QCOMPARE(database.count("Productos"), 0);
        QCOMPARE(importCatalogue(database.folder(), file, true).added, ROWS);
    }
};

QTEST_GUILESS_MAIN(CatalogueFileTest)
#include "tst_catalogue_file.moc"
