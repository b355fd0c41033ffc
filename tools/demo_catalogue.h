#pragma once

#include "storetool/database_creator.h"

#include <QList>
#include <QString>

// The check digit that completes the first 12 digits of an EAN-13 code.
QChar ean13CheckDigit(const QString& first12Digits);

// About thirty products of a small Brazilian grocery, a few at or below their critical stock.
QList<NewProduct> demoCatalogue();
