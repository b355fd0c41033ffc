#include "common/cash_drawer.h"

#include "common/escpos_text.h"
#include "common/raw_print_queue.h"

void EscPosCashDrawer::open()
{
    queue_.send(EscPos::INITIALIZE + EscPos::DRAWER_PULSE, QStringLiteral("Gaveta"));
}
