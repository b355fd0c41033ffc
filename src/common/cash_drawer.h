#pragma once

// The cash drawer that hangs on the receipt printer and opens on a pulse.
class CashDrawer {
public:
    virtual ~CashDrawer() = default;
    // Throws PrintError when the printer cannot take the pulse.
    virtual void open() = 0;
};
