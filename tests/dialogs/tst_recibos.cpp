#include "common/number_settings.h"
#include "common/platform.h"
#include "dialogs/imprimir_recibo.h"
#include "dialogs/recibos.h"
#include "support/fake_platform.h"
#include "support/test_database.h"

#include <QtTest>

namespace {

using Piece = FakeReceiptPrinter::Piece;
using Line = FakeReceiptPrinter::Line;

Line text(const QString& t, int points = 0, bool bold = false)
{
    return {{-1, t, points, bold}};
}

const QString DATE_TIME = "05/03/2024 8:15:02";

Recibo umaLinhaEmDinheiro()
{
    Recibo recibo;
    recibo.filas = {{"Arroz Tipo 1 5 kg", "2", "6,25", "12,5"}};
    recibo.total = "R$ 12,5";
    recibo.pagaCon = "20";
    recibo.vuelto = "7,50";
    recibo.tipoPago = "0";
    recibo.momento = QDateTime(QDate(2024, 3, 5), QTime(8, 15, 2));
    return recibo;
}

Recibo tresLinhasNoCartao()
{
    Recibo recibo = umaLinhaEmDinheiro();
    recibo.filas = {{"Arroz", "1", "27,9", "27,9"},
                    {"Feijão Carioca 1 kg", "1,5", "8,49", "12,735"},
                    {"Sabão em Pó Multiuso Super Limpeza Total 1 kg", "3", "3,5", "10,5"}};
    recibo.total = "R$ 51,135";
    recibo.pagaCon = "";
    recibo.vuelto = "";
    recibo.tipoPago = "1";
    return recibo;
}

QList<Line> closing80(const QString& total, const QString& paid, const QString& change, const QString& payment)
{
    QList<Line> lines{text("                                                            ___________"),
                      {{2500, "Total       " + total, 0, false}},
                      {{2500, "Efectivo    " + paid, 0, false}},
                      {{2500, "Vuelto      $ " + change, 0, false}},
                      text("=========================================="),
                      text(" ")};
    if (!payment.isEmpty())
        lines.append(text("                    Forma de pagamento: " + payment + " "));
    for (int i = 0; i < 4; ++i)
        lines.append(text(" "));
    return lines;
}

QList<Line> heading80()
{
    return {text("                    " + DATE_TIME),
            text("--------------------------------------------------------------"),
            text(" "),
            text("Descrição                          Quantidade        Total"),
            text(" ")};
}

Line item80(const QString& name, const QString& quantity, const QString& total)
{
    return {{0, name, 0, false}, {2500, quantity, 0, false}, {3200, total, 0, false}, {-1, " ", 0, false}};
}

QList<Line> heading58()
{
    return {text("   " + DATE_TIME, 10), text("   --------------------------", 10), text(" ", 10),
            text("Detalle:", 10), text(" ", 10)};
}

QList<Line> item58(const QString& name, const QString& quantity, const QString& unit, const QString& total)
{
    return {{{0, name, 10, false}, {-1, " ", 10, false}},
            {{0, quantity, 10, false},
             {-1, " x ", 10, false},
             {500, unit, 10, false},
             {-1, " = ", 10, false},
             {1500, total, 10, false},
             {-1, " ", 10, false}}};
}

QList<Line> closing58(const QString& total, const QString& paid, const QString& change, const QString& payment)
{
    QList<Line> lines{text("                ___________", 10),
                      {{500, "Total       " + total, 11, true}},
                      {{500, "Efectivo    " + paid, 10, false}},
                      {{500, "Vuelto      $ " + change, 10, false}},
                      text("====================", 10),
                      text(" ", 10)};
    if (!payment.isEmpty())
        lines.append(text(" Forma de pagamento : " + payment + " ", 10));
    for (int i = 0; i < 4; ++i)
        lines.append(text(" ", 10));
    return lines;
}

void compareLines(const QList<Line>& actual, const QList<Line>& expected)
{
    for (int i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        if (actual[i] != expected[i]) {
            QString got;
            for (const Piece& p : actual[i])
                got += QString("[%1 '%2' %3%4]").arg(p.twips).arg(p.text).arg(p.points).arg(p.bold ? " bold" : "");
            QFAIL(qPrintable(QString("line %1 differs: %2").arg(i + 1).arg(got)));
        }
    }
    QCOMPARE(actual.size(), expected.size());
}

}   // namespace

class RecibosTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void eightyMillimetres()
    {
        FakeReceiptPrinter printer;
        Recibo_80mm(printer, umaLinhaEmDinheiro());
        QCOMPARE(printer.documents.size(), 1);
        QCOMPARE(printer.documents[0].paperWidthMm, 80);
        QVERIFY(printer.documents[0].ended);
        const QList<Line> oneLine = heading80() + QList<Line>{item80("Arroz Tipo 1 5 kg", "2", "12,5")}
                                    + closing80("R$ 12,5", "20", "7,50", "DINHEIRO");
        QCOMPARE(oneLine.size(), 17);
        compareLines(printer.documents[0].lines, oneLine);

        // A card sale paid without an amount; a long name runs into the next column uncut.
        Recibo_80mm(printer, tresLinhasNoCartao());
        compareLines(printer.documents[1].lines,
                     heading80()
                         + QList<Line>{item80("Arroz", "1", "27,9"), item80("Feijão Carioca 1 kg", "1,5", "12,735"),
                                       item80("Sabão em Pó Multiuso Super Limpeza Total 1 kg", "3", "10,5")}
                         + closing80("R$ 51,135", "", "", "CARTÃO"));
    }

    void fiftyEightMillimetres()
    {
        FakeReceiptPrinter printer;
        Recibo_58mm(printer, umaLinhaEmDinheiro());
        QCOMPARE(printer.documents[0].paperWidthMm, 58);
        const QList<Line> oneLine = heading58() + item58("Arroz Tipo 1 5 kg", "2", "6,25", "12,5")
                                    + closing58("R$ 12,5", "20", "7,50", "DINHEIRO");
        QCOMPARE(oneLine.size(), 18);
        compareLines(printer.documents[0].lines, oneLine);

        Recibo_58mm(printer, tresLinhasNoCartao());
        compareLines(printer.documents[1].lines,
                     heading58() + item58("Arroz", "1", "27,9", "27,9")
                         + item58("Feijão Carioca 1 kg", "1,5", "8,49", "12,735")
                         + item58("Sabão em Pó Multiuso Super Limpeza Total 1 kg", "3", "3,5", "10,5")
                         + closing58("R$ 51,135", "", "", "CARTÃO"));
    }

    // A card sale still prints whatever amount the dialog holds; a kind that is
    // neither cash nor card prints no payment line.
    void paymentLines()
    {
        FakeReceiptPrinter printer;
        Recibo recibo = umaLinhaEmDinheiro();
        recibo.tipoPago = "1";
        Recibo_80mm(printer, recibo);
        QCOMPARE(printer.documents[0].texts().at(8), QString("Efectivo    20"));
        QCOMPARE(printer.documents[0].texts().at(12), QString("                    Forma de pagamento: CARTÃO "));
        recibo.tipoPago = "2";
        Recibo_80mm(printer, recibo);
        Recibo_58mm(printer, recibo);
        QCOMPARE(printer.documents[1].lines.size(), 16);
        QCOMPARE(printer.documents[2].lines.size(), 17);
        QVERIFY(!printer.documents[1].texts().join("|").contains("Forma de pagamento"));
    }

    void receiptChoice_data()
    {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("width");   // 0: nothing printed
        QTest::newRow("58") << "update Usuarios set PermisoCruce = 58" << "admin" << 58;
        QTest::newRow("80") << "update Usuarios set PermisoCruce = 80" << "admin" << 80;
        QTest::newRow("no receipt") << "update Usuarios set PermisoCruce = 0" << "admin" << 0;
        QTest::newRow("no choice made") << "update Usuarios set PermisoCruce = 1" << "admin" << 0;
        QTest::newRow("letter case") << "update Usuarios set PermisoCruce = 80" << "Admin" << 0;
        QTest::newRow("user deleted") << "delete from Usuarios" << "admin" << 0;
        QTest::newRow("first row decides")
            << "update Usuarios set PermisoCruce = 58; "
               "insert into Usuarios (NombreUsuario, PermisoCruce) values ('admin', 80)"
            << "admin" << 58;
        QTest::newRow("later row of another user")
            << "insert into Usuarios (NombreUsuario, PermisoCruce) values ('ana', 80)" << "ana" << 80;
    }

    void receiptChoice()
    {
        QFETCH(QString, setUp);
        QFETCH(QString, user);
        QFETCH(int, width);
        TestDatabase db;
        for (const QString& statement : setUp.split("; "))
            db.execute(statement);
        FakePlatform fakes(db.folder());
        QCOMPARE(Imprimir_Recibo(fakes.platform, user, umaLinhaEmDinheiro()), QString());
        QCOMPARE(fakes.printer.documents.size(), width ? 1 : 0);
        if (width)
            QCOMPARE(fakes.printer.documents[0].paperWidthMm, width);
    }

    // The choice is read afresh at every payment.
    void choiceChangedDuringTheRun()
    {
        TestDatabase db;
        FakePlatform fakes(db.folder());
        QCOMPARE(Imprimir_Recibo(fakes.platform, "admin", umaLinhaEmDinheiro()), QString());
        db.execute("update Usuarios set PermisoCruce = 80");
        Imprimir_Recibo(fakes.platform, "admin", umaLinhaEmDinheiro());
        QCOMPARE(fakes.printer.documents.size(), 1);
    }

    void printingFailureIsReportedNotThrown()
    {
        TestDatabase db;
        db.execute("update Usuarios set PermisoCruce = 58");
        FakePlatform fakes(db.folder());
        fakes.printer.failure = "a impressora \"caixa\" não está aceitando trabalhos";
        QCOMPARE(Imprimir_Recibo(fakes.platform, "admin", umaLinhaEmDinheiro()), fakes.printer.failure);
        fakes.platform.printer = nullptr;
        QCOMPARE(Imprimir_Recibo(fakes.platform, "admin", umaLinhaEmDinheiro()),
                 QString("nenhuma impressora está disponível"));
        QVERIFY(fakes.printer.documents.isEmpty());
    }
};

QTEST_GUILESS_MAIN(RecibosTest)
#include "tst_recibos.moc"
