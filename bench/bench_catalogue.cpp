// Measures product maintenance and the product picker on a large catalogue:
//   bench_catalogue [FOLDER]
// Opening the maintenance window until its list is painted, a lookup by
// code, a save of a changed product, and one key release in the picker with
// a three-letter search until its list is painted, each beside the raw
// statements of the same work. Without FOLDER a database of 100 000 products
// is generated in a temporary folder; a FOLDER without bd1 gets one kept for later runs.

#include "catalogue/form2.h"
#include "common/clock.h"
#include "common/number_settings.h"
#include "common/platform.h"
#include "common/report_list.h"
#include "dialogs/form10.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "store/keys.h"
#include "support/large_database.h"
#include "support/measurements.h"
#include "support/raw_sqlite.h"
#include "support/seeded_random.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

constexpr int OPENINGS = 5;
constexpr int LOOKUPS = 200;
constexpr int SAVES = 20;
constexpr std::uint64_t SAMPLE_SEED = 23;
const QStringList SEARCHES = {"arr", "fei", "lei", "caf", "sab", "ão ", "int", "xyz"};

QTextStream out(stdout);

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double worst(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

void row(const QString& what, const std::vector<double>& micros)
{
    out << what.leftJustified(58) << QString::number(median(micros) / 1000, 'f', 2).rightJustified(10)
        << QString::number(worst(micros) / 1000, 'f', 2).rightJustified(10) << '\n';
}

QStringList sampleCodes(const RawConnection& raw, int count)
{
    RawStatement statement(raw, "select CodigoProducto from Productos");
    QStringList all;
    while (statement.step())
        all.append(statement.text(0));
    SeededRandom random(SAMPLE_SEED);
    QStringList chosen;
    for (int i = 0; i < count; ++i)
        chosen.append(all.at(random.below(static_cast<int>(all.size()))));
    return chosen;
}

void paint(QWidget* widget)
{
    widget->repaint();
    QCoreApplication::processEvents();
}

// Steps a statement to its end reading every column as text.
int readAll(RawStatement& statement)
{
    int rows = 0;
    while (statement.step()) {
        for (int c = 0; c < statement.columnCount(); ++c)
            statement.text(c);
        ++rows;
    }
    statement.reset();
    return rows;
}

void typeKey(QWidget* box, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key(c.toUpper().unicode()), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key(c.toUpper().unicode()), Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(box, &release);
}

}   // namespace

