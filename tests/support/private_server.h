#pragma once

#include <QString>
#include <QTemporaryDir>

// A PostgreSQL server of the test's own: a new cluster in a temporary folder,
// listening only on a socket in that folder, run as the user "postgres" when
// the tests run as root. It stops when this object goes, and, through a
// watcher process of its own, when the test process ends in any other way.
class PrivateServer {
public:
    PrivateServer();
    ~PrivateServer();
    PrivateServer(const PrivateServer&) = delete;
    PrivateServer& operator=(const PrivateServer&) = delete;

    // Empty when the server runs; otherwise why it could not be started.
    const QString& unavailable() const { return unavailable_; }

    // A new, empty database and its libpq connection string.
    QString newDatabase();
    // The connection string of a database of this server, as a user.
    QString connectionTo(const QString& database, const QString& user = QStringLiteral("postgres")) const;
    // A new database holding a shop, as "tenduca-db servidor criar" makes it.
    QString newShop();
    // A folder whose settings make a till of number till work on the shop.
    void makeTill(const QString& folder, const QString& connection, int till) const;

    // The server away and back, as when it is restarted.
    bool stop();
    bool start();

private:
    bool runAsServerUser(const QStringList& command, QString* output = nullptr) const;
    void startWatcher();

    QTemporaryDir dir_;
    QString bin_;
    QString unavailable_;
    int databases_ = 0;
    int watcher_ = -1;   // the write end of the watcher's pipe
    bool running_ = false;
};
