#include "tests/e2e/Pixels.h"

#include <algorithm>
#include <cstdlib>

namespace e2e {

int pixelsUnlike(const QImage& image, QRgb background, int tolerance) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            if (std::abs(qRed(p) - qRed(background)) > tolerance ||
                std::abs(qGreen(p) - qGreen(background)) > tolerance ||
                std::abs(qBlue(p) - qBlue(background)) > tolerance)
                ++count;
        }
    }
    return count;
}

int colouredPixels(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = line[x];
            const int hi = std::max({qRed(p), qGreen(p), qBlue(p)});
            const int lo = std::min({qRed(p), qGreen(p), qBlue(p)});
            if (hi - lo >= 96) ++count;
        }
    }
    return count;
}

}  // namespace e2e
