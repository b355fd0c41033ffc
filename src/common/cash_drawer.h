#pragma once

class RawPrintQueue;

// The cash drawer that hangs on the receipt printer and opens on a pulse.
class CashDrawer {
public:
    virtual ~CashDrawer() = default;
    // Throws PrintError when the printer cannot take the pulse.
    virtual void open() = 0;
};

// Sends the drawer pulse, as a job of its own, to the receipt printer's queue.
class EscPosCashDrawer : public CashDrawer {
public:
    explicit EscPosCashDrawer(RawPrintQueue& queue) : queue_(queue) {}
    void open() override;

private:
    RawPrintQueue& queue_;
};
