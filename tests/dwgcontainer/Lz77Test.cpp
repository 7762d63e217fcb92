#include <gtest/gtest.h>

#include <random>
#include <string>

#include "dwgviewx/dwg/Lz77.h"
#include "dwgviewx/dwg/PageChecksum.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    dwg::lz77::Result result;
    std::string text;
};

Decoded decode(const Bytes& src, std::size_t capacity = 1 << 16) {
    Bytes out(capacity, 0);
    Decoded d{dwg::lz77::decompress(src.data(), src.size(), out.data(), out.size()), {}};
    d.text.assign(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(d.result.written));
    return d;
}

void append(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
}

// A literal length as the format writes it: 4..0x12 in one byte, longer ones as 0x00,
// then 0xFF per zero byte and a final non-zero remainder.
void appendLiteralLength(Bytes& b, std::size_t n) {
    if (n <= 0x12) {
        b.push_back(static_cast<std::uint8_t>(n - 3));
        return;
    }
    b.push_back(0);
    std::size_t rest = n - 3 - 0x0F;
    while (rest > 0xFF) {
        b.push_back(0);
        rest -= 0xFF;
    }
    b.push_back(static_cast<std::uint8_t>(rest));
}

void appendTwoByteOffset(Bytes& b, unsigned offset, unsigned literals) {
    b.push_back(static_cast<std::uint8_t>(((offset & 0x3F) << 2) | literals));
    b.push_back(static_cast<std::uint8_t>(offset >> 6));
}

}  // namespace

TEST(Lz77, ALiteralRunThenTheEndOpcodeCopiesTheBytes) {
    Bytes src{0x05};
    append(src, "DRAWINGS");
    src.push_back(0x11);
    const Decoded d = decode(src);
    EXPECT_TRUE(d.result.ok);
    EXPECT_TRUE(d.result.terminated);
    EXPECT_EQ(d.text, "DRAWINGS");
}

TEST(Lz77, ShortBackReferencesMayOverlapTheirOwnOutput) {
    Bytes src{0x01};
    append(src, "abcd");
    // 0x9D: 8 bytes from offset 3 (4 back), then one literal.
    src.insert(src.end(), {0x9D, 0x00, 'z', 0x11});
    const Decoded d = decode(src);
    ASSERT_TRUE(d.result.ok) << d.result.error;
    EXPECT_EQ(d.text, "abcdabcdabcdz");
}

TEST(Lz77, MediumAndLongCountsUseTheirOwnOpcodes) {
    Bytes src{0x01};
    append(src, "wxyz");
    // 0x22: 4 bytes from 4 back, two-byte offset carrying two literals.
    src.push_back(0x22);
    appendTwoByteOffset(src, 3, 2);
    append(src, "!?");
    // 0x20: 0x21 + 0x05 bytes from 2 back, literal count from a following length byte.
    src.push_back(0x20);
    src.push_back(0x05);
    appendTwoByteOffset(src, 1, 0);
    appendLiteralLength(src, 4);
    append(src, "1234");
    src.push_back(0x11);
    const Decoded d = decode(src);
    ASSERT_TRUE(d.result.ok) << d.result.error;
    std::string want = "wxyzwxyz!?";
    for (int i = 0; i < 0x26; ++i) want += (i % 2 == 0) ? '!' : '?';
    want += "1234";
    EXPECT_EQ(d.text, want);
}

TEST(Lz77, FarBackReferencesReachPastSixteenKilobytes) {
    Bytes src;
    std::string literal;
    for (int i = 0; i < 0x4100; ++i) literal += static_cast<char>('A' + (i * 7) % 26);
    appendLiteralLength(src, literal.size());
    append(src, literal);
    // 0x12: 4 bytes, distance 0x4000 + 0x20.
    src.push_back(0x12);
    appendTwoByteOffset(src, 0x20, 0);
    // 0x10: long count 9 + 3 = 12 bytes, distance 0x4000.
    src.push_back(0x10);
    src.push_back(0x03);
    appendTwoByteOffset(src, 0, 1);
    src.push_back('#');
    src.push_back(0x11);
    const Decoded d = decode(src);
    ASSERT_TRUE(d.result.ok) << d.result.error;
    std::string want = literal;
    want += want.substr(want.size() - 0x4020, 4);
    want += want.substr(want.size() - 0x4000, 12);
    want += '#';
    EXPECT_EQ(d.text, want);
}

