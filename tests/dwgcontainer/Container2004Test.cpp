#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "CorpusFiles.h"
#include "SectionChecks.h"
#include "dwgviewx/dwg/Container2004.h"

using namespace containertest;

namespace {

const std::vector<std::string> kPagedMagics = {"AC1018", "AC1024", "AC1027", "AC1032"};

std::vector<std::string> pagedFilesOrSkip() {
    auto files = corpusFiles(kPagedMagics);
    return files;
}

std::string name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

TEST(Container2004, EveryCorpusFileYieldsFramedHeaderClassesAndAMapIntoTheObjects) {
    const auto files = pagedFilesOrSkip();
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    for (const auto& path : files) {
        SCOPED_TRACE(name(path));
        const auto bytes = readFile(path);
        std::string error = "unset";
        const dwg::RawSections s = dwg::readSections2004(bytes.data(), bytes.size(), &error);
        ASSERT_EQ(error, "");
        EXPECT_NE(s.version, dwg::Version::Unknown);
        EXPECT_EQ(s.magic, std::string(reinterpret_cast<const char*>(bytes.data()), 6));
        EXPECT_EQ(checkAllSections(s, 50), "");
    }
}

TEST(Container2004, SectionSizesComeFromTheSectionMap) {
    const auto files = pagedFilesOrSkip();
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto bytes = readFile(files.front());
    dwg::Container2004 c;
    ASSERT_TRUE(c.open(bytes.data(), bytes.size())) << c.error();
    for (const char* section :
         {"AcDb:Header", "AcDb:Classes", "AcDb:Handles", "AcDb:AcDbObjects"}) {
        const dwg::PagedSectionInfo* info = c.findSection(section);
        ASSERT_NE(info, nullptr) << section;
        std::vector<std::uint8_t> out;
        bool complete = false;
        ASSERT_TRUE(c.readSection(section, out, &complete));
        EXPECT_TRUE(complete);
        EXPECT_EQ(out.size(), info->size);
    }
    std::vector<std::uint8_t> out;
    EXPECT_FALSE(c.readSection("AcDb:NoSuchSection", out));
    EXPECT_NE(c.error().find("AcDb:NoSuchSection"), std::string::npos);
}

TEST(Container2004, ADamagedHeaderCrcFallsBackToTheCopyAtTheEnd) {
    const auto files = pagedFilesOrSkip();
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    auto bytes = readFile(files.front());
    bytes[0x80 + 0x30] ^= 0x5A;  // inside the masked block, not the identification string
    std::string error;
    const dwg::RawSections s = dwg::readSections2004(bytes.data(), bytes.size(), &error);
    ASSERT_EQ(error, "");
    ASSERT_FALSE(s.warnings.empty());
    EXPECT_NE(s.warnings.front().find("copy at the end"), std::string::npos) << s.warnings.front();
    EXPECT_EQ(checkFramedSection(s.header, kHeaderSentinel), "");
}

TEST(Container2004, ADamagedDataPageBecomesAWarningAndKeepsTheOtherSections) {
    const auto files = pagedFilesOrSkip();
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto original = readFile(files.front());
    dwg::Container2004 probe;
    ASSERT_TRUE(probe.open(original.data(), original.size()));
    const dwg::PagedSectionInfo* objects = probe.findSection("AcDb:AcDbObjects");
    ASSERT_NE(objects, nullptr);
    ASSERT_FALSE(objects->pages.empty());
    // Flip bytes in the compressed body of the first objects page: the checksum must
    // notice, and nothing may be read outside the buffers.
    const std::uint64_t address = probe.pageAddress(objects->pages.front().number);
    ASSERT_GT(address, 0u);
    std::vector<std::uint8_t> bytes = original;
    for (std::size_t i = 0x40; i < 0x80; ++i) bytes[address + i] ^= 0xA5;
    std::string error;
    const dwg::RawSections s = dwg::readSections2004(bytes.data(), bytes.size(), &error);
    EXPECT_EQ(error, "");
    EXPECT_FALSE(s.warnings.empty());
    EXPECT_EQ(checkFramedSection(s.header, kHeaderSentinel), "");
}

TEST(Container2004, RefusesWhatIsNotAPagedDrawingWithAClearError) {
    std::string error;
    dwg::RawSections s = dwg::readSections2004(nullptr, 0, &error);
    EXPECT_EQ(s.version, dwg::Version::Unknown);
    EXPECT_NE(error, "");

    std::vector<std::uint8_t> flat(0x400, 0);
    std::memcpy(flat.data(), "AC1015", 6);
    s = dwg::readSections2004(flat.data(), flat.size(), &error);
    EXPECT_EQ(s.version, dwg::Version::Unknown);
    EXPECT_NE(error.find("AC1015"), std::string::npos);

    std::vector<std::uint8_t> blank(0x400, 0);
    std::memcpy(blank.data(), "AC1018", 6);
    s = dwg::readSections2004(blank.data(), blank.size(), &error);
    EXPECT_EQ(s.version, dwg::Version::Unknown);
    EXPECT_NE(error.find("header"), std::string::npos);
}

TEST(Container2004, TruncatedFilesFailCleanlyAtEveryLength) {
    const auto files = pagedFilesOrSkip();
    if (files.empty()) GTEST_SKIP() << "the shared DWG corpus is absent";
    const auto bytes = readFile(files.front());
    std::string error;
    const dwg::RawSections whole = dwg::readSections2004(bytes.data(), bytes.size(), &error);
    // Cutting anywhere gives an error or warnings, or loses only what the four sections
    // do not need; never a crash or a silent success with wrong data.
    for (std::size_t cut = 0; cut < bytes.size(); cut += 997) {
        const dwg::RawSections s = dwg::readSections2004(bytes.data(), cut, &error);
        if (error.empty() && s.warnings.empty()) {
            EXPECT_TRUE(s.header == whole.header && s.objects == whole.objects) << "cut at " << cut;
        }
    }
}
