#pragma once

#include <QString>

#include <vector>

class SeededRandom;

inline constexpr int PRODUCT_NAME_MAX_LENGTH = 40;

struct GeneratedProduct {
    QString code;   // 13 digits with a valid EAN-13 check digit
    QString name;   // unique, at most PRODUCT_NAME_MAX_LENGTH characters
    QString category;
    double quantity = 0;
    double costPrice = 0;
    double salePrice = 0;
    int criticalStock = 0;
    bool soldByWeight = false;   // fractional quantities (kilograms)
    bool partOfOffer = false;
};

// A catalogue of count products of a Brazilian grocery shop in a dozen
// categories, with unique codes and unique names, in no particular order.
std::vector<GeneratedProduct> generateProducts(int count, SeededRandom& random);

// The EAN-13 check digit of the first twelve digits of a code.
int ean13CheckDigit(const QString& firstTwelveDigits);
