// Bad input gets a clear error or a partial drawing; it never crashes the decoder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "dwgviewx/dwg/Decoder.h"

namespace {

namespace fs = std::filesystem;

fs::path corpusDir() {
    const char* env = std::getenv("ORVANE_SHARED_DIR");
    return fs::path(env && *env ? env : ORVANE_SHARED_DIR) / "dwg";
}

std::vector<std::uint8_t> load(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::span<const std::uint8_t> span(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

}  // namespace

TEST(DecoderErrors, SayWhatIsWrongWithTheInput) {
    EXPECT_EQ(dwg::readBytes({}).error(), "not a DWG file");
    EXPECT_EQ(dwg::readBytes(span("hello, world")).error(), "not a DWG file");
    EXPECT_EQ(dwg::readBytes(span("ACxyz1")).error(), "not a DWG file");
    EXPECT_EQ(dwg::readBytes(span("AC1009 an R11 drawing")).error(), "unsupported version AC1009");
    EXPECT_EQ(dwg::readFile("/nonexistent/folder/x.dwg").error(),
              "cannot open /nonexistent/folder/x.dwg");
    const std::string truncated = "AC1015" + std::string(10, '\0');
    EXPECT_EQ(dwg::readBytes(span(truncated)).error().rfind("file is damaged", 0), 0u);
}

TEST(DecoderErrors, ReportDamagedSectionLocatorsInsteadOfReadingOutsideTheFile) {
    std::string header = "AC1015" + std::string(0x19 - 6, '\0');
    header[0x15] = 3;  // three locators
    for (int i = 0; i < 3; ++i) {
        std::string rec(9, '\0');
        rec[0] = static_cast<char>(i);
        rec[1] = rec[2] = rec[3] = rec[4] = '\xFF';  // seeker far past the end
        rec[5] = 16;
        header += rec;
    }
    header += std::string(2, '\0');
    const auto r = dwg::readBytes(span(header));
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error(), "file is damaged: section 0 lies outside the file");
}

TEST(DecoderRobustness, SurvivesEveryTruncationOfRealDrawings) {
    for (const char* name : {"sample_2000.dwg", "v.dwg", "sample_2018.dwg"}) {
        const auto bytes = load(corpusDir() / name);
        if (bytes.empty()) GTEST_SKIP() << "corpus missing at " << corpusDir();
        for (int k = 1; k < 24; ++k) {
            const std::size_t cut = bytes.size() * static_cast<std::size_t>(k) / 24;
            const auto r = dwg::readBytes({bytes.data(), cut});
            if (!r) {
                EXPECT_FALSE(r.error().empty()) << name << " cut at " << cut;
            }
        }
    }
}

TEST(DecoderRobustness, SurvivesCorruptedBytesAndKeepsTheRestOfTheDrawing) {
    const auto original = load(corpusDir() / "example_2000.dwg");
    if (original.empty()) GTEST_SKIP() << "corpus missing at " << corpusDir();
    std::mt19937 rng(1234);
    int loaded = 0;
    for (int round = 0; round < 40; ++round) {
        auto bytes = original;
        std::uniform_int_distribution<std::size_t> at(0x100, bytes.size() - 1);
        for (int i = 0; i < 50; ++i) bytes[at(rng)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        const auto r = dwg::readBytes(bytes);
        if (!r) continue;
        ++loaded;
        const auto& rep = r->report;
        EXPECT_LE(rep.brokenObjects, rep.objectsTotal);
        EXPECT_LE(rep.messages.size(), dwg::Limits::kMaxReportMessages);
    }
    // Damage to objects (not to the file header or the map) leaves the drawing loadable.
    EXPECT_GT(loaded, 20);
}

TEST(DecoderRobustness, ReportsABrokenObjectAndLoadsTheOthers) {
    auto bytes = load(corpusDir() / "sample_2000.dwg");
    if (bytes.empty()) GTEST_SKIP() << "corpus missing at " << corpusDir();
    const auto clean = dwg::readBytes(bytes);
    ASSERT_TRUE(clean);
    // Find a LINE's data through the decoder's own sections and wreck its size field.
    auto sections = dwg::readSections(bytes);
    ASSERT_TRUE(sections);
    int lines = clean->report.modelSpaceByType.at("LINE");
    ASSERT_EQ(lines, 3);
    // Scribble over the middle of the object data area: some objects break, the file
    // still loads and says which ones broke.
    const std::size_t mid = bytes.size() / 2;
    for (std::size_t i = mid; i < mid + 64 && i < bytes.size(); ++i) bytes[i] = 0xFF;
    const auto damaged = dwg::readBytes(bytes);
    ASSERT_TRUE(damaged) << damaged.error();
    EXPECT_EQ(damaged->report.brokenObjects > 0, !damaged->report.messages.empty());
}

TEST(DecoderRobustness, ReplaysInputsThatOnceCrashedIt) {
    const fs::path dir = ORVANE_CRASHERS_DIR;
    if (!fs::exists(dir)) GTEST_SKIP() << "no crashers folder";
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README.md") continue;
        const auto bytes = load(entry.path());
        const auto r = dwg::readBytes(bytes);
        if (!r) {
            EXPECT_FALSE(r.error().empty()) << entry.path();
        }
        ++replayed;
    }
    SUCCEED() << replayed << " inputs replayed";
}
