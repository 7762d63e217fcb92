// The bit reader's 8-byte window and the 8-byte CRC steps must give exactly what a
// bit-by-bit and a byte-by-byte reading give, at every offset and near the end.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/dwg/Crc.h"

namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v) b = static_cast<std::uint8_t>(rng());
    return v;
}

std::uint64_t bitByBit(const std::vector<std::uint8_t>& d, std::size_t pos, unsigned n) {
    std::uint64_t v = 0;
    for (unsigned i = 0; i < n; ++i, ++pos) v = (v << 1) | ((d[pos >> 3] >> (7 - (pos & 7))) & 1);
    return v;
}

unsigned crcBitwise(unsigned dx, const std::uint8_t* p, std::size_t n) {
    while (n-- > 0) {
        dx ^= *p++;
        for (int b = 0; b < 8; ++b) dx = (dx & 1) ? (dx >> 1) ^ 0xA001u : dx >> 1;
    }
    return dx & 0xFFFF;
}

}  // namespace

TEST(BitWindow, EveryWidthAtEveryOffsetReadsTheSameBitsAsOneBitAtATime) {
    // 12 bytes: positions in the first four bytes use the window, later ones the tail.
    const auto data = randomBytes(12, 7);
    for (std::size_t pos = 0; pos < data.size() * 8; ++pos) {
        for (unsigned n = 1; n <= 64 && pos + n <= data.size() * 8; ++n) {
            dwg::BitReader r(data.data(), data.size());
            r.seek(pos);
            ASSERT_EQ(r.bits(n), bitByBit(data, pos, n)) << "pos " << pos << " n " << n;
            ASSERT_EQ(r.position(), pos + n);
            ASSERT_FALSE(r.failed());
        }
    }
}

TEST(BitWindow, ReadingPastTheEndFailsAndNeverLooksBeyondTheSpan) {
    // The span is a prefix of a larger buffer: bits after it must not leak into values.
    auto data = randomBytes(16, 9);
    dwg::BitReader r(data.data(), 5);
    r.seek(30);
    EXPECT_EQ(r.bits(10), bitByBit(data, 30, 10));
    r.seek(36);
    EXPECT_EQ(r.bits(5), 0u);  // 4 bits left
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.position(), 40u);
}

TEST(BitWindow, ALimitInsideTheDataStopsTheWindowToo) {
    const auto data = randomBytes(32, 11);
    dwg::BitReader r(data.data(), data.size());
    r.setLimit(20);
    r.seek(8);
    EXPECT_EQ(r.bits(12), bitByBit(data, 8, 12));
    EXPECT_EQ(r.bits(1), 0u);
    EXPECT_TRUE(r.failed());
}

TEST(BitWindow, LittleEndianWordsComeOutInTheirStoredOrderAtOddOffsets) {
    const std::vector<std::uint8_t> bytes = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x11};
    // The same bytes shifted right by three bits, so every read straddles bytes.
    std::vector<std::uint8_t> shifted(bytes.size() + 1, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        shifted[i] |= bytes[i] >> 3;
        shifted[i + 1] |= static_cast<std::uint8_t>(bytes[i] << 5);
    }
    dwg::BitReader r(shifted.data(), shifted.size());
    r.seek(3);
    EXPECT_EQ(static_cast<std::uint16_t>(r.RS()), 0x3412);
    r.seek(3);
    EXPECT_EQ(static_cast<std::uint32_t>(r.RL()), 0x78563412u);
    r.seek(3);
    EXPECT_EQ(r.RLL(), 0xF0DEBC9A78563412ull);
    EXPECT_FALSE(r.failed());
}

TEST(Crc16, EightBytesAStepMatchesTheBitwiseDefinitionForAnyLengthAndSeed) {
    std::mt19937 rng(3);
    for (int round = 0; round < 2000; ++round) {
        const std::size_t n = rng() % 70;
        const auto data = randomBytes(n, static_cast<std::uint32_t>(round));
        const unsigned seed = rng() & 0xFFFF;
        ASSERT_EQ(dwg::crc16(static_cast<std::uint16_t>(seed), data.data(), n),
                  crcBitwise(seed, data.data(), n))
            << "length " << n;
    }
}
