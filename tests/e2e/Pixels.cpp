#include "tests/e2e/Pixels.h"

#include <algorithm>
#include <cstdlib>

namespace e2e {

namespace {

template <class Test>
int countPixels(const QImage& image, Test test) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) count += test(line[x]) ? 1 : 0;
    }
    return count;
}

}  // namespace

int pixelsUnlike(const QImage& image, QRgb background, int tolerance) {
    return countPixels(image, [&](QRgb p) {
        return std::abs(qRed(p) - qRed(background)) > tolerance ||
               std::abs(qGreen(p) - qGreen(background)) > tolerance ||
               std::abs(qBlue(p) - qBlue(background)) > tolerance;
    });
}

int colouredPixels(const QImage& image) {
    return countPixels(image, [](QRgb p) {
        const int hi = std::max({qRed(p), qGreen(p), qBlue(p)});
        const int lo = std::min({qRed(p), qGreen(p), qBlue(p)});
        return hi - lo >= 96;
    });
}

}  // namespace e2e
