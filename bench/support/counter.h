#pragma once

#include "common/sale_line.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class QLineEdit;

// Distinct product codes of a bd1's catalogue, drawn with a fixed seed; the
// catalogue's size is given back too.
QStringList sampleCodes(const QString& path, int count, std::uint64_t seed, qsizetype& catalogueSize);

// Distinct products of a bd1's catalogue as the sale window reads them,
// drawn with a fixed seed.
QList<ProductoLeido> sampleProducts(const QString& path, int count, std::uint64_t seed);

// The scanner types the code and Enter into the box that has the focus.
void scanCode(QLineEdit* box, const QString& code);
