#pragma once

#include <QSize>

// The display size in pixels.
class Screen {
public:
    virtual ~Screen() = default;
    virtual QSize size() const = 0;
};

class DisplayScreen : public Screen {
public:
    QSize size() const override;
};
