#include "platform/testing/FakeScreenGrab.h"

namespace platform::testing {

QRgb FakeScreenGrab::pixelAt(int x, int y) {
    return qRgb(x & 0xFF, y & 0xFF, 0x80);
}

QImage FakeScreenGrab::grab(const QRect& rect) {
    grabs_.push_back(rect);
    if (rect.isEmpty()) return {};
    QImage out(rect.size(), QImage::Format_RGB32);
    for (int row = 0; row < rect.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(row));
        for (int col = 0; col < rect.width(); ++col) {
            const int x = rect.left() + col;
            const int y = rect.top() + row;
            line[col] = desktop_.contains(x, y) ? pixelAt(x, y) : qRgb(0, 0, 0);
        }
    }
    return out;
}

}  // namespace platform::testing
