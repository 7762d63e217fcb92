#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "dwgviewx/dwg/ReedSolomon.h"

namespace {

using Block = std::array<std::uint8_t, 255>;

Block codeword(const dwg::ReedSolomon& code, std::mt19937& rng) {
    Block b{};
    for (std::size_t i = 0; i < code.dataSize(); ++i) b[i] = static_cast<std::uint8_t>(rng());
    code.encode(b.data());
    return b;
}

void damage(Block& b, std::size_t errors, std::mt19937& rng) {
    std::set<std::size_t> where;
    while (where.size() < errors) where.insert(rng() % b.size());
    for (std::size_t i : where) b[i] ^= static_cast<std::uint8_t>(1 + rng() % 255);
}

}  // namespace

TEST(ReedSolomon, CleanCodewordsDecodeWithoutChanges) {
    std::mt19937 rng(7);
    for (const auto* code : {&dwg::ReedSolomon::systemPages(), &dwg::ReedSolomon::dataPages()}) {
        Block b = codeword(*code, rng);
        const Block original = b;
        EXPECT_EQ(code->decode(b.data()), 0);
        EXPECT_EQ(b, original);
    }
}

TEST(ReedSolomon, UpToHalfTheParityCountOfErrorsAreCorrected) {
    std::mt19937 rng(11);
    for (const auto* code : {&dwg::ReedSolomon::systemPages(), &dwg::ReedSolomon::dataPages()}) {
        const std::size_t t = code->paritySize() / 2;
        for (int round = 0; round < 300; ++round) {
            Block b = codeword(*code, rng);
            const Block original = b;
            const std::size_t errors = 1 + static_cast<std::size_t>(round) % t;
            damage(b, errors, rng);
            ASSERT_EQ(code->decode(b.data()), static_cast<int>(errors));
            ASSERT_EQ(b, original);
        }
    }
}

TEST(ReedSolomon, TooManyErrorsAreReportedAndLeaveTheBlockAlone) {
    std::mt19937 rng(13);
    const auto& code = dwg::ReedSolomon::systemPages();
    int reported = 0;
    for (int round = 0; round < 200; ++round) {
        Block b = codeword(code, rng);
        damage(b, 12, rng);
        const Block damaged = b;
        if (code.decode(b.data()) < 0) {
            ++reported;
            ASSERT_EQ(b, damaged);
        }
    }
    // A strong code almost never mistakes 12 errors for 8 or fewer.
    EXPECT_GT(reported, 190);
}

TEST(ReedSolomon, InterleavedBlocksAreSeparatedAndMendedOneByOne) {
    std::mt19937 rng(17);
    // The system code: with 16 parity bytes a block past mending is reliably noticed.
    const auto& code = dwg::ReedSolomon::systemPages();
    const std::size_t blocks = 3;
    std::vector<Block> words;
    for (std::size_t j = 0; j < blocks; ++j) words.push_back(codeword(code, rng));
    std::vector<std::uint8_t> raw(blocks * 255);
    for (std::size_t j = 0; j < blocks; ++j)
        for (std::size_t i = 0; i < 255; ++i) raw[i * blocks + j] = words[j][i];
    raw[10] ^= 0x01;                                               // block 1
    raw[400] ^= 0x80;                                              // block 1
    raw[302] ^= 0x33;                                              // block 2
    for (std::size_t i = 0; i < 36; i += 3) raw[i + 600] ^= 0x44;  // twelve in block 0
    std::vector<std::uint8_t> out(blocks * code.dataSize());
    const auto stats = code.decodeInterleaved(raw.data(), blocks, out.data());
    EXPECT_EQ(stats.corrected, 2u);
    EXPECT_EQ(stats.failed, 1u);
    for (std::size_t j = 1; j < blocks; ++j)
        EXPECT_TRUE(std::equal(words[j].begin(), words[j].begin() + 239,
                               out.begin() + static_cast<std::ptrdiff_t>(j * 239)));
}
