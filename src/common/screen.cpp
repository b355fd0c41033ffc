#include "common/screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
const QSize FALLBACK_SIZE(1024, 768);
}

QSize DisplayScreen::size() const
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr || primary->size().isEmpty())
        return FALLBACK_SIZE;
    return primary->size();
}