int main(int argc, char* argv[])
{
    headlessUnlessAsked();
    QApplication app(argc, argv);
    NumberSettings::setCurrent(NumberSettings::brazilian());
    try {
        std::unique_ptr<QTemporaryDir> temporary;
        const QString folder = catalogueDatabaseFolder(app.arguments(), temporary);
        const QString path = databasePath(folder);

        CountingPrompter prompter;
        SystemClock clock;
        FixedScreen screen;
        Platform platform{prompter, clock, screen, folder};
        Form1 sale(platform);
        RawConnection raw(path, derivedKeyFor(path));
        const QStringList codes = sampleCodes(raw, LOOKUPS);
        QElapsedTimer timer;

        std::vector<double> openings, rawListings, rawIds;
        RawStatement listing(raw, "select * from Productos order by NombreProducto");
        RawStatement ids(raw, "select rowid from Productos order by NombreProducto, rowid");
        int listed = 0;
        for (int i = 0; i < OPENINGS; ++i) {
            timer.start();
            auto* form = new Form2(platform);
            form->show();
            paint(form->ListView1->viewport());
            openings.push_back(timer.nsecsElapsed() / 1000.0);
            listed = form->ListView1->rowCount();
            delete form;

            timer.start();
            readAll(listing);
            rawListings.push_back(timer.nsecsElapsed() / 1000.0);

            timer.start();
            readAll(ids);
            rawIds.push_back(timer.nsecsElapsed() / 1000.0);
        }

        Form2 form(platform);
        form.show();
        QCoreApplication::processEvents();
        const double memoryOpen = peakMemoryMb();
        std::vector<double> lookups, rawLookups;
        RawStatement byCode(raw, "select * from Productos where CodigoProducto = ? order by NombreProducto");
        RawStatement categories(raw, "select Categoria from Productos Group by Categoria");
        for (const QString& code : codes) {
            form.Text1->setText(code);
            timer.start();
            form.Buscar_Producto();
            lookups.push_back(timer.nsecsElapsed() / 1000.0);

            timer.start();
            readAll(categories);
            byCode.bindText(1, code.toUtf8());
            readAll(byCode);
            rawLookups.push_back(timer.nsecsElapsed() / 1000.0);
        }

        // Saves with nothing else writing, as at the shop; then the same rows by
        // raw statements; then saves each after another program changed a
        // product, when the window lists the catalogue again.
        std::vector<double> saves, rawSaves, savesAfterOthers;
        RawStatement byName(raw, "select CodigoProducto from Productos where NombreProducto = ?");
        RawStatement change(raw, "update Productos set NombreProducto = ?, Cantidad = ?, PrecioCosto = ?, "
                                 "PrecioVenta = ?, StockCritico = ?, Categoria = ? where CodigoProducto = ?");
        const auto save = [&](int i) {
            form.Text1->setText(codes.at(i));
            form.Buscar_Producto();
            form.Text3->setText(QString::number(10 + i));
            timer.start();
            form.Command3_Click();
            paint(form.ListView1->viewport());
            return timer.nsecsElapsed() / 1000.0;
        };
        for (int i = 0; i < SAVES; ++i)
            saves.push_back(save(i));
        for (int i = 0; i < SAVES; ++i) {
            form.Text1->setText(codes.at(i));
            form.Buscar_Producto();
            const QString name = form.Text2->text();
            timer.start();
            byName.bindText(1, name.toUtf8());
            readAll(byName);
            change.bindText(1, name.toUtf8()).bindNumber(2, 10 + i).bindNumber(3, 1).bindNumber(4, 2);
            change.bindWhole(5, 0).bindText(6, "Geral").bindText(7, codes.at(i).toUtf8());
            change.run();
            rawSaves.push_back(timer.nsecsElapsed() / 1000.0);
        }
        for (int i = 0; i < SAVES / 4; ++i) {
            raw.execute("update Productos set Cantidad = Cantidad + 1 where rowid = 1");
            savesAfterOthers.push_back(save(i));
        }

        std::vector<double> keys, searches, rawSearches;
        RawStatement search(raw, "select * from Productos where NombreProducto like '%' || ? || '%'");
        Form10 picker(platform, {});
        picker.show();
        QCoreApplication::processEvents();
        int found = 0;
        for (const QString& text : SEARCHES) {
            picker.Text1->setText(text.left(2));
            timer.start();
            typeKey(picker.Text1, text.at(2));
            paint(picker.Text1);
            keys.push_back(timer.nsecsElapsed() / 1000.0);
            // The refresh that follows the pause in typing, until the list is painted.
            timer.start();
            picker.buscarPendiente();
            paint(picker.List1->viewport());
            searches.push_back(timer.nsecsElapsed() / 1000.0);
            found += picker.List1->model()->rowCount();

            timer.start();
            search.bindText(1, text.toUtf8());
            readAll(search);
            rawSearches.push_back(timer.nsecsElapsed() / 1000.0);
        }

        out << QStringLiteral("Catalogue of %1 products in %2\n\n").arg(listed).arg(path);
        out << QString("milliseconds").leftJustified(58) << QString("median").rightJustified(10)
            << QString("max").rightJustified(10) << '\n';
        row(QStringLiteral("maintenance opened until its list is painted"), openings);
        row(QStringLiteral("  raw: name-ordered listing read as text"), rawListings);
        row(QStringLiteral("  raw: name-ordered row ids (the names' index alone)"), rawIds);
        row(QStringLiteral("lookup by code (categories, product, boxes)"), lookups);
        row(QStringLiteral("  raw: category grouping + product by code"), rawLookups);
        row(QStringLiteral("save of a changed product, list painted"), saves);
        row(QStringLiteral("  raw: name check + update"), rawSaves);
        row(QStringLiteral("save after another program wrote (list read again)"), savesAfterOthers);
        row(QStringLiteral("picker key release, 3rd letter, box painted"), keys);
        row(QStringLiteral("picker refresh after the typing pause, list painted"), searches);
        row(QStringLiteral("  raw: engine's own like, rows read as text"), rawSearches);
        out << QStringLiteral("%1 names listed over %2 searches\n").arg(found).arg(SEARCHES.size());
        out << QStringLiteral("peak memory with maintenance open (VmHWM): %1 MB; after the picker: %2 MB\n")
                   .arg(memoryOpen, 0, 'f', 0)
                   .arg(peakMemoryMb(), 0, 'f', 0);
        if (prompter.count > 0)
            out << QStringLiteral("WARNING: %1 messages, the last: %2\n").arg(prompter.count).arg(prompter.last);
    } catch (const std::exception& error) {
        QTextStream(stderr) << "bench_catalogue: " << QString::fromUtf8(error.what()) << '\n';
        return 1;
    }
    return 0;
}
