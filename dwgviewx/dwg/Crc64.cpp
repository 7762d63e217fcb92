#include "Crc64.h"

#include <array>

namespace dwg::crc64 {
namespace {

constexpr std::uint64_t kPolynomial = 0x42F0E1EBA9EA3693ull;
// The mirrored CRC uses another polynomial (0xAD93D23594C935A9), given here bit-reversed.
constexpr std::uint64_t kMirroredPolynomial = 0x95AC9329AC4BC9B5ull;

constexpr std::array<std::uint64_t, 256> makeNormalTable() {
    std::array<std::uint64_t, 256> t{};
    for (std::uint64_t i = 0; i < 256; ++i) {
        std::uint64_t c = i << 56;
        for (int k = 0; k < 8; ++k) c = (c & (1ull << 63)) ? (c << 1) ^ kPolynomial : c << 1;
        t[i] = c;
    }
    return t;
}

constexpr std::array<std::uint64_t, 256> makeMirroredTable() {
    const std::uint64_t poly = kMirroredPolynomial;
    std::array<std::uint64_t, 256> t{};
    for (std::uint64_t i = 0; i < 256; ++i) {
        std::uint64_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ poly : c >> 1;
        t[i] = c;
    }
    return t;
}

constexpr auto kNormal = makeNormalTable();
constexpr auto kMirrored = makeMirroredTable();

struct Normal {
    static std::uint64_t step(std::uint64_t crc, std::uint8_t b) {
        return kNormal[(b ^ (crc >> 56)) & 0xFF] ^ (crc << 8);
    }
};
struct Mirrored {
    static std::uint64_t step(std::uint64_t crc, std::uint8_t b) {
        return kMirrored[(crc ^ b) & 0xFF] ^ (crc >> 8);
    }
};

// Bytes of each block of 8 go in as the halves 4..7 then 0..3, each half as its 16-bit
// pairs 2..3 then 0..1; a shorter tail has its own order.
template <class Kind>
std::uint64_t run(std::uint64_t crc, const std::uint8_t* p, std::size_t size) {
    static constexpr std::uint8_t kBlock[8] = {6, 7, 4, 5, 2, 3, 0, 1};
    static constexpr std::uint8_t kTail[8][7] = {{},
                                                 {0},
                                                 {0, 1},
                                                 {0, 1, 2},
                                                 {2, 3, 0, 1},
                                                 {2, 3, 0, 1, 4},
                                                 {2, 3, 0, 1, 4, 5},
                                                 {2, 3, 0, 1, 4, 5, 6}};
    for (; size >= 8; size -= 8, p += 8)
        for (std::uint8_t i : kBlock) crc = Kind::step(crc, p[i]);
    for (std::size_t i = 0; i < size; ++i) crc = Kind::step(crc, p[kTail[size][i]]);
    return crc;
}

}  // namespace

std::uint64_t normal(std::uint64_t seed, const std::uint8_t* data, std::size_t size) {
    return ~run<Normal>(seed, data, size);
}

std::uint64_t mirrored(std::uint64_t seed, const std::uint8_t* data, std::size_t size) {
    return run<Mirrored>(seed, data, size);
}

std::uint64_t updateSeed1(std::uint64_t seed, std::uint64_t length) {
    seed = (seed + length) * 0x343FDull + 0x269EC3ull;
    seed |= seed * (0x343FDull << 32) + (0x269EC3ull << 32);
    return ~seed;
}

std::uint64_t updateSeed2(std::uint64_t seed, std::uint64_t length) {
    seed = (seed + length) * 0x343FDull + 0x269EC3ull;
    seed = seed * ((1ull << 32) + 0x343FDull) + (length + 0x269EC3ull);
    return ~seed;
}

}  // namespace dwg::crc64
