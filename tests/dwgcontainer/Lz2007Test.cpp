#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "dwgviewx/dwg/Lz2007.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes permutation(std::size_t count) {
    Bytes src(count);
    std::iota(src.begin(), src.end(), 0);
    Bytes dst(count, 0xEE);
    dwg::lz2007::copyLiteral(dst.data(), src.data(), count);
    return dst;
}

std::string decode(const Bytes& src, dwg::lz2007::Result* result = nullptr,
                   std::size_t capacity = 4096) {
    Bytes out(capacity, 0);
    const auto r = dwg::lz2007::decompress(src.data(), src.size(), out.data(), out.size());
    if (result) *result = r;
    return std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(r.written));
}

}  // namespace

TEST(Lz2007, LiteralBlocksComeBackInTheirStoredOrder) {
    EXPECT_EQ(permutation(1), (Bytes{0}));
    EXPECT_EQ(permutation(3), (Bytes{2, 1, 0}));
    EXPECT_EQ(permutation(4), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(permutation(6), (Bytes{5, 1, 2, 3, 4, 0}));
    EXPECT_EQ(permutation(7), (Bytes{6, 5, 1, 2, 3, 4, 0}));
    EXPECT_EQ(permutation(16), (Bytes{8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2, 3, 4, 5, 6, 7}));
    const Bytes p32 = permutation(32);
    EXPECT_EQ(p32.front(), 24);
    EXPECT_EQ(p32[8], 16);
    EXPECT_EQ(p32[16], 8);
    EXPECT_EQ(p32.back(), 7);
}

TEST(Lz2007, EveryLiteralLengthIsAPermutation) {
    for (std::size_t n = 1; n <= 100; ++n) {
        Bytes p = permutation(n);
        std::sort(p.begin(), p.end());
        Bytes want(n);
        std::iota(want.begin(), want.end(), 0);
        ASSERT_EQ(p, want) << n << " bytes";
    }
}

TEST(Lz2007, ALiteralRunAndABackReferenceRebuildTheText) {
    // 0x00: eight literals; 0x43: four bytes from four back, then a byte whose low bits
    // (0) say no literals follow.
    Bytes src{0x00};
    const std::string text = "ABCDEFGH";
    src.insert(src.end(), text.begin(), text.end());
    src.insert(src.end(), {0x43, 0x00});
    dwg::lz2007::Result r;
    EXPECT_EQ(decode(src, &r), "ABCDEFGHEFGH");
    EXPECT_TRUE(r.ok) << r.error;
}

TEST(Lz2007, CorruptStreamsStopWithAnErrorInsideTheBuffers) {
    dwg::lz2007::Result r;
    Bytes farBack{0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x4F, 0xF8};  // 0x20 back
    EXPECT_EQ(decode(farBack, &r), "abcdefgh");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("before the start"), std::string::npos);

    Bytes shortInput{0x0F, 0xFF, 0xFF, 0xFF, 'x'};  // a huge literal run, five bytes of input
    decode(shortInput, &r);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.written, 0u);

    Bytes longOutput{0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x20, 0x01, 0x00, 0xF8};
    decode(longOutput, &r, 64);
    EXPECT_FALSE(r.ok);
    EXPECT_LE(r.written, 64u);

    Bytes truncated{0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x10};
    decode(truncated, &r);
    EXPECT_FALSE(r.ok);
}

TEST(Lz2007, RandomStreamsNeverWriteOutsideTheOutput) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 3000; ++round) {
        Bytes src(1 + rng() % 300);
        for (auto& b : src) b = static_cast<std::uint8_t>(rng());
        const std::size_t cap = rng() % 2000;
        Bytes out(cap + 16, 0xEE);
        const auto r = dwg::lz2007::decompress(src.data(), src.size(), out.data(), cap);
        ASSERT_LE(r.written, cap);
        for (std::size_t i = cap; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE);
    }
}
