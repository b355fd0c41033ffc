#include "common/number_settings.h"
#include "sale/cierre_dia.h"
#include "sale/form1.h"
#include "support/fake_platform.h"
#include "support/sale_controls.h"
#include "support/test_database.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

const QString EARLIER_START = "04/03/2024 7:00:00";
const QString EARLIER_STORED = "2024-03-04 07:00:00";

// Two lines of one sale of an earlier session, and that session's takings row.
void openEarlierSession(const TestDatabase& database)
{
    database.execute(
        "INSERT INTO Temporal (CodigoProducto, NombreProducto, Categoria, Cantidad, ValorUnitario, TotalCosto, "
        "TotalVenta, TipoPago, NombreUsuario, FechaInicio, FechaVenta) VALUES "
        "('1', 'Arroz', 'Grãos', 2, 5.5, 6, 11, 'EFECTIVO', 'ana', '2024-03-04 07:00:00', '2024-03-04 09:10:00'),"
        "('2', 'Feijão', 'Grãos', 1.5, 8, 7.5, 12, 'EFECTIVO', 'ana', '2024-03-04 07:00:00', '2024-03-04 09:10:00')");
    database.execute("INSERT INTO TipoPago (FechaInicio, efectivo, tarjeta, CajaInicial, FechaCierre) VALUES "
                     "('2024-03-04 07:00:00', 23, 0, 0, '2024-03-04 09:10:00')");
}

QString archived(const TestDatabase& database)
{
    return database
        .scalar("SELECT group_concat(CodigoProducto || '|' || NombreProducto || '|' || Cantidad || '|' || TotalCosto "
                "|| '|' || TotalVenta || '|' || TipoPago || '|' || NombreUsuario || '|' || Categoria || '|' || "
                "FechaInicio || '|' || FechaVenta, ';') FROM (SELECT * FROM Recaudacion ORDER BY rowid)")
        .toString();
}

const QString ARCHIVED_EARLIER = "1|Arroz|2.0|6.0|11.0|EFECTIVO|ana|Grãos|2024-03-04 07:00:00|2024-03-04 09:10:00;"
                                 "2|Feijão|1.5|7.5|12.0|EFECTIVO|ana|Grãos|2024-03-04 07:00:00|2024-03-04 09:10:00";

// The sale window as the login shows it: loaded, then told who logged in and when.
struct Session {
    explicit Session(TestDatabase& database, QList<bool> answers = {}) : fakes(database.folder())
    {
        for (bool answer : answers)
            fakes.prompter.answers.enqueue(answer);
        form.show();
        form.Text4 = "bia";
        form.Text3 = "05/03/2024 8:15:02";
    }
    FakePlatform fakes;
    Form1 form{fakes.platform};
};

}   // namespace

class DaySessionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { NumberSettings::setCurrent(NumberSettings::brazilian()); }

    void closingArchivesEveryLineOnceAndStampsTheSession()
    {
        TestDatabase database;
        openEarlierSession(database);
        Cerrar_Ventas_Del_Dia(database.folder(), EARLIER_START, QDateTime(QDate(2024, 3, 4), QTime(18, 30, 0)));
        QCOMPARE(archived(database), ARCHIVED_EARLIER);
        QCOMPARE(database.count("Temporal"), 0);
        QCOMPARE(database.scalar("SELECT FechaCierre FROM TipoPago").toString(), QString("2024-03-04 18:30:00"));

        // Nothing left to close: closing again changes nothing.
        Cerrar_Ventas_Del_Dia(database.folder(), EARLIER_START, QDateTime(QDate(2024, 3, 4), QTime(19, 0, 0)));
        QCOMPARE(database.count("Recaudacion"), 2);
    }

    void aFailureHalfWayThroughTheCloseChangesNothing()
    {
        TestDatabase database;
        openEarlierSession(database);
        database.execute("CREATE TRIGGER falha BEFORE INSERT ON Recaudacion WHEN (SELECT count(*) FROM Recaudacion) "
                         ">= 1 BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
        QVERIFY_THROWS_EXCEPTION(AppError, Cerrar_Ventas_Del_Dia(database.folder(), EARLIER_START,
                                                                 QDateTime(QDate(2024, 3, 4), QTime(18, 30, 0))));
        QCOMPARE(database.count("Temporal"), 2);
        QCOMPARE(database.count("Recaudacion"), 0);
        QCOMPARE(database.scalar("SELECT FechaCierre FROM TipoPago").toString(), QString("2024-03-04 09:10:00"));
    }

    void anEmptySessionAsksNothingAtLoad()
    {
        TestDatabase database;
        Session session(database);
        QVERIFY(session.fakes.prompter.messages.isEmpty());
        QCOMPARE(session.form.Text3, QString("05/03/2024 8:15:02"));
        QVERIFY(!ui(session.form).Timer2->isActive());
    }

    void noAtRecoveryClosesTheEarlierSession()
    {
        TestDatabase database;
        openEarlierSession(database);
        Session session(database, {false});
        QCOMPARE(session.fakes.prompter.messages.size(), 1);
        const FakePrompter::Message& question = session.fakes.prompter.messages.first();
        QCOMPARE(question.kind, FakePrompter::Kind::YesNo);
        QCOMPARE(question.title, QString("Confirmação"));
        QCOMPARE(question.text, QString("O sistema fechou inesperadamente. Deseja continuar com o a venda anterior? Se "
                                        "pressionar NÃO, a venda anterior será fechada e um novo início de venda "
                                        "será iniciado"));
        QCOMPARE(archived(database), ARCHIVED_EARLIER);
        QCOMPARE(database.count("Temporal"), 0);
        // The load ran before the login wrote its start: the earlier row keeps its last sale's time.
        QCOMPARE(database.scalar("SELECT FechaCierre FROM TipoPago").toString(), QString("2024-03-04 09:10:00"));
        QVERIFY(!ui(session.form).Timer2->isActive());
        QVERIFY(ui(session.form).Text7->hasFocus() || !session.form.isActiveWindow());
    }

    void yesAtRecoveryContinuesTheEarlierSessionASecondLater()
    {
        TestDatabase database;
        openEarlierSession(database);
        Session session(database, {true});
        QCOMPARE(database.count("Temporal"), 2);
        QVERIFY(ui(session.form).Timer2->isActive());
        QCOMPARE(ui(session.form).Timer2->interval(), 1000);
        QCOMPARE(session.form.Text3, QString("05/03/2024 8:15:02"));
        QTRY_COMPARE_WITH_TIMEOUT(session.form.Text3, EARLIER_START, 3000);
        QVERIFY(!ui(session.form).Timer2->isActive());
    }

    void exitAnsweredNoKeepsTheWindowWithAnEmptySale()
    {
        TestDatabase database({{product("7", "Arroz", 5)}});
        Session session(database, {false});
        session.form.show();
        ui(session.form).Text7->setText("7");
        QTest::keyClick(ui(session.form).Text7, Qt::Key_Return);
        QCOMPARE(session.form.venta().size(), 1);

        QVERIFY(!session.form.close());
        QVERIFY(session.form.isVisible());
        QVERIFY(session.form.venta().isEmpty());
        QCOMPARE(ui(session.form).Label8->text(), QString("R$ "));
        QCOMPARE(session.fakes.prompter.last(), QString("Deseja sair do sistema confirmando o fim das vendas do dia?"));
        QCOMPARE(session.fakes.prompter.messages.last().title, QString("Confirmação"));
        QCOMPARE(database.count("Recaudacion"), 0);
    }

    void exitAnsweredYesClosesTheDay()
    {
        TestDatabase database;
        Session session(database, {true});
        QVERIFY(session.form.close());
        QVERIFY(!session.form.isVisible());
        QCOMPARE(database.count("Recaudacion"), 0);
        QCOMPARE(database.count("TipoPago"), 0);

        // With an open session, its lines are archived and its row stamped with the closing time.
        TestDatabase open;
        openEarlierSession(open);
        Session continued(open, {true, true});
        continued.form.Text3 = EARLIER_START;
        continued.fakes.clock.moment = QDateTime(QDate(2024, 3, 4), QTime(20, 0, 0));
        QVERIFY(continued.form.close());
        QCOMPARE(archived(open), ARCHIVED_EARLIER);
        QCOMPARE(open.scalar("SELECT FechaCierre FROM TipoPago").toString(), QString("2024-03-04 20:00:00"));
    }

    // Each confirmed close makes the day's backup: after a second close on
    // the same day its one copy holds both sessions' archived lines.
    void aConfirmedCloseLeavesABackupAndAFailingOneIsToldOnce()
    {
        TestDatabase database;
        openEarlierSession(database);
        {
            Session session(database, {true, true});
            QVERIFY(session.form.close());
            const QStringList backups = QDir(database.folder() + "/backups").entryList(QDir::Files);
            QCOMPARE(backups.size(), 1);
            QVERIFY(session.fakes.prompter.messages.last().kind != FakePrompter::Kind::Exclamation);
        }
        database.execute("INSERT INTO Temporal (CodigoProducto, NombreProducto, Categoria, Cantidad, ValorUnitario, "
                         "TotalCosto, TotalVenta, TipoPago, NombreUsuario, FechaInicio, FechaVenta) VALUES ('3', "
                         "'Sal', 'Mercearia', 1, 2, 1, 2, 'EFECTIVO', 'bia', '2024-03-05 08:15:02', "
                         "'2024-03-05 10:00:00')");
        {
            Session session(database, {true, true});
            session.fakes.clock.moment = session.fakes.clock.moment.addSecs(4 * 3600);
            QVERIFY(session.form.close());
            const QDir backups(database.folder() + "/backups");
            QCOMPARE(backups.entryList(QDir::Files), QStringList{"bd1-2024-03-05-121502"});
            QTemporaryDir copy;
            QVERIFY(QFile::copy(backups.filePath("bd1-2024-03-05-121502"), copy.filePath("bd1")));
            QCOMPARE(storedRows(copy.path()).filter(QRegularExpression("^Recaudacion\\|")).size(), 3);
        }

        TestDatabase blocked;
        openEarlierSession(blocked);
        QFile plain(blocked.folder() + "/backups");   // a file where the backups folder should be
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        Session session(blocked, {true, true});
        QVERIFY(session.form.close());   // the day is closed all the same
        QCOMPARE(blocked.count("Temporal"), 0);
        QCOMPARE(blocked.count("Recaudacion"), 2);
        int told = 0;
        for (const FakePrompter::Message& message : session.fakes.prompter.messages)
            told += message.kind == FakePrompter::Kind::Exclamation ? 1 : 0;
        QCOMPARE(told, 1);
        QVERIFY(session.fakes.prompter.messages.last().text.startsWith("O backup do dia não foi feito."));
    }

    void aFailedCloseKeepsTheWindowOpenAndTheSessionWhole()
    {
        TestDatabase database;
        openEarlierSession(database);
        Session session(database, {true, true});
        database.execute("CREATE TRIGGER falha BEFORE DELETE ON Temporal BEGIN SELECT RAISE(ABORT, 'x'); END");
        QVERIFY(!session.form.close());
        QVERIFY(session.form.isVisible());
        QCOMPARE(session.fakes.prompter.messages.last().kind, FakePrompter::Kind::Critical);
        QCOMPARE(database.count("Temporal"), 2);
        QCOMPARE(database.count("Recaudacion"), 0);
    }

    void anOlderTableOfOpenLinesIsUpgradedOnceAtLoad()
    {
        NewDatabaseOptions older;
        older.olderTemporal = true;
        TestDatabase database(older);
        QCOMPARE(database.columns("Temporal").size(), 11);   // the till number, added at the first open
        {
            Session session(database);
        }
        QCOMPARE(database.columns("Temporal").size(), 12);
        QCOMPARE(database.columns("Temporal").last(), QString("ValorUnitario:REAL"));
        Session again(database);
        QCOMPARE(database.columns("Temporal").size(), 12);
    }
};

QTEST_MAIN(DaySessionTest)
#include "tst_day_session.moc"
