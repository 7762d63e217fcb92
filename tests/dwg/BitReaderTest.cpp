#include "dwgviewx/dwg/BitReader.h"

#include <gtest/gtest.h>

#include "BitWriter.h"

using dwg::BitReader;
using dwg::Version;
using dwgtest::BitWriter;

namespace {

BitReader readerFor(const BitWriter& w, Version v = Version::R2000) {
    return BitReader(w.bytes().data(), w.bytes().size(), v);
}

}  // namespace

TEST(BitReader, ReadsTheShortExampleOfTheFormatNotes) {
    // 00 00000001 00000001 | 10 | 11 | 01 00001111 | 10  ->  257, 0, 256, 15, 0
    BitWriter w;
    for (char c : std::string("0000000001000000011011010000111110")) w.bit(c == '1');
    BitReader r = readerFor(w);
    EXPECT_EQ(r.BS(), 257);
    EXPECT_EQ(r.BS(), 0);
    EXPECT_EQ(r.BS(), 256);
    EXPECT_EQ(r.BS(), 15);
    EXPECT_EQ(r.BS(), 0);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsBitLongsAndRejectsTheUnusedCode) {
    BitWriter w;
    w.bits(0, 2);
    w.rl(0xFFFFFFFF);
    w.bits(1, 2);
    w.rc(200);
    w.bits(2, 2);
    w.bits(3, 2);
    BitReader r = readerFor(w);
    EXPECT_EQ(r.BL(), -1);
    EXPECT_EQ(r.BL(), 200);
    EXPECT_EQ(r.BL(), 0);
    EXPECT_FALSE(r.failed());
    r.BL();
    EXPECT_TRUE(r.failed());
}

TEST(BitReader, ReadsBitDoublesAndDefaultedDoubles) {
    BitWriter w;
    w.bits(0, 2);
    w.rd(-2.5);
    w.bits(1, 2);
    w.bits(2, 2);
    w.bits(0, 2);  // DD: the default
    w.bits(3, 2);  // DD: a full double
    w.rd(7.25);
    w.bits(1, 2);  // DD: 4 bytes patched into the default
    const double def = 1.0;
    std::uint64_t u;
    std::memcpy(&u, &def, 8);
    w.rl(0x12345678);
    BitReader r = readerFor(w);
    EXPECT_EQ(r.BD(), -2.5);
    EXPECT_EQ(r.BD(), 1.0);
    EXPECT_EQ(r.BD(), 0.0);
    EXPECT_EQ(r.DD(3.0), 3.0);
    EXPECT_EQ(r.DD(3.0), 7.25);
    const double patched = r.DD(def);
    std::uint64_t pu;
    std::memcpy(&pu, &patched, 8);
    EXPECT_EQ(pu, (u & 0xFFFFFFFF00000000ull) | 0x12345678ull);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsModularCharsIncludingNegativeOnes) {
    // Examples of the format notes: 4610, 112823273 and -1413.
    const std::vector<std::uint8_t> bytes = {0x82, 0x24, 0xE9, 0x97, 0xE6, 0x35, 0x85, 0x4B};
    BitReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.MC(), 4610u);
    EXPECT_EQ(r.MC(), 112823273u);
    EXPECT_EQ(r.MCSigned(), -1413);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsModularShortsAsTheFormatNotesShow) {
    const std::vector<std::uint8_t> bytes = {0x31, 0xF4, 0x8D, 0x00};
    BitReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.MS(), 4650033u);
}

