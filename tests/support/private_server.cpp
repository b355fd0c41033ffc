#include "support/private_server.h"

#include "common/settings_file.h"
#include "storetool/server_shop.h"

#include <libpq-fe.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr int PORT = 5432;
const QString SERVER_USER = QStringLiteral("postgres");

// The newest server installed from the distribution's packages.
QString serverPrograms()
{
    const QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(found.begin(), found.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
    for (auto version = found.crbegin(); version != found.crend(); ++version) {
        const QString bin = versions.filePath(*version + QStringLiteral("/bin"));
        if (QFile::exists(bin + QStringLiteral("/initdb")))
            return bin;
    }
    return {};
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

}   // namespace

PrivateServer::PrivateServer()
{
    bin_ = serverPrograms();
    if (bin_.isEmpty()) {
        unavailable_ = QStringLiteral("the PostgreSQL server is not installed (scripts/install-deps.sh installs the "
                                      "postgresql package)");
        return;
    }
    if (!dir_.isValid()) {
        unavailable_ = QStringLiteral("no temporary folder for the server");
        return;
    }
    dir_.setAutoRemove(false);   // the watcher removes it once the server has stopped
    startWatcher();              // before anything is made: no moment leaves the server unwatched
    if (runningAsRoot()) {
        const passwd* user = ::getpwnam(SERVER_USER.toLatin1().constData());
        if (!user || ::chown(QFile::encodeName(dir_.path()).constData(), user->pw_uid, user->pw_gid) != 0) {
            unavailable_ = QStringLiteral("the user postgres, who runs the server when the tests run as root, is "
                                          "missing");
            return;
        }
    }
    const QString data = dir_.filePath(QStringLiteral("data"));
    QString output;
    if (!runAsServerUser({bin_ + "/initdb", "-D", data, "-A", "trust", "-U", SERVER_USER, "-E", "UTF8",
                          "--locale=C.UTF-8", "--no-sync"},
                         &output)) {
        unavailable_ = QStringLiteral("initdb failed: %1").arg(output);
        return;
    }
    if (!start()) {
        QFile log(dir_.filePath("log"));
        log.open(QIODevice::ReadOnly);
        unavailable_ = QStringLiteral("the server did not start: %1").arg(QString::fromLocal8Bit(log.readAll()));
    }
}

bool PrivateServer::start()
{
    const QString options = QStringLiteral("-k %1 -c listen_addresses='' -p %2 -c fsync=off -c max_connections=50")
                                .arg(dir_.path())
                                .arg(PORT);
    running_ = runAsServerUser(
        {bin_ + "/pg_ctl", "-D", dir_.filePath("data"), "-o", options, "-l", dir_.filePath("log"), "-w", "start"});
    return running_;
}

bool PrivateServer::stop()
{
    const bool stopped = runAsServerUser({bin_ + "/pg_ctl", "-D", dir_.filePath("data"), "-m", "fast", "-w", "stop"});
    running_ = !stopped;
    return stopped;
}

PrivateServer::~PrivateServer()
{
    if (running_)
        stop();
    if (watcher_ >= 0)
        ::close(watcher_);
    else
        dir_.remove();
}

bool PrivateServer::runAsServerUser(const QStringList& command, QString* output) const
{
    QStringList full = command;
    if (runningAsRoot())
        full = QStringList{"runuser", "-u", SERVER_USER, "--"} + command;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(dir_.path());
    process.start(full.first(), full.mid(1));
    const bool done = process.waitForFinished(120'000) && process.exitStatus() == QProcess::NormalExit &&
                      process.exitCode() == 0;
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return done;
}

// A process of its own session that waits on a pipe only this process holds:
// when the test ends, however it ends, the pipe closes and the watcher stops
// the server and removes its folder.
void PrivateServer::startWatcher()
{
    QString stop = QStringLiteral("'%1/pg_ctl' -D '%2' -m immediate -w stop").arg(bin_, dir_.filePath("data"));
    if (runningAsRoot())
        stop = QStringLiteral("runuser -u %1 -- ").arg(SERVER_USER) + stop;
    const QByteArray script =
        QStringLiteral("read _; %1 >/dev/null 2>&1; rm -rf '%2'").arg(stop, dir_.path()).toLocal8Bit();
    int ends[2];
    if (::pipe(ends) != 0)
        return;
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        ::dup2(ends[0], STDIN_FILENO);
        ::close(ends[0]);
        ::close(ends[1]);
        ::execl("/bin/sh", "sh", "-c", script.constData(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[0]);
    if (child < 0) {
        ::close(ends[1]);
        return;
    }
    ::fcntl(ends[1], F_SETFD, FD_CLOEXEC);
    watcher_ = ends[1];
}

QString PrivateServer::connectionTo(const QString& database, const QString& user) const
{
    return QStringLiteral("host=%1 port=%2 user=%3 dbname=%4").arg(dir_.path()).arg(PORT).arg(user, database);
}

QString PrivateServer::newDatabase()
{
    const QString name = QStringLiteral("loja_%1").arg(++databases_);
    PGconn* server = PQconnectdb(connectionTo(QStringLiteral("postgres")).toUtf8().constData());
    PGresult* created = PQexec(server, ("create database " + name).toUtf8().constData());
    const bool done = PQresultStatus(created) == PGRES_COMMAND_OK;
    if (!done)
        qWarning("create database failed: %s", PQerrorMessage(server));
    PQclear(created);
    PQfinish(server);
    return connectionTo(name);
}

QString PrivateServer::newShop()
{
    const QString connection = newDatabase();
    createServerShop(connection);
    return connection;
}

void PrivateServer::makeTill(const QString& folder, const QString& connection, int till) const
{
    QSettings settings(settingsPath(folder), QSettings::IniFormat);
    settings.setValue(QStringLiteral("loja/servidor"), connection);
    settings.setValue(QStringLiteral("loja/caixa"), till);
    settings.sync();
}
