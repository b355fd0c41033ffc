#pragma once

#include "devices/escpos_cash_drawer.h"
#include "devices/printer_settings.h"
#include "devices/raw_print_queue.h"

#include <memory>

// The receipt printer and the cash drawer the settings choose, built once
// for the whole run.
class ReceiptDevices {
public:
    explicit ReceiptDevices(const PrinterSettings& settings);

    ReceiptPrinter* printer() const { return printer_.get(); }
    // None when cash payments are not to open the drawer.
    CashDrawer* drawer() const { return drawer_.get(); }

private:
    CupsRawQueue queue_;
    std::unique_ptr<ReceiptPrinter> printer_;
    std::unique_ptr<CashDrawer> drawer_;
};
