#include "dwgviewx/dwg/Crc.h"

#include <array>

namespace dwg {

namespace {

// The table of the reflected 0x8005 polynomial, built at compile time.
constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned v = i;
        for (int b = 0; b < 8; ++b) v = (v & 1) ? (v >> 1) ^ 0xA001u : v >> 1;
        t[i] = static_cast<std::uint16_t>(v);
    }
    return t;
}

constexpr auto kTable = makeTable();
static_assert(kTable[1] == 0xC0C1 && kTable[255] == 0x4040);

}  // namespace

std::uint16_t crc16(std::uint16_t seed, const std::uint8_t* p, std::size_t n) {
    unsigned dx = seed;
    while (n-- > 0) {
        const unsigned al = (*p++ ^ dx) & 0xFF;
        dx = (dx >> 8) ^ kTable[al];
    }
    return static_cast<std::uint16_t>(dx);
}

}  // namespace dwg
