#pragma once

#include <QString>

// The shop's Pix receiver, from the "[pix]" section of the settings file
// beside bd1. Pix is offered only when the key is set.
struct PixSettings {
    QString key;    // as it goes into the payment code; empty: Pix off
    QString name;   // the receiver's name and city as the shop wrote them,
    QString city;   // accents and all (the payment code drops the accents)

    bool enabled() const { return !key.isEmpty(); }
};

struct PixSettingsRead {
    PixSettings settings;
    // What was wrong in the "[pix]" section, in words for the shop, ending
    // with Pix being off until it is mended; empty when all was well.
    QString problems;
};

// A Pix key as the shop wrote it, checked. The kinds of key and how each is
// written into the payment code:
// - CPF (11 digits) or CNPJ (14 digits), their check digits right; points,
//   dashes and slashes between the digits are dropped;
// - e-mail: one "@", a domain with a dot, at most 77 characters; lower case;
// - phone: "+55", the area code and the number (10 or 11 digits); spaces,
//   dashes and brackets are dropped;
// - random key: 8-4-4-4-12 hexadecimal digits; lower case.
struct PixKeyRead {
    QString key;       // as it goes into the payment code; empty when not valid
    QString problem;   // why it cannot be a key, in words for the shop; empty when valid
};
PixKeyRead readPixKey(const QString& text);

// Reads the "[pix]" section of the settings file in the folder. A missing
// file or an empty key: Pix off, no problem. A key that is not valid, or a
// name or city that is empty or longer than the payment code takes (counted
// without accents): Pix off, and the problems.
PixSettingsRead Ler_Configuracao_Pix(const QString& folder);
