#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "CorpusFiles.h"
#include "SectionChecks.h"
#include "dwgviewx/dwg/Container2007.h"
#include "dwgviewx/dwg/ReedSolomon.h"

using namespace containertest;

namespace {

std::string name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool sameSections(const dwg::RawSections& a, const dwg::RawSections& b) {
    return a.header == b.header && a.classes == b.classes && a.handles == b.handles &&
           a.objects == b.objects;
}

// The file offset of the first page of a section, for damaging it on purpose.
std::uint64_t firstPageAddress(const std::vector<std::uint8_t>& bytes, const char* section) {
    dwg::Container2007 c;
    if (!c.open(bytes.data(), bytes.size())) return 0;
    const dwg::Section2007Info* s = c.findSection(section);
    if (!s || s->pages.empty()) return 0;
    return c.pageLocation(s->pages.front().id).first;
}

}  // namespace

TEST(Container2007, EveryCorpusFileYieldsFramedHeaderClassesAndAMapIntoTheObjects) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    for (const auto& path : files) {
        SCOPED_TRACE(name(path));
        const auto bytes = readFile(path);
        std::string error = "unset";
        const dwg::RawSections s = dwg::readSections2007(bytes.data(), bytes.size(), &error);
        ASSERT_EQ(error, "");
        EXPECT_EQ(s.version, dwg::Version::R2007);
        EXPECT_EQ(s.magic, "AC1021");
        EXPECT_EQ(checkAllSections(s, 50), "");
    }
}

TEST(Container2007, InjectedByteErrorsAreCorrectedByTheReedSolomonCodes) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto clean = readFile(files.front());
    std::string error;
    const dwg::RawSections want = dwg::readSections2007(clean.data(), clean.size(), &error);
    ASSERT_EQ(error, "");

    auto bytes = clean;
    // File header: three interleaved blocks, up to 8 errors each; damage 8 bytes in a row,
    // which lands 2 or 3 in every block.
    for (std::size_t i = 0; i < 8; ++i) bytes[0x80 + 40 + i] ^= 0xFF;
    // Data pages: interleaved blocks mend 2 errors each; a burst as long as the block
    // count hits each block once.
    for (const char* section : {"AcDb:Header", "AcDb:AcDbObjects", "AcDb:Handles"}) {
        const std::uint64_t at = firstPageAddress(clean, section);
        ASSERT_GT(at, 0u) << section;
        for (std::size_t i = 0; i < 3; ++i) bytes[at + 5 + i] ^= 0x5A;
    }
    dwg::Container2007 c;
    ASSERT_TRUE(c.open(bytes.data(), bytes.size())) << c.error();
    EXPECT_GE(c.correctedBlocks(), 3u);
    const dwg::RawSections got = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    ASSERT_EQ(error, "");
    EXPECT_TRUE(got.warnings.empty()) << got.warnings.front();
    EXPECT_TRUE(sameSections(got, want));
}

TEST(Container2007, AHeaderBlockPastMendingIsReplacedByTheNextCopyOfTheRecord) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto clean = readFile(files.front());
    std::string error;
    const dwg::RawSections want = dwg::readSections2007(clean.data(), clean.size(), &error);
    auto bytes = clean;
    for (std::size_t i = 0; i < 60; ++i) bytes[0x80 + 3 * i] ^= 0xC3;  // block 0 only
    const dwg::RawSections got = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    ASSERT_EQ(error, "");
    ASSERT_FALSE(got.warnings.empty());
    EXPECT_NE(got.warnings.front().find("cannot mend"), std::string::npos);
    EXPECT_TRUE(sameSections(got, want));
}

TEST(Container2007, AFileHeaderPastMendingIsReadFromItsCopyAtTheEnd) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto clean = readFile(files.front());
    std::string error;
    const dwg::RawSections want = dwg::readSections2007(clean.data(), clean.size(), &error);
    auto bytes = clean;
    for (std::size_t i = 0x80; i < 0x80 + 3 * 255; i += 2) bytes[i] ^= 0x3C;  // every block
    const dwg::RawSections got = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    ASSERT_EQ(error, "");
    ASSERT_EQ(got.warnings.size(), 2u);
    EXPECT_NE(got.warnings[1].find("copy of the file header"), std::string::npos);
    EXPECT_TRUE(sameSections(got, want));

    // With both copies ruined the error says so.
    for (std::size_t i = bytes.size() - 0x400; i < bytes.size() - 0x400 + 3 * 255; i += 2)
        bytes[i] ^= 0x3C;
    const dwg::RawSections none = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    EXPECT_EQ(none.version, dwg::Version::Unknown);
    EXPECT_NE(error.find("file header"), std::string::npos);
}

TEST(Container2007, APageMapBlockPastMendingIsReplacedByAnotherCopyOfTheMap) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto clean = readFile(files.front());
    std::string error;
    const dwg::RawSections want = dwg::readSections2007(clean.data(), clean.size(), &error);
    // The corpus drawings keep their page map at 0x480 in four interleaved blocks, its
    // data repeated seven or eight times; ruin block 0, which holds the first copies.
    auto bytes = clean;
    for (std::size_t i = 0; i < 100; ++i) bytes[0x480 + 4 * i] ^= 0x6B;
    const dwg::RawSections got = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    ASSERT_EQ(error, "");
    ASSERT_FALSE(got.warnings.empty());
    EXPECT_NE(got.warnings.front().find("page map has errors"), std::string::npos)
        << got.warnings.front();
    for (const auto& w : got.warnings) EXPECT_EQ(w.find("CRC"), std::string::npos) << w;
    EXPECT_TRUE(sameSections(got, want));
}

TEST(Container2007, AnObjectsPageBeyondRepairIsAWarningNotAFailure) {
    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    auto bytes = readFile(files.front());
    const std::uint64_t at = firstPageAddress(bytes, "AcDb:AcDbObjects");
    ASSERT_GT(at, 0u);
    for (std::size_t i = 0; i < 400; ++i) bytes[at + i] ^= 0x99;
    std::string error;
    const dwg::RawSections got = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    EXPECT_EQ(error, "");
    ASSERT_FALSE(got.warnings.empty());
    EXPECT_EQ(checkFramedSection(got.header, kHeaderSentinel), "");
}

TEST(Container2007, RefusesOtherVersionsAndTruncatedFilesWithAClearError) {
    std::string error;
    std::vector<std::uint8_t> other(0x1000, 0);
    std::memcpy(other.data(), "AC1018", 6);
    EXPECT_EQ(dwg::readSections2007(other.data(), other.size(), &error).version,
              dwg::Version::Unknown);
    EXPECT_NE(error.find("AC1018"), std::string::npos);

    const auto files = corpusFiles({"AC1021"});
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto bytes = readFile(files.front());
    const dwg::RawSections whole = dwg::readSections2007(bytes.data(), bytes.size(), &error);
    // A cut file either fails, warns, or lost only what the sections do not need (the
    // copies of the maps and the header at the end).
    for (std::size_t cut = 0; cut < bytes.size(); cut += 1499) {
        const dwg::RawSections s = dwg::readSections2007(bytes.data(), cut, &error);
        if (error.empty() && s.warnings.empty()) {
            EXPECT_TRUE(sameSections(s, whole)) << "cut at " << cut;
        }
    }
}
