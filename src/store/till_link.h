#pragma once

#include <QString>

#include <functional>
#include <memory>

class Connection;
class Engine;

// A till's own connections to its shop's server and to its own bd1, for a
// thread of its own (the sender of its waiting sales): the program's held
// connections belong to the window thread. Each is made when first needed
// and made again after it failed.
class TillLink {
public:
    // A folder whose settings name a shop's server.
    explicit TillLink(const QString& folder);
    ~TillLink();
    TillLink(const TillLink&) = delete;
    TillLink& operator=(const TillLink&) = delete;

    // Runs work on a lease of the till's own bd1.
    void onTillFile(const std::function<void(Connection&)>& work);
    // Makes sure the shop's server answers now, on a new connection when the
    // one held broke (the server was restarted); ServerAway when it does not.
    void reachServer();
    // Brings the till's copy of the catalogue and the users up to date with
    // the server (only what changed, in one transaction on the copy);
    // ServerAway when the server does not answer.
    void refreshCopy();
    // Runs work on a lease of the shop's server; a server that does not
    // answer is a ServerAway.
    void onServer(const std::function<void(Connection&)>& work);

private:
    void use(std::unique_ptr<Engine>& engine, const std::function<void(Connection&)>& work);

    QString path_;
    QString server_;
    int till_ = 0;
    std::unique_ptr<Engine> tillFile_;
    std::unique_ptr<Engine> serverEngine_;
};
