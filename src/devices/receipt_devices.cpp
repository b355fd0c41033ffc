#include "devices/receipt_devices.h"

#include "devices/cups_receipt_printer.h"

// The drawer hangs on the receipt printer: the named queue, or the default printer.
ReceiptDevices::ReceiptDevices(const PrinterSettings& settings) : queue_(settings.queue)
{
    if (settings.mode == PrinterSettings::Mode::EscPos)
        printer_ = std::make_unique<EscPosReceiptPrinter>(queue_, settings.columns);
    else
        printer_ = std::make_unique<CupsReceiptPrinter>();
    if (settings.openDrawer)
        drawer_ = std::make_unique<EscPosCashDrawer>(queue_);
}
