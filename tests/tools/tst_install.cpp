#include "support/test_database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

constexpr int START_TIMEOUT_MS = 20000;

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString readText(const QString& path)
{
    return QString::fromUtf8(readBytes(path));
}

// Starts a program offscreen and tells whether it came up holding its
// database open (the shared-memory file of the engine appears beside bd1 only
// once the start checks have passed and the login window is about to show),
// still running after that. The program is killed before returning.
bool startsAgainst(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                   const QString& dataFolder)
{
    // Left by an earlier start that was killed; no process has it open.
    QFile::remove(QDir(dataFolder).filePath("bd1-shm"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted())
        return false;
    QElapsedTimer timer;
    timer.start();
    bool started = false;
    while (!started && timer.elapsed() < START_TIMEOUT_MS && process.state() == QProcess::Running) {
        QTest::qWait(100);
        started = QFile::exists(QDir(dataFolder).filePath("bd1-shm"));
    }
    QTest::qWait(300);
    started = started && process.state() == QProcess::Running;
    process.kill();
    process.waitForFinished(5000);
    return started;
}

QProcessEnvironment offscreen(const QString& home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("HOME", home);
    environment.remove("XDG_DATA_HOME");
    environment.remove("TENDUCA_DADOS");
    return environment;
}

}   // namespace

class InstallTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString cmake = QStandardPaths::findExecutable("cmake");
        if (cmake.isEmpty())
            QSKIP("cmake is not installed");
        QVERIFY(prefix_.isValid());
        QProcess install;
        install.start(cmake, {"--install", TENDUCA_BUILD_DIR, "--prefix", prefix_.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
    }

    void theFilesGoWhereTheDesktopLooksForThem()
    {
        const QDir prefix(prefix_.path());
        for (const char* program : {"bin/tenduca", "bin/tenduca-db", "bin/tenduca-loja"})
            QVERIFY2(QFileInfo(prefix.filePath(program)).isExecutable(), program);

        const QString entry = readText(prefix.filePath("share/applications/tenduca.desktop"));
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        for (const QString& line : {QStringLiteral("Type=Application"), QStringLiteral("Name=Tenduca 1.0"),
                                    QStringLiteral("Comment=Vendas no balcão, estoque e caixa do dia"),
                                    QStringLiteral("Exec=%1").arg(prefix.filePath("bin/tenduca-loja")),
                                    QStringLiteral("Icon=tenduca"), QStringLiteral("Terminal=false"),
                                    QStringLiteral("Categories=Office;Finance;")})
            QVERIFY2(entry.contains(u'\n' + line + u'\n'), qPrintable(line));

        QXmlStreamReader icon(readText(prefix.filePath("share/icons/hicolor/scalable/apps/tenduca.svg")));
        QVERIFY(icon.readNextStartElement());
        QCOMPARE(icon.name().toString(), QStringLiteral("svg"));
        while (!icon.atEnd())
            icon.readNext();
        QVERIFY2(!icon.hasError(), qPrintable(icon.errorString()));
    }

    void theMenuEntryStartsOnANewDataFolderOfTheUser()
    {
        QTemporaryDir home;
        const QString data = QDir(home.path()).filePath(".local/share/tenduca");
        QVERIFY(startsAgainst(QDir(prefix_.path()).filePath("bin/tenduca-loja"), {}, offscreen(home.path()), data));
        QVERIFY(QFileInfo(QDir(data).filePath("bd1")).isFile());
        QVERIFY(QFile::exists(QDir(data).filePath("tenduca.lock")));
        QVERIFY(!QFile::exists(QDir(prefix_.path()).filePath("bin/bd1")));

        // A second start keeps the database made by the first (its key salt stays).
        const QByteArray before = readBytes(QDir(data).filePath("bd1")).left(16);
        QVERIFY(startsAgainst(QDir(prefix_.path()).filePath("bin/tenduca-loja"), {}, offscreen(home.path()), data));
        QCOMPARE(readBytes(QDir(data).filePath("bd1")).left(16), before);
    }

    // Without a display the starter says so and makes no data folder.
    void theMenuEntryWithoutADisplayMakesNothing()
    {
        QTemporaryDir home;
        QProcessEnvironment environment = offscreen(home.path());
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
            environment.remove(name);
        QProcess starter;
        starter.setProcessEnvironment(environment);
        starter.start(QDir(prefix_.path()).filePath("bin/tenduca-loja"), {});
        QVERIFY(starter.waitForFinished(START_TIMEOUT_MS));

        const QString said = QString::fromUtf8(starter.readAllStandardError());
        QCOMPARE(starter.exitStatus(), QProcess::NormalExit);
        QCOMPARE(starter.exitCode(), 1);
        QVERIFY2(said.startsWith("Tenduca 1.0 não pode abrir suas janelas"), qPrintable(said));
        QVERIFY(!QFile::exists(QDir(home.path()).filePath(".local/share/tenduca")));
    }

    void theInstalledProgramStartsOnTheFolderItIsGiven()
    {
        QTemporaryDir home;
        TestDatabase database;
        QVERIFY(startsAgainst(QDir(prefix_.path()).filePath("bin/tenduca"), {"--pasta-dados", database.folder()},
                              offscreen(home.path()), database.folder()));

        QProcessEnvironment environment = offscreen(home.path());
        environment.insert("TENDUCA_DADOS", database.folder());
        QVERIFY(startsAgainst(QDir(prefix_.path()).filePath("bin/tenduca"), {}, environment, database.folder()));
    }

private:
    QTemporaryDir prefix_;
};

QTEST_GUILESS_MAIN(InstallTest)
#include "tst_install.moc"
