#include "common/number_settings.h"
#include "sale/registro_venta.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/store_error.h"
#include "support/test_database.h"

#include <QtTest>


namespace {

const QString INICIO = "05/03/2024 8:00:00";
const QString INICIO_GRAVADO = "2024-03-05 08:00:00";

LineaVenta linea(const QString& codigo, const QString& nombre, const QString& cantidad, const QString& costoUnitario,
                 const QString& ventaUnitaria, const QString& categoria = "Mercearia")
{
    ProductoLeido producto{codigo, nombre, costoUnitario, ventaUnitaria, categoria};
    return nuevaLinea(producto, cantidad, 1);
}

DatosSesion sesion(const QString& tipo, const QString& total, const QTime& hora)
{
    return {tipo, total, "ana", INICIO, QDateTime(QDate(2024, 3, 5), hora)};
}

// A Temporal row as "field=value" texts, in the table's field order.
QStringList temporalRow(const TestDatabase& db, int rowid)
{
    QStringList fields;
    for (const QString& column : db.columns("Temporal")) {
        const QString name = column.section(':', 0, 0);
        fields.append(name + "=" +
                      db.scalar(QString("select \"%1\" from Temporal where rowid = %2").arg(name).arg(rowid)).toString());
    }
    return fields;
}

double stock(const TestDatabase& db, const QString& codigo)
{
    return db.scalar(QString("select Cantidad from Productos where CodigoProducto = '%1'").arg(codigo)).toDouble();
}

QVariantList takings(const TestDatabase& db)
{
    return {db.scalar("select efectivo from TipoPago"), db.scalar("select tarjeta from TipoPago"),
            db.scalar("select CajaInicial from TipoPago"), db.scalar("select FechaCierre from TipoPago"),
            db.scalar("select FechaInicio from TipoPago")};
}

}   // namespace

class RegistroVentaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void firstSaleStoresEveryLineAndOpensTheTakings()
    {
        TestDatabase db({{product("111", "Arroz", 27.9, 10, 0, 18.9, "Mercearia"),
                          product("222", "Feijão", 8.49, 5, 0, 5.4, "Mercearia"),
                          product("333", "Sabão", 3.5, 1, 0, 2, "Limpeza")}});
        const QList<LineaVenta> lineas{linea("111", "Arroz", "2", "18,9", "27,9"),
                                       linea("222", "Feijão", "1,5", "5,4", "8,49"),
                                       linea("333", "Sabão", "3", "2", "3,5", "Limpeza")};
        const QString inicio =
            RegistroVenta(db.folder()).registrar(lineas, sesion("EFECTIVO", "78,035", QTime(9, 5, 7)));
        QCOMPARE(inicio, INICIO);

        QCOMPARE(stock(db, "111"), 8.0);
        QCOMPARE(stock(db, "222"), 3.5);
        QCOMPARE(stock(db, "333"), -2.0);   // selling more than the stock goes negative
        QCOMPARE(db.count("Temporal"), 3);
        QCOMPARE(temporalRow(db, 1),
                 QStringList({"CodigoProducto=111", "NombreProducto=Arroz", "Cantidad=2", "TotalCosto=37.8",
                              "TotalVenta=55.8", "TipoPago=EFECTIVO", "NombreUsuario=ana", "Categoria=Mercearia",
                              "FechaInicio=" + INICIO_GRAVADO, "FechaVenta=2024-03-05 09:05:07",
                              "ValorUnitario=27.9", "Caixa=1"}));
        QCOMPARE(temporalRow(db, 3).at(2), QString("Cantidad=3"));
        QCOMPARE(temporalRow(db, 3).at(7), QString("Categoria=Limpeza"));
        // One moment for every line of the sale.
        QCOMPARE(db.scalar("select count(distinct FechaVenta) from Temporal").toInt(), 1);
        QCOMPARE(db.scalar("select count(distinct FechaInicio || TipoPago || NombreUsuario) from Temporal").toInt(), 1);

        QCOMPARE(db.count("TipoPago"), 1);
        QCOMPARE(takings(db), QVariantList({78.035, 0.0, 0.0, "2024-03-05 09:05:07", INICIO_GRAVADO}));
    }

    void laterSalesAddToTheSessionTakings()
    {
        TestDatabase db({{product("111", "Arroz", 10)}});
        const RegistroVenta registro(db.folder());
        const QList<LineaVenta> uma{linea("111", "Arroz", "1", "0", "10")};
        registro.registrar(uma, sesion("EFECTIVO", "10", QTime(9, 0, 0)));
        registro.registrar(uma, sesion("EFECTIVO", "10,5", QTime(9, 30, 0)));
        QCOMPARE(takings(db), QVariantList({20.5, 0.0, 0.0, "2024-03-05 09:30:00", INICIO_GRAVADO}));
        registro.registrar(uma, sesion("TARJETA", "4,25", QTime(10, 0, 0)));
        QCOMPARE(takings(db), QVariantList({20.5, 4.25, 0.0, "2024-03-05 10:00:00", INICIO_GRAVADO}));
        // A type that is neither cash nor card adds nowhere but stamps the moment.
        registro.registrar(uma, sesion("EXENTO", "99", QTime(10, 30, 0)));
        QCOMPARE(takings(db), QVariantList({20.5, 4.25, 0.0, "2024-03-05 10:30:00", INICIO_GRAVADO}));
        QCOMPARE(db.count("TipoPago"), 1);
        QCOMPARE(db.count("Temporal"), 4);
        QCOMPARE(stock(db, "111"), 96.0);
        QCOMPARE(db.scalar("select count(distinct FechaVenta) from Temporal").toInt(), 4);

        // Paid again at the moment of an attempt whose commit went unanswered: found, not stored twice;
        // an attempt that was never stored is stored.
        registro.registrar(uma, sesion("EFECTIVO", "10", QTime(10, 30, 0)), true);
        QCOMPARE(db.count("Temporal"), 4);
        QCOMPARE(stock(db, "111"), 96.0);
        registro.registrar(uma, sesion("EFECTIVO", "10", QTime(11, 0, 0)), true);
        QCOMPARE(db.count("Temporal"), 5);
        QCOMPARE(takings(db), QVariantList({30.5, 4.25, 0.0, "2024-03-05 11:00:00", INICIO_GRAVADO}));
    }

    // The takings go under the start stored with the session's first line.
    void takingsFollowTheStoredSessionStart()
    {
        TestDatabase db({{product("111", "Arroz", 10)}});
        db.execute("insert into Temporal (CodigoProducto, FechaInicio, FechaVenta) "
                   "values ('111', '2024-03-04 07:00:00', '2024-03-04 07:10:00')");
        const QString inicio = RegistroVenta(db.folder())
                                   .registrar({linea("111", "Arroz", "1", "0", "10")},
                                              sesion("TARJETA", "10", QTime(9, 0, 0)));
        QCOMPARE(inicio, QString("04/03/2024 7:00:00"));
        QCOMPARE(db.scalar("select FechaInicio from TipoPago").toString(), QString("2024-03-04 07:00:00"));
        QCOMPARE(db.scalar("select tarjeta from TipoPago").toDouble(), 10.0);
    }

    void aProductDeletedMeanwhileIsStillALine()
    {
        TestDatabase db({{product("111", "Arroz", 10, 7)}});
        RegistroVenta(db.folder())
            .registrar({linea("999", "Apagado", "2", "1", "3"), linea("111", "Arroz", "1", "0", "10")},
                       sesion("EFECTIVO", "16", QTime(9, 0, 0)));
        QCOMPARE(db.count("Temporal"), 2);
        QCOMPARE(db.scalar("select NombreProducto from Temporal where CodigoProducto = '999'").toString(),
                 QString("Apagado"));
        QCOMPARE(db.count("Productos"), 1);
        QCOMPARE(stock(db, "111"), 6.0);
    }

    // A sale the window has cleared is on the disk: every commit waits for the
    // log to be synced, so a power cut right after loses nothing.
    void commitsReachTheDisk()
    {
        TestDatabase db;
        Connection conexion(db.folder());
        Statement synchronous(conexion, "PRAGMA synchronous");
        QVERIFY(synchronous.next());
        QCOMPARE(synchronous.whole(0), 2);   // FULL
    }

    void aFailureHalfWayStoresNothing_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<bool>("takingsOpen");
        QTest::newRow("takings created") << "before insert on TipoPago" << false;
        QTest::newRow("takings updated") << "before update on TipoPago" << true;
        QTest::newRow("second line") << "before insert on Temporal when new.CodigoProducto = '222'" << false;
    }

    void aFailureHalfWayStoresNothing()
    {
        QFETCH(QString, trigger);
        QFETCH(bool, takingsOpen);
        TestDatabase db({{product("111", "Arroz", 10, 7), product("222", "Feijão", 8, 4)}});
        if (takingsOpen)
            db.execute("insert into TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial) "
                       "values ('" + INICIO_GRAVADO + "', 5, 0, 0)");
        db.execute("create trigger falha " + trigger + " begin select raise(abort, 'disco cheio'); end");
        const QList<LineaVenta> lineas{linea("111", "Arroz", "2", "0", "10"), linea("222", "Feijão", "1", "0", "8")};
        const RegistroVenta registro(db.folder());
        try {
            registro.registrar(lineas, sesion("EFECTIVO", "28", QTime(9, 0, 0)));
            QFAIL("the recording did not report the failure");
        } catch (const StoreError& error) {
            QVERIFY2(error.message().contains("disco cheio"), qPrintable(error.message()));
        }
        QCOMPARE(stock(db, "111"), 7.0);
        QCOMPARE(stock(db, "222"), 4.0);
        QCOMPARE(db.count("Temporal"), 0);
        QCOMPARE(db.count("TipoPago"), takingsOpen ? 1 : 0);
        if (takingsOpen)
            QCOMPARE(db.scalar("select efectivo from TipoPago").toDouble(), 5.0);

        db.execute("drop trigger falha");
        registro.registrar(lineas, sesion("EFECTIVO", "28", QTime(9, 1, 0)));
        QCOMPARE(stock(db, "111"), 5.0);
        QCOMPARE(db.count("Temporal"), 2);
        QCOMPARE(db.scalar("select efectivo from TipoPago").toDouble(), takingsOpen ? 33.0 : 28.0);
    }
};

QTEST_GUILESS_MAIN(RegistroVentaTest)
#include "tst_registro_venta.moc"