TEST(BitReader, ResolvesHandleReferencesAndOffsets) {
    // 5.2.05E7 (hard pointer to 5E7), 6.0 (+1), 8.0 (-1), A.1.10 (+0x10), C.1.10 (-0x10)
    const std::vector<std::uint8_t> bytes = {0x52, 0x05, 0xE7, 0x60, 0x80, 0xA1, 0x10, 0xC1, 0x10};
    BitReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.H(0x100), 0x5E7u);
    EXPECT_EQ(r.H(0x100), 0x101u);
    EXPECT_EQ(r.H(0x100), 0xFFu);
    EXPECT_EQ(r.H(0x100), 0x110u);
    EXPECT_EQ(r.H(0x100), 0xF0u);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsExtrusionThicknessAndObjectTypesPerVersion) {
    BitWriter w;
    w.bit(1);      // R2000 extrusion default
    w.bit(1);      // R2000 thickness default
    w.bits(1, 2);  // R2010 type: byte + 0x1F0
    w.rc(0x08);
    w.bits(0, 2);  // R2010 type: one byte
    w.rc(0x13);
    BitReader r = readerFor(w, Version::R2010);
    const dwg::Vec3 e = r.BE();
    EXPECT_EQ(e.z, 1.0);
    EXPECT_EQ(r.BT(), 0.0);
    EXPECT_EQ(r.OT(), 0x1F8);
    EXPECT_EQ(r.OT(), 0x13);
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadsEightBitAndUnicodeText) {
    BitWriter w;
    w.bits(1, 2);
    w.rc(3);
    w.rc('A');
    w.rc('b');
    w.rc(0);  // a stored terminator is dropped
    w.bits(1, 2);
    w.rc(3);
    w.rs(0x5B8C);  // 完
    w.rs(0xD83D);  // surrogate pair for U+1F600
    w.rs(0xDE00);
    BitReader r = readerFor(w);
    EXPECT_EQ(r.T(), "Ab");
    EXPECT_EQ(r.TU(), "\xE5\xAE\x8C\xF0\x9F\x98\x80");
    EXPECT_FALSE(r.failed());
}

TEST(BitReader, ReadingPastTheEndSetsAStickyErrorAndReturnsZeros) {
    const std::vector<std::uint8_t> bytes = {0xFF};
    BitReader r(bytes.data(), bytes.size());
    EXPECT_EQ(r.bits(4), 0xFu);
    EXPECT_EQ(r.RL(), 0);
    EXPECT_TRUE(r.failed());
    EXPECT_EQ(r.RD(), 0.0);
    EXPECT_EQ(r.B(), 0);
    EXPECT_TRUE(r.failed());
    EXPECT_LE(r.position(), r.limit());
}

TEST(BitReader, RefusesCountsTheRemainingBitsCannotHold) {
    BitWriter w;
    w.bits(0, 2);
    w.rs(0x7FFF);  // a 32767-byte string in a 4-byte buffer
    BitReader r = readerFor(w);
    EXPECT_EQ(r.T(), "");
    EXPECT_TRUE(r.failed());

    const std::vector<std::uint8_t> bytes(4, 0);
    BitReader c(bytes.data(), bytes.size());
    EXPECT_TRUE(c.canHold(32, 1));
    EXPECT_FALSE(c.canHold(33, 1));
    EXPECT_TRUE(c.failed());
}

TEST(BitReader, RejectsOverlongModularValuesAndHandles) {
    const std::vector<std::uint8_t> endless(12, 0xFF);
    BitReader r(endless.data(), endless.size());
    r.MC();
    EXPECT_TRUE(r.failed());
    const std::vector<std::uint8_t> handle = {0x4F, 1, 2,  3,  4,  5,  6,  7,
                                              8,    9, 10, 11, 12, 13, 14, 15};
    BitReader h(handle.data(), handle.size());
    h.H();
    EXPECT_TRUE(h.failed());
}

TEST(BitReader, LimitsAndSeeksStayInsideTheBuffer) {
    const std::vector<std::uint8_t> bytes = {0xAA, 0xBB};
    BitReader r(bytes.data(), bytes.size());
    r.setLimit(12);
    r.seek(8);
    EXPECT_EQ(r.bits(4), 0xBu);
    EXPECT_FALSE(r.failed());
    r.B();
    EXPECT_TRUE(r.failed());
    BitReader s(bytes.data(), bytes.size());
    s.seek(17);
    EXPECT_TRUE(s.failed());
    BitReader t(bytes.data(), bytes.size());
    t.setLimit(1000);
    EXPECT_TRUE(t.failed());
    EXPECT_EQ(t.limit(), 16u);
}