TEST(Lz77, ABackReferenceBeforeTheStartIsRefused) {
    Bytes src{0x01};
    append(src, "abcd");
    src.insert(src.end(), {0x5D, 0x40, 0x11});  // 4 bytes from 0x104 back
    const Decoded d = decode(src);
    EXPECT_FALSE(d.result.ok);
    EXPECT_EQ(d.text, "abcd");
    EXPECT_NE(d.result.error.find("before the start"), std::string::npos);
}

TEST(Lz77, RunawayLengthsStopAtTheEndOfEitherBuffer) {
    Bytes src{0x01};
    append(src, "abcd");
    src.push_back(0x20);  // a long count made of 200 zero bytes
    for (int i = 0; i < 200; ++i) src.push_back(0);
    src.push_back(1);
    appendTwoByteOffset(src, 0, 1);
    src.push_back('x');
    Decoded d = decode(src, 1000);
    EXPECT_FALSE(d.result.ok);
    EXPECT_LE(d.result.written, 1000u);
    EXPECT_NE(d.result.error.find("end of the output"), std::string::npos);

    Bytes tooLong;
    appendLiteralLength(tooLong, 5000);
    append(tooLong, "only a few bytes");
    d = decode(tooLong);
    EXPECT_FALSE(d.result.ok);
    EXPECT_EQ(d.result.written, 0u);
    EXPECT_NE(d.result.error.find("end of the input"), std::string::npos);
}

TEST(Lz77, ReservedOpcodesAndTruncatedStreamsAreErrors) {
    Bytes reserved{0x01};
    append(reserved, "abcd");
    reserved.push_back(0x05);
    EXPECT_FALSE(decode(reserved).result.ok);

    Bytes truncated{0x01};
    append(truncated, "abcd");
    truncated.push_back(0x22);  // two-byte offset missing
    EXPECT_FALSE(decode(truncated).result.ok);

    Bytes zeroLength{0x00, 0x00, 0x00};  // a literal length that never ends
    EXPECT_FALSE(decode(zeroLength).result.ok);

    EXPECT_TRUE(decode({}).result.ok);
    EXPECT_EQ(decode({}).result.written, 0u);
}

TEST(Lz77, RandomStreamsNeverWriteOutsideTheOutput) {
    std::mt19937 rng(20260101);
    for (int round = 0; round < 3000; ++round) {
        Bytes src(1 + rng() % 300);
        for (auto& b : src) b = static_cast<std::uint8_t>(rng());
        const std::size_t cap = rng() % 2000;
        Bytes out(cap + 16, 0xEE);
        const auto r = dwg::lz77::decompress(src.data(), src.size(), out.data(), cap);
        ASSERT_LE(r.written, cap);
        for (std::size_t i = cap; i < out.size(); ++i) ASSERT_EQ(out[i], 0xEE);
    }
}

TEST(PageChecksum, MatchesKnownValuesAndChainsOverPieces) {
    const std::string digits = "123456789";
    const auto* p = reinterpret_cast<const std::uint8_t*>(digits.data());
    EXPECT_EQ(dwg::checksum::crc32(0, p, digits.size()), 0xCBF43926u);
    // Two running sums: 0x1DD (the byte sum) and the sum of the partial sums.
    EXPECT_EQ(dwg::checksum::page2004(0, p, digits.size()), (0x0915u << 16) | 0x01DDu);
    std::vector<std::uint8_t> big(100000);
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i * 31);
    const std::uint32_t whole = dwg::checksum::page2004(7, big.data(), big.size());
    const std::uint32_t first = dwg::checksum::page2004(7, big.data(), 0x15B0 * 3);
    EXPECT_EQ(dwg::checksum::page2004(first, big.data() + 0x15B0 * 3, big.size() - 0x15B0 * 3),
              whole);
}
