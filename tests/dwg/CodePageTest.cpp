#include "dwgviewx/dwg/CodePage.h"

#include <gtest/gtest.h>

using dwg::CodePageConverter;

TEST(CodePage, ConvertsChineseTextFromGbk) {
    CodePageConverter gbk(39);                                                  // ANSI_936
    EXPECT_EQ(gbk.toUtf8("A:\xCD\xEA\xB3\xC9"), "A:\xE5\xAE\x8C\xE6\x88\x90");  // A:完成
}

TEST(CodePage, ConvertsWesternAndCyrillicSingleBytePages) {
    CodePageConverter w(30);  // ANSI_1252
    EXPECT_EQ(w.toUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    CodePageConverter c(29);                              // ANSI_1251
    EXPECT_EQ(c.toUtf8("\xC4\xE0"), "\xD0\x94\xD0\xB0");  // Да
}

TEST(CodePage, ReplacesBytesThePageCannotMapAndNeverFails) {
    CodePageConverter gbk(39);
    // A lone lead byte at the end and an invalid pair become replacement characters.
    const std::string out = gbk.toUtf8("x\x81");
    EXPECT_EQ(out, "x\xEF\xBF\xBD");
    CodePageConverter unknown(999);
    EXPECT_EQ(unknown.toUtf8("plain"), "plain");
    EXPECT_EQ(unknown.toUtf8("\xE9"), "\xC3\xA9");
}
