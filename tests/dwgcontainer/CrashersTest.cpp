#include <gtest/gtest.h>

#include "CorpusFiles.h"
#include "dwgviewx/dwg/Container2004.h"
#include "dwgviewx/dwg/Container2007.h"

using namespace containertest;

// Every input that once crashed a reader (found by fuzz/dwgcontainer) is read again:
// each must end in an error or in sections, never in a crash.
TEST(ContainerCrashers, EveryKeptCrasherIsReadWithoutCrashing) {
    std::vector<std::string> files;
    for (const auto& f : crasherFiles(""))
        if (f.find("README") == std::string::npos) files.push_back(f);
    if (files.empty()) GTEST_SKIP() << "no crashers have been kept";
    for (const auto& path : files) {
        SCOPED_TRACE(path);
        const auto bytes = readFile(path);
        ASSERT_FALSE(bytes.empty());
        std::string error;
        const dwg::RawSections a = dwg::readSections2004(bytes.data(), bytes.size(), &error);
        EXPECT_TRUE(error.empty() ? a.version != dwg::Version::Unknown
                                  : a.version == dwg::Version::Unknown);
        const dwg::RawSections b = dwg::readSections2007(bytes.data(), bytes.size(), &error);
        EXPECT_TRUE(error.empty() ? b.version == dwg::Version::R2007
                                  : b.version == dwg::Version::Unknown);
    }
}
