// Measures the takings windows on a large archive:
//   bench_takings [FOLDER]
// On 1 000 000 archived sale lines (one session a day over two years): the
// takings report's month query and session query, from the click on
// "BUSCAR" until the list and the labels are painted; and the sales of an
// open session of 5 000 lines, from opening the window until it is painted.
// Each beside raw aggregate statements giving the same figures on an open
// connection. Without FOLDER the database is generated in a temporary folder;
// a FOLDER without bd1 gets one kept for later runs (its open session of
// 5 000 lines is added once).

#include "common/clock.h"
#include "common/date_text.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/report_list.h"
#include "reports/form12.h"
#include "reports/form7.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/raw_sqlite.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTextStream>

#include <functional>

namespace {

constexpr int RUNS = 7;
constexpr int OPEN_SESSION_LINES = 5000;

QTextStream out(stdout);

constexpr char RAW_MONTH_LINES[] =
    "select CodigoProducto, count(*), sum(Cantidad), sum(TotalCosto), sum(TotalVenta) from Recaudacion "
    "where FechaInicio >= ? and FechaInicio < ? group by CodigoProducto";
constexpr char RAW_MONTH_TAKINGS[] =
    "select sum(efectivo), sum(tarjeta) from TipoPago where FechaInicio >= ? and FechaInicio < ?";
constexpr char RAW_SESSION_LINES[] =
    "select CodigoProducto, count(*), sum(Cantidad), sum(TotalCosto), sum(TotalVenta) from Recaudacion "
    "where FechaInicio = ? group by CodigoProducto";
constexpr char RAW_SESSION_TAKINGS[] = "select efectivo, tarjeta, FechaCierre from TipoPago where FechaInicio = ?";
constexpr char RAW_OPEN_SALES[] = "select FechaVenta, min(TipoPago) from Temporal group by FechaVenta";

// An open session of the given number of lines, in sales of 1 to 5 lines, unless Temporal has lines already.
void addOpenSession(const QString& path, int lines)
{
    RawConnection db(path, derivedKeyFor(path));
    RawStatement count(db, "select count(*) from Temporal");
    count.step();
    if (count.text(0).toInt() > 0)
        return;
    db.execute("BEGIN");
    RawStatement insert(db, "INSERT INTO Temporal (CodigoProducto, NombreProducto, Cantidad, TotalCosto, TotalVenta, "
                            "TipoPago, NombreUsuario, Categoria, FechaInicio, FechaVenta, ValorUnitario) "
                            "VALUES (?, ?, ?, ?, ?, ?, 'admin', 'Geral', ?, ?, ?)");
    const QDateTime start(QDate::currentDate(), QTime(7, 0));
    const QByteArray startText = toStoredDateTime(start).toUtf8();
    for (int line = 0; line < lines; ++line) {
        const int sale = line / 3;
        const QByteArray saleText = toStoredDateTime(start.addSecs(10 * sale)).toUtf8();
        const double price = 1.5 + line % 40;
        insert.bindText(1, QByteArray::number(7891000000000 + line % 700))
            .bindText(2, "Produto " + QByteArray::number(line % 700))
            .bindNumber(3, 1 + line % 3)
            .bindNumber(4, price * 0.6 * (1 + line % 3))
            .bindNumber(5, price * (1 + line % 3))
            .bindText(6, sale % 2 ? "TARJETA" : "EFECTIVO")
            .bindText(7, startText)
            .bindText(8, saleText)
            .bindNumber(9, price)
            .run();
    }
    db.execute("COMMIT");
}

double millis(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Presses the button and waits for the query that runs on the timer's tick, then paints.
double timeQuery(Form7& form, QPushButton* button)
{
    QElapsedTimer timer;
    timer.start();
    button->click();
    while (!form.Label12->isHidden())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    form.repaint();
    QCoreApplication::processEvents();
    return millis(timer);
}

double timeRaw(const RawConnection& db, const std::function<void(const RawConnection&)>& statements)
{
    QElapsedTimer timer;
    timer.start();
    statements(db);
    return millis(timer);
}

void stepAll(const RawConnection& db, const char* sql, const QList<QByteArray>& parameters)
{
    RawStatement statement(db, sql);
    for (int i = 0; i < parameters.size(); ++i)
        statement.bindText(i + 1, parameters[i]);
    while (statement.step())
        for (int column = 0; column < statement.columnCount(); ++column)
            statement.text(column);
}

void row(const QString& what, const std::vector<double>& ms, const QString& target = {})
{
    out << what.leftJustified(58) << QString::number(median(ms), 'f', 1).rightJustified(9)
        << QString::number(*std::min_element(ms.begin(), ms.end()), 'f', 1).rightJustified(9)
        << QString::number(*std::max_element(ms.begin(), ms.end()), 'f', 1).rightJustified(9) << "   " << target
        << '\n';
}

}   // namespace

int main(int argc, char* argv[])
{
    headlessUnlessAsked();
    QApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    try {
        std::unique_ptr<QTemporaryDir> temporary;
        const QString folder = largeDatabaseFolder(app.arguments(), temporary);
        const QString path = databasePath(folder);
        addOpenSession(path, OPEN_SESSION_LINES);

        CountingPrompter prompter;
        SystemClock clock;
        FixedScreen screen;
        Platform platform{prompter, clock, screen, folder};
        Form1 sale(platform);
        RawConnection raw(path, derivedKeyFor(path));

        Form7 report(platform);
        report.show();
        QCoreApplication::processEvents();
        const QString month = QStringLiteral("Março");
        const QString year = QStringLiteral("2024");
        const QList<QByteArray> monthRange = {"2024-03-01 00:00:00", "2024-04-01 00:00:00"};
        report.Combo4->setCurrentText(month);
        report.Combo5->setCurrentText(year);
        const QString session = report.Combo1->itemText(report.Combo1->count() / 2);
        report.Combo1->setCurrentText(session);
        const QByteArray sessionStored = toStoredDateTime(*parseDateTime(session)).toUtf8();

        std::vector<double> monthQuery, monthRaw, sessionQuery, sessionRaw, openWindow, openRaw;
        int monthLines = 0, sessionLines = 0, openSales = 0;
        for (int run = 0; run < RUNS; ++run) {
            monthQuery.push_back(timeQuery(report, report.Command3));
            monthLines = report.ListView1->rowCount();
            monthRaw.push_back(timeRaw(raw, [&](const RawConnection& db) {
                stepAll(db, RAW_MONTH_LINES, monthRange);
                stepAll(db, RAW_MONTH_TAKINGS, monthRange);
            }));
            sessionQuery.push_back(timeQuery(report, report.Command1));
            sessionLines = report.ListView1->rowCount();
            sessionRaw.push_back(timeRaw(raw, [&](const RawConnection& db) {
                stepAll(db, RAW_SESSION_LINES, {sessionStored});
                stepAll(db, RAW_SESSION_TAKINGS, {sessionStored});
            }));

            QElapsedTimer timer;
            timer.start();
            {
                Form12 sales(platform);
                sales.show();
                sales.repaint();
                QCoreApplication::processEvents();
                openWindow.push_back(millis(timer));
                openSales = sales.ListView2->rowCount();
            }
            openRaw.push_back(timeRaw(raw, [&](const RawConnection& db) { stepAll(db, RAW_OPEN_SALES, {}); }));
        }

        out << QStringLiteral("Archive in %1\n").arg(path);
        out << QStringLiteral("month query %1 %2: %3 products, %4\n").arg(month, year).arg(monthLines).arg(report.Label7->text());
        out << QStringLiteral("session query %1: %2 products\n").arg(session).arg(sessionLines);
        out << QStringLiteral("open session of %1 lines: %2 sales\n\n").arg(OPEN_SESSION_LINES).arg(openSales);
        out << QString("milliseconds, %1 runs").arg(RUNS).leftJustified(58) << QString("median").rightJustified(9)
            << QString("min").rightJustified(9) << QString("max").rightJustified(9) << "   target\n";
        row(QStringLiteral("month query: click until list and labels painted"), monthQuery, "<= 300");
        row(QStringLiteral("  raw: grouped month lines + month takings"), monthRaw);
        row(QStringLiteral("session query: click until list and labels painted"), sessionQuery, "<= 50");
        row(QStringLiteral("  raw: grouped session lines + session takings"), sessionRaw);
        row(QStringLiteral("sales of the open session: open until painted"), openWindow, "<= 300");
        row(QStringLiteral("  raw: sales grouped with their payment type"), openRaw);
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_takings: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
