#include <gtest/gtest.h>

#include "service/ucm.h"

namespace {

using ucm::SplitDelimited;

QStringList split(const QString& text) {
    return SplitDelimited(text, QLatin1Char(','));
}

TEST(SplitDelimited, CutsALoginAnswerIntoItsFourFields) {
    EXPECT_EQ(split(QStringLiteral("Y,17,0,张三")), QStringList({"Y", "17", "0", "张三"}));
}

TEST(SplitDelimited, TreatsABlankInsideAFieldAsASeparator) {
    EXPECT_EQ(split(QStringLiteral("Y,Zhang San")), QStringList({"Y", "Zhang", "San"}));
    EXPECT_EQ(split(QStringLiteral("a\tb\x01"
                                   "c")),
              QStringList({"a", "b", "c"}));
}

TEST(SplitDelimited, GivesAnEmptyFieldBetweenTwoDelimiters) {
    EXPECT_EQ(split(QStringLiteral("a,,b")), QStringList({"a", "", "b"}));
    EXPECT_EQ(split(QStringLiteral(",a")), QStringList({"", "a"}));
}

TEST(SplitDelimited, GivesAnEmptyLastFieldForADelimiterAtTheVeryEnd) {
    EXPECT_EQ(split(QStringLiteral("a,")), QStringList({"a", ""}));
    EXPECT_EQ(split(QStringLiteral(",")), QStringList({"", ""}));
    EXPECT_EQ(split(QStringLiteral("a, ")), QStringList({"a"})) << "the delimiter is not last";
}

TEST(SplitDelimited, GivesNoFieldForEmptyOrBlankText) {
    EXPECT_TRUE(split(QString()).isEmpty());
    EXPECT_TRUE(split(QStringLiteral("   \r\n\t")).isEmpty());
}

TEST(SplitDelimited, SkipsBlanksAroundFieldsAndDelimiters) {
    EXPECT_EQ(split(QStringLiteral("  a ,  b  ")), QStringList({"a", "b"}));
}

TEST(SplitDelimited, KeepsQuotedTextWholeAndUndoublesQuotes) {
    EXPECT_EQ(split(QStringLiteral("\"a b,c\",d")), QStringList({"a b,c", "d"}));
    EXPECT_EQ(split(QStringLiteral("\"say \"\"hi\"\"\"")), QStringList({"say \"hi\""}));
    EXPECT_EQ(split(QStringLiteral("\"\",x")), QStringList({"", "x"}));
    EXPECT_EQ(split(QStringLiteral("\"open, never closed")), QStringList({"open, never closed"}));
    EXPECT_EQ(split(QStringLiteral("\"ab\"cd,e")), QStringList({"ab", "cd", "e"}));
}

TEST(SplitDelimited, StepsOverTwoByteCharactersWhoseSecondByteLooksLikeTheDelimiter) {
    // "亅" is 0x81 0x7C in GBK: its second byte is "|".
    EXPECT_EQ(SplitDelimited(QStringLiteral("亅|a"), QLatin1Char('|')), QStringList({"亅", "a"}));
    // "乗" is 0x81 0x5C in GBK: its second byte is "\".
    EXPECT_EQ(SplitDelimited(QStringLiteral("乗\\b"), QLatin1Char('\\')), QStringList({"乗", "b"}));
}

TEST(SplitDelimited, UsesOtherDelimitersToo) {
    EXPECT_EQ(SplitDelimited(QStringLiteral("Y|1|x"), QLatin1Char('|')),
              QStringList({"Y", "1", "x"}));
    EXPECT_EQ(SplitDelimited(QStringLiteral("a,b"), QLatin1Char('|')), QStringList({"a,b"}));
}

}  // namespace
