#include "devices/escpos_cash_drawer.h"

#include "devices/escpos_text.h"
#include "devices/raw_print_queue.h"

void EscPosCashDrawer::open()
{
    queue_.send(EscPos::INITIALIZE + EscPos::DRAWER_PULSE, QStringLiteral("Gaveta"));
}
