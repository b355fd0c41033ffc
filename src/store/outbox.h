#pragma once

#include "common/venta_actual.h"

#include <QString>

#include <optional>

class Connection;

// A till's outbox, in its own bd1 (leased with Connection::Place::TillFile):
// the sales it could not store on the shop's server, each whole (its lines
// as charged, payment, total, user, session start and moment) under the id
// the till gave it, oldest first, until the server acknowledges them.

// A new sale id: never the same on two tills or in two runs.
QString newSaleId();

struct SaleWaiting {
    QString id;
    VentaRegistrada sale;
};

// Keeps a sale for the server, inside the caller's unit of work on the till's bd1.
void keepForServer(Connection& tillFile, const QString& id, const VentaRegistrada& sale);
qint64 salesWaiting(Connection& tillFile);
std::optional<SaleWaiting> oldestSaleWaiting(Connection& tillFile);
// The session start of the oldest sale waiting: the till's open session.
std::optional<QString> waitingSessionStart(Connection& tillFile);
// The server acknowledged the sale: it leaves the outbox (inside the caller's unit of work).
void removeSent(Connection& tillFile, const QString& id);

// Notes, inside the caller's unit of work on a shop's server, that the sale
// of this id arrived: false when it had arrived before (the sale is stored;
// nothing is to be applied again). A till alone keeps no ids: always true.
bool firstArrival(Connection& connection, const QString& saleId);
