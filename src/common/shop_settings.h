#pragma once

#include <QString>

// Which database this till works on, from the settings file beside bd1.
struct ShopSettings {
    // A libpq connection string or URI of the shop's database server; empty:
    // this till works on bd1 alone.
    QString server;
    // This till's number in the shop, 1 to 99 (1 with bd1 alone).
    int till = 1;
};

struct ShopSettingsRead {
    ShopSettings settings;
    // What was wrong in the file and which value is used instead, in words
    // for the shop; empty when all was well.
    QString problems;
    // Why the program must not start with this file: a server's password
    // written in a file other users can read. Empty when it may.
    QString refusal;
};

inline constexpr int MOST_TILLS = 99;

// Reads the "[loja]" section of the settings file in the folder; a missing
// file or value takes its default (bd1 alone, till 1).
ShopSettingsRead Ler_Configuracao_Loja(const QString& folder);
