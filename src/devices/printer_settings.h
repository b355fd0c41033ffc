#pragma once

#include "devices/escpos_receipt_printer.h"

#include <QString>
#include <QStringList>

// How this installation prints its receipts, from the settings file beside bd1.
struct PrinterSettings {
    enum class Mode {
        Page,     // a page on the system's default printer
        EscPos,   // the roll printer's own commands, raw to a named queue
    };
    Mode mode = Mode::Page;
    QString queue;          // the receipt printer's queue; empty: the default printer
    RollColumns columns;
    bool openDrawer = false;   // a cash payment opens the drawer on the receipt printer
};

struct PrinterSettingsRead {
    PrinterSettings settings;
    // What was wrong in the file and which value is used instead, in words
    // for the shop; empty when all was well.
    QString problems;
};

// Reads the settings file in the folder, writing it with the default values
// (and notes on each) when it is missing. A value that is not valid is
// reported and its default used; a missing one takes its default silently.
PrinterSettingsRead Ler_Configuracao_Impressao(const QString& folder);
