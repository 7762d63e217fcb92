#include <gtest/gtest.h>

#include "dwgviewx/render/TextCodes.h"

using namespace dwgviewx::render;

TEST(TextCodes, DecodeSpecialCharactersAndUnicodeEscapes) {
    EXPECT_EQ(decodeTextCodes("%%c50 %%d %%p0.1 100%%%"), QStringLiteral("Ø50 ° ±0.1 100%"));
    EXPECT_EQ(decodeTextCodes("%%uunder%%u"), QStringLiteral("under"));
    EXPECT_EQ(decodeTextCodes("\\U+4E2D\\U+6587"), QStringLiteral("中文"));
    EXPECT_EQ(decodeTextCodes("%%"), QStringLiteral("%%"));
    EXPECT_EQ(decodeTextCodes("\\U+12"), QStringLiteral("\\U+12"));
}

TEST(TextCodes, StripMultiLineFormattingAndSplitParagraphs) {
    EXPECT_EQ(mtextParagraphs("\\A1;{\\C1;red} \\Lunder\\l"), QStringList{"red under"});
    EXPECT_EQ(mtextParagraphs("a\\Pb\\~c"), (QStringList{"a", QStringLiteral("b\u00A0c")}));
    EXPECT_EQ(mtextParagraphs("1\\S1^2;\""), QStringList{"11/2\""});
    EXPECT_EQ(mtextParagraphs("\\\\x\\{y\\}"), QStringList{"\\x{y}"});
    EXPECT_EQ(mtextParagraphs("\\fArial|b1;text\\"), QStringList{"text\\"});
    EXPECT_EQ(mtextParagraphs("\\H"), QStringList{""});  // a code cut short ends the text
}
