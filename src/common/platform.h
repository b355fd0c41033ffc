#pragma once

#include "common/cash_drawer.h"
#include "common/clock.h"
#include "common/pix_settings.h"
#include "common/prompter.h"
#include "common/receipt_printer.h"
#include "common/scale_label.h"
#include "common/screen.h"
#include "common/spreadsheet.h"

#include <QString>

// The outside world as the windows see it: built once in main() and handed to
// each window; tests hand in fakes.
struct Platform {
    Prompter& prompter;
    Clock& clock;
    Screen& screen;
    QString folder;   // the program's folder, where bd1 lives
    ReceiptPrinter* printer = nullptr;   // the default printer; none: receipts fail with a message
    Spreadsheet* spreadsheet = nullptr;
    CashDrawer* drawer = nullptr;   // none: cash payments open no drawer
    PixSettings pix = {};           // no key: the payment dialog offers no Pix
    ScaleSettings scale = {};       // no format: the counter reads no scale labels
    int till = 1;                   // this till's number in the shop
};
