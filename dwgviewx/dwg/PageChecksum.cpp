#include "PageChecksum.h"

#include <algorithm>
#include <array>

namespace dwg::checksum {
namespace {

constexpr std::uint32_t kModulus = 0xFFF1;
constexpr std::size_t kChunk = 0x15B0;  // the sums cannot overflow within one chunk

constexpr std::array<std::uint32_t, 256> makeCrc32Table() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrc32Table = makeCrc32Table();

struct Sums {
    std::uint32_t a;
    std::uint32_t b;
    void add(std::uint8_t byte) {
        a += byte;
        b += a;
    }
    void add2(const std::uint8_t* p) {
        add(p[0]);
        add(p[1]);
    }
};

// The tail of an R2007 chunk (fewer than 8 bytes) keeps its own order of pieces.
void addTail2007(Sums& s, const std::uint8_t* p, std::size_t n) {
    switch (n) {
        case 1:
            s.add(p[0]);
            break;
        case 2:
            s.add2(p);
            break;
        case 3:
            s.add2(p);
            s.add(p[2]);
            break;
        case 4:
            s.add2(p + 2);
            s.add2(p);
            break;
        case 5:
            s.add2(p + 2);
            s.add2(p);
            s.add(p[4]);
            break;
        case 6:
            s.add2(p + 2);
            s.add2(p);
            s.add2(p + 4);
            break;
        case 7:
            s.add2(p + 2);
            s.add2(p);
            s.add2(p + 4);
            s.add(p[6]);
            break;
        default:
            break;
    }
}

}  // namespace

std::uint32_t page2004(std::uint32_t seed, const std::uint8_t* data, std::size_t size) {
    Sums s{seed & 0xFFFF, seed >> 16};
    while (size != 0) {
        const std::size_t chunk = std::min(kChunk, size);
        for (std::size_t i = 0; i < chunk; ++i) s.add(data[i]);
        data += chunk;
        size -= chunk;
        s.a %= kModulus;
        s.b %= kModulus;
    }
    return (s.b << 16) | (s.a & 0xFFFF);
}

std::uint32_t page2007(std::uint64_t seed, const std::uint8_t* data, std::size_t size) {
    seed = (seed + size) * 0x343FDull + 0x269EC3ull;
    Sums s{static_cast<std::uint32_t>(seed & 0xFFFF),
           static_cast<std::uint32_t>((seed >> 16) & 0xFFFF)};
    while (size != 0) {
        const std::size_t chunk = std::min(kChunk, size);
        std::size_t blocks = chunk >> 3;
        const std::uint8_t* p = data;
        for (; blocks != 0; --blocks, p += 8) {
            s.add2(p + 6);
            s.add2(p + 4);
            s.add2(p + 2);
            s.add2(p);
        }
        addTail2007(s, p, chunk & 7);
        data += chunk;
        size -= chunk;
        s.a %= kModulus;
        s.b %= kModulus;
    }
    return (s.b << 16) | (s.a & 0xFFFF);
}

std::uint32_t crc32(std::uint32_t seed, const std::uint8_t* data, std::size_t size) {
    std::uint32_t c = ~seed;
    for (std::size_t i = 0; i < size; ++i) c = (c >> 8) ^ kCrc32Table[(c ^ data[i]) & 0xFF];
    return ~c;
}

}  // namespace dwg::checksum
