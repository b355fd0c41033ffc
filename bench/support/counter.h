#pragma once

#include "common/clock.h"
#include "common/sale_line.h"

#include <QDateTime>

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class Form1;
class QLineEdit;

// A moment that moves on one second per reading, so each sale has its own.
class SteppingClock : public Clock {
public:
    QDateTime now() const override { return moment_ = moment_.addSecs(1); }

private:
    mutable QDateTime moment_ = QDateTime(QDate(2026, 12, 8), QTime(8, 0, 0));
};

// Distinct product codes of a bd1's catalogue, drawn with a fixed seed; the
// catalogue's size is given back too.
QStringList sampleCodes(const QString& path, int count, std::uint64_t seed, qsizetype& catalogueSize);

// Distinct products of a bd1's catalogue as the sale window reads them,
// drawn with a fixed seed.
QList<ProductoLeido> sampleProducts(const QString& path, int count, std::uint64_t seed);

// The scanner types the code and Enter into the box that has the focus.
void scanCode(QLineEdit* box, const QString& code);

// Rings the products up in the sale window, opens the payment dialog and
// clicks "DINHEIRO" without an amount; returns the microseconds from the click
// until the cleared window is painted. Throws when the sale was not recorded.
double timeCashPayment(Form1& form, const QList<ProductoLeido>& products);
