#pragma once

#include "common/cash_drawer.h"

class RawPrintQueue;

// Sends the drawer pulse, as a job of its own, to the receipt printer's queue.
class EscPosCashDrawer : public CashDrawer {
public:
    explicit EscPosCashDrawer(RawPrintQueue& queue) : queue_(queue) {}
    void open() override;

private:
    RawPrintQueue& queue_;
};
