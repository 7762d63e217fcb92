#pragma once
// ScreenGrab double: a synthetic desktop whose pixel colour encodes its position
// (red = x mod 256, green = y mod 256, blue = 0x80), so a test can check which part
// of the screen was grabbed. Parts outside the desktop are black, as on a real one.
// Every grab is recorded. Thread: use from one thread.
#include <QImage>
#include <QRect>
#include <vector>

#include "platform/ScreenGrab.h"
#include "platform/testing/ScopedInstall.h"

namespace platform::testing {

class FakeScreenGrab final : public ScreenGrab {
public:
    explicit FakeScreenGrab(QRect desktop = QRect(0, 0, 1920, 1080)) : desktop_(desktop) {}

    QImage grab(const QRect& rect) override;
    QRect desktopRect() override { return desktop_; }

    // The colour the synthetic desktop shows at a global position.
    static QRgb pixelAt(int x, int y);
    const std::vector<QRect>& grabs() const { return grabs_; }

private:
    QRect desktop_;
    std::vector<QRect> grabs_;
};

using InstallScreenGrab = ScopedInstall<ScreenGrab, &screenGrab, &setScreenGrab>;

}  // namespace platform::testing
