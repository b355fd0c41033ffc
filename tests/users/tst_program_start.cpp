#include "common/number_settings.h"
#include "sale/form1.h"
#include "store/connection.h"
#include "support/fake_platform.h"
#include "support/private_server.h"
#include "support/test_database.h"
#include "users/form4.h"
#include "users/instance_lock.h"
#include "users/program_start.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>
#include <sys/file.h>

namespace {

struct Start {
    explicit Start(const QString& folder) : fakes(folder), lock(folder) {}
    std::optional<int> check() { return Comprobar_Inicio(login, lock, fakes.platform); }

    FakePlatform fakes;
    InstanceLock lock;
    Form1 principal{fakes.platform};
    Form4 login{fakes.platform, principal};
};

bool waitFor(const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > 20000)
            return false;
        QTest::qWait(50);
    }
    return true;
}

}   // namespace

class ProgramStartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateServer> server_;

private slots:
    void initTestCase()
    {
        NumberSettings::setCurrent(NumberSettings::brazilian());
        server_ = std::make_unique<PrivateServer>();
    }

    // A till set to work on a shop's server that cannot be used says which
    // server and what failed, and ends; so does one whose settings file shows
    // the server's password to other users.
    void aServerThatCannotBeUsedIsNamedAndTheProgramEnds_data()
    {
        QTest::addColumn<QString>("server");   // "shop", "empty", "no database", "no user", "away"
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("cause");
        QTest::newRow("not answering") << "away" << "" << "o servidor não responde";
        QTest::newRow("no such database") << "no database" << "" << "o banco de dados não existe no servidor";
        QTest::newRow("user refused") << "no user" << "" << "recusou a conexão deste caixa";
        QTest::newRow("not a shop") << "empty" << "" << "não é o de uma loja do Tenduca";
        QTest::newRow("password others can read") << "shop" << " password=segredo" << "guarda a senha do servidor";
        QTest::newRow("a shop") << "shop" << "" << "";
    }

    void aServerThatCannotBeUsedIsNamedAndTheProgramEnds()
    {
        QFETCH(QString, server);
        QFETCH(QString, extra);
        QFETCH(QString, cause);
        if (!server_->unavailable().isEmpty())
            QSKIP(qPrintable("no server of the test's own: " + server_->unavailable()));
        const QString connection = server == "shop"          ? server_->newShop()
                                   : server == "empty"       ? server_->newDatabase()
                                   : server == "no database" ? server_->connectionTo("nada")
                                   : server == "no user"     ? server_->connectionTo("postgres", "ninguem")
                                                             : "host=/tmp/nenhum-servidor port=5432 dbname=loja";
        QTemporaryDir dir;
        server_->makeTill(dir.path(), connection + extra, 2);
        QFile::setPermissions(dir.filePath("tenduca.ini"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                               QFileDevice::ReadGroup | QFileDevice::ReadOther);
        Start start(dir.path());
        const std::optional<int> refused = start.check();
        Connection::release(dir.path());
        if (cause.isEmpty()) {
            QCOMPARE(refused, std::nullopt);
            QVERIFY(start.fakes.prompter.messages.isEmpty());
            return;
        }
        QCOMPARE(refused, std::optional<int>(EXIT_START_REFUSED));
        QCOMPARE(start.fakes.prompter.messages.size(), 1);
        const QString message = start.fakes.prompter.last();
        QVERIFY2(message.contains(cause), qPrintable(message));
        QVERIFY2(message.contains(server == "away" ? "nenhum-servidor" : "banco ") || server == "shop",
                 qPrintable(message));
    }

    void startsWithAUsableDatabase()
    {
        TestDatabase database;
        Start start(database.folder());
        QCOMPARE(start.check(), std::nullopt);
        QVERIFY(start.fakes.prompter.messages.isEmpty());
    }

    void missingDatabaseIsReportedAndNeverCreated()
    {
        QTemporaryDir dir;
        Start start(dir.path());
        QCOMPARE(start.check(), std::optional<int>(EXIT_START_REFUSED));
        QCOMPARE(start.fakes.prompter.messages.size(), 1);
        QCOMPARE(start.fakes.prompter.messages[0].kind, FakePrompter::Kind::Critical);
        const QString message = start.fakes.prompter.last();
        QVERIFY2(message.contains("não foi encontrado"), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(dir.filePath("bd1"))), qPrintable(message));
        QVERIFY(!QFile::exists(dir.filePath("bd1")));
    }

    void databaseUnderAnotherPasswordIsReported()
    {
        QTemporaryDir dir;
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(dir.filePath("bd1")).constData(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr),
                 SQLITE_OK);
        sqlite3_key(db, "outra", 5);
        QCOMPARE(sqlite3_exec(db, "CREATE TABLE Usuarios (NombreUsuario TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        Start start(dir.path());
        QCOMPARE(start.check(), std::optional<int>(EXIT_START_REFUSED));
        QVERIFY2(start.fakes.prompter.last().contains("senha"), qPrintable(start.fakes.prompter.last()));
    }

    void aFolderThatCannotHoldTheLockIsReported()
    {
        QTemporaryDir dir;
        QFile plainFile(dir.filePath("arquivo"));
        QVERIFY(plainFile.open(QIODevice::WriteOnly));
        plainFile.close();
        Start start(dir.filePath("arquivo/pasta"));
        QCOMPARE(start.lock.status(), InstanceLock::Status::FolderNotWritable);
        QCOMPARE(start.check(), std::optional<int>(EXIT_START_REFUSED));
        QCOMPARE(start.fakes.prompter.messages[0].kind, FakePrompter::Kind::Critical);
        QVERIFY(start.fakes.prompter.last().contains("não pode gravar"));
    }

    void aSecondCopyEndsBeforeLookingAtTheDatabase()
    {
        QTemporaryDir dir;
        InstanceLock running(dir.path());
        Start start(dir.path());
        QCOMPARE(start.check(), std::optional<int>(EXIT_START_REFUSED));
        QCOMPARE(start.fakes.prompter.texts(), QStringList{"ERROR : \rO programa já está em execução"});
    }

    // A copy killed (or a machine switched off) between making its lock file
    // and writing itself into it leaves a file that names no owner.
    void aLockFileNamingNoOwner_data()
    {
        QTest::addColumn<bool>("heldByARunningCopy");
        QTest::addColumn<InstanceLock::Status>("expected");
        QTest::newRow("left by a killed copy") << false << InstanceLock::Status::Acquired;
        QTest::newRow("being written by a running copy") << true << InstanceLock::Status::AlreadyRunning;
    }
    void aLockFileNamingNoOwner()
    {
        QFETCH(bool, heldByARunningCopy);
        QFETCH(InstanceLock::Status, expected);
        QTemporaryDir dir;
        QFile empty(dir.filePath("tenduca.lock"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        if (heldByARunningCopy)
            QCOMPARE(flock(empty.handle(), LOCK_EX | LOCK_NB), 0);
        else
            empty.close();
        QCOMPARE(InstanceLock(dir.path()).status(), expected);
    }

    void withoutADisplayTheProgramSaysSoAndEnds_data()
    {
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QString>("why");
        QTest::newRow("no display") << QString() << QString() << QString()
                                    << "nenhuma tela gráfica foi indicada (DISPLAY e WAYLAND_DISPLAY estão vazias)";
        QTest::newRow("a display nobody answers") << ":97" << QString() << QString() << "conectar à tela gráfica \":97\"";
        QTest::newRow("the X platform asked for") << QString() << "xcb" << QString() << "DISPLAY e WAYLAND_DISPLAY";
        QTest::newRow("a Wayland session only")
            << QString() << QString() << "wayland-0"
            << "a sessão Wayland \"wayland-0\" foi encontrada, mas o programa abre suas janelas numa tela X e a "
               "variável DISPLAY está vazia";
    }

    // Before the toolkit starts, which would abort in English with a core
    // dump: a message in Portuguese, exit status 1, nothing made on disk.
    void withoutADisplayTheProgramSaysSoAndEnds()
    {
        QFETCH(QString, display);
        QFETCH(QString, platform);
        QFETCH(QString, wayland);
        QFETCH(QString, why);
        QTemporaryDir dir;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE"})
            environment.remove(name);
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        if (!platform.isEmpty())
            environment.insert("QT_QPA_PLATFORM", platform);
        if (!wayland.isEmpty())
            environment.insert("WAYLAND_DISPLAY", wayland);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(TENDUCA_PROGRAM, {"--pasta-dados", dir.filePath("loja")});
        QVERIFY(program.waitForFinished(20000));

        const QString said = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), EXIT_START_REFUSED);
        QVERIFY2(said.startsWith("Tenduca 1.0 não pode abrir suas janelas: ") && said.contains(why), qPrintable(said));
        QVERIFY2(said.contains("Inicie o programa pelo menu"), qPrintable(said));
        QVERIFY(!QFile::exists(dir.filePath("loja")));
    }

    // A real copy of the program holds the lock while it runs; killed, it
    // leaves the lock file behind, and that must not block the next start.
    void aKilledCopyDoesNotBlockTheNextStart()
    {
        QTemporaryDir dir;
        createDatabase(dir.path());
        const QString program = dir.filePath("tenduca");
        QVERIFY(QFile::copy(TENDUCA_PROGRAM, program));

        QProcess copy;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        copy.setProcessEnvironment(environment);
        copy.start(program, {});
        QVERIFY(copy.waitForStarted());
        const QString lockFile = dir.filePath("tenduca.lock");
        QVERIFY2(waitFor([&] { return QFile::exists(lockFile); }), "the program never took its lock");
        QCOMPARE(InstanceLock(dir.path()).status(), InstanceLock::Status::AlreadyRunning);

        copy.kill();
        QVERIFY(copy.waitForFinished());
        QVERIFY(QFile::exists(lockFile));
        QCOMPARE(InstanceLock(dir.path()).status(), InstanceLock::Status::Acquired);
    }
};

QTEST_MAIN(ProgramStartTest)
#include "tst_program_start.moc"
