#pragma once
// The screen's pixels in a rectangle of global (desktop) coordinates.
#include <QImage>
#include <QRect>

namespace platform {

class ScreenGrab {
public:
    virtual ~ScreenGrab() = default;
    // Pixels of `rect` in global coordinates; parts off every screen are black.
    virtual QImage grab(const QRect& rect) = 0;
    // The virtual desktop's rectangle, for clipping.
    virtual QRect desktopRect() = 0;
};

ScreenGrab& screenGrab();
void setScreenGrab(ScreenGrab* instance);  // nullptr restores the real one

}  // namespace platform
