#include "AciColors.h"

#include <array>
#include <cmath>

namespace dwgviewx::render {
namespace {

std::uint32_t pack(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

// HSV to RGB with every channel rounded down, as the table is built.
std::uint32_t hsvFloor(double hueDeg, double sat, double value) {
    const double c = value * sat;
    const double h = std::fmod(hueDeg, 360.0) / 60.0;
    const double x = c * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h)) {
        case 0:
            r = c, g = x;
            break;
        case 1:
            r = x, g = c;
            break;
        case 2:
            g = c, b = x;
            break;
        case 3:
            g = x, b = c;
            break;
        case 4:
            r = x, b = c;
            break;
        default:
            r = c, b = x;
            break;
    }
    const double m = value - c;
    auto ch = [](double v) { return static_cast<int>(std::floor(v * 255.0 + 1e-9)); };
    return pack(ch(r + m), ch(g + m), ch(b + m));
}

std::array<std::uint32_t, 256> buildTable() {
    std::array<std::uint32_t, 256> t{};
    const std::uint32_t standard[10] = {0xFFFFFF, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF,
                                        0x0000FF, 0xFF00FF, 0xFFFFFF, 0x808080, 0xC0C0C0};
    for (int i = 0; i < 10; ++i) t[i] = standard[i];
    const double levels[5] = {1.0, 0.65, 0.5, 0.3, 0.15};
    for (int i = 10; i < 250; ++i) {
        const double hue = 15.0 * ((i - 10) / 10);
        const int inGroup = (i - 10) % 10;
        const double value = levels[inGroup / 2];
        const double sat = (inGroup % 2 == 0) ? 1.0 : 0.5;
        t[i] = hsvFloor(hue, sat, value);
    }
    const int greys[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i) t[250 + i] = pack(greys[i], greys[i], greys[i]);
    return t;
}

}  // namespace

std::uint32_t aciToRgb(int index) {
    static const std::array<std::uint32_t, 256> table = buildTable();
    if (index < 1 || index > 255) return 0xFFFFFF;
    return table[static_cast<std::size_t>(index)];
}

}  // namespace dwgviewx::render
