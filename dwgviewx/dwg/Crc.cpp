#include "dwgviewx/dwg/Crc.h"

#include <array>

namespace dwg {

namespace {

// The tables of the reflected 0x8005 polynomial, built at compile time: the first is
// the classic byte table, table k advances a byte's effect by k more bytes, so eight
// bytes are folded in per step (objects and pages are checked in full on every load).
using Tables = std::array<std::array<std::uint16_t, 256>, 8>;

constexpr Tables makeTables() {
    Tables t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned v = i;
        for (int b = 0; b < 8; ++b) v = (v & 1) ? (v >> 1) ^ 0xA001u : v >> 1;
        t[0][i] = static_cast<std::uint16_t>(v);
    }
    for (unsigned k = 1; k < 8; ++k) {
        for (unsigned i = 0; i < 256; ++i) {
            const unsigned prev = t[k - 1][i];
            t[k][i] = static_cast<std::uint16_t>((prev >> 8) ^ t[0][prev & 0xFF]);
        }
    }
    return t;
}

constexpr Tables kTables = makeTables();
static_assert(kTables[0][1] == 0xC0C1 && kTables[0][255] == 0x4040);

}  // namespace

std::uint16_t crc16(std::uint16_t seed, const std::uint8_t* p, std::size_t n) {
    unsigned dx = seed;
    const auto& t = kTables;
    for (; n >= 8; n -= 8, p += 8) {
        const unsigned lo = (p[0] | (p[1] << 8)) ^ dx;
        dx = t[7][lo & 0xFF] ^ t[6][lo >> 8] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^
             t[1][p[6]] ^ t[0][p[7]];
    }
    while (n-- > 0) {
        const unsigned al = (*p++ ^ dx) & 0xFF;
        dx = (dx >> 8) ^ t[0][al];
    }
    return static_cast<std::uint16_t>(dx);
}

}  // namespace dwg
