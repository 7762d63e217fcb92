// Every bit code the writer produces reads back through the decoder's reader.
#include <gtest/gtest.h>

#include <random>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/writer/BitWriter.h"

using dwg::BitReader;
using dwg::writer::BitWriter;
using dwg::writer::Ref;

TEST(BitWriter, EveryCodeReadsBackThroughTheReader) {
    std::mt19937 rng(7);
    BitWriter w;
    std::vector<std::int16_t> shorts{0, 1, 255, 256, 257, -1, -32768, 32767};
    std::vector<std::int32_t> longs{0, 1, 255, 256, -1, 0x7FFFFFFF, -0x7FFFFFFF};
    std::vector<double> doubles{0.0, 1.0, -1.0, 0.5, 1e300, -2.25e-10};
    std::vector<std::uint64_t> mcs{0, 1, 0x7F, 0x80, 0x3FFF, 0x4000, 0xFFFFFFFFull};
    std::vector<std::int64_t> signedMcs{0, 1, -1, 63, 64, -64, 8191, -8192, 1 << 20, -(1 << 20)};
    for (int i = 0; i < 50; ++i) w.B(true);  // misalign everything that follows
    w.bits(0, 3);
    for (auto s : shorts) w.BS(s);
    for (auto l : longs) w.BL(l);
    for (auto d : doubles) w.BD(d);
    for (auto d : doubles) w.DD(d, 0.5);
    w.DD(1.0000000000000002, 1.0);  // differs in the low bytes only
    for (auto m : mcs) w.MC(m);
    for (auto m : signedMcs) w.MCSigned(m);
    w.H(Ref::HardPointer, 0);
    w.H(Ref::SoftOwner, 0x1234567);
    w.T("hello");
    w.BE({0, 0, 1});
    w.BE({0, 1, 0});
    w.BT(0);
    w.BT(2.5);
    w.alignToByte();

    BitReader r(w.bytes().data(), w.bytes().size());
    for (int i = 0; i < 50; ++i) ASSERT_EQ(r.B(), 1);
    r.bits(3);
    for (auto s : shorts) EXPECT_EQ(r.BS(), s);
    for (auto l : longs) EXPECT_EQ(r.BL(), l);
    for (auto d : doubles) EXPECT_EQ(r.BD(), d);
    for (auto d : doubles) EXPECT_EQ(r.DD(0.5), d);
    EXPECT_EQ(r.DD(1.0), 1.0000000000000002);
    for (auto m : mcs) EXPECT_EQ(r.MC(), m);
    for (auto m : signedMcs) EXPECT_EQ(r.MCSigned(), m);
    auto h0 = r.H();
    EXPECT_EQ(h0.code, 5);
    EXPECT_EQ(h0.value, 0u);
    auto h1 = r.H();
    EXPECT_EQ(h1.code, 2);
    EXPECT_EQ(h1.value, 0x1234567u);
    EXPECT_EQ(r.T(), "hello");
    EXPECT_EQ(r.BE().z, 1.0);
    EXPECT_EQ(r.BE().y, 1.0);
    EXPECT_EQ(r.BT(), 0.0);
    EXPECT_EQ(r.BT(), 2.5);
    EXPECT_FALSE(r.failed());
}

TEST(BitWriter, PatchingOverwritesOnlyTheNamedBits) {
    BitWriter w;
    w.bits(0x5, 3);
    const auto at = w.position();
    w.RL(0);
    w.bits(0x3, 2);
    dwg::writer::patchRL(w, at, 0xA1B2C3D4);
    BitReader r(w.bytes().data(), w.bytes().size());
    EXPECT_EQ(r.bits(3), 0x5u);
    EXPECT_EQ(static_cast<std::uint32_t>(r.RL()), 0xA1B2C3D4u);
    EXPECT_EQ(r.bits(2), 0x3u);
}
