#include "platform/Gbk.h"

#include <gtest/gtest.h>

namespace {

TEST(Gbk, EncodesChineseTextToTwoBytesPerCharacter) {
    EXPECT_EQ(platform::toGbk(QStringLiteral("A:完成")), QByteArray("\x41\x3A\xCD\xEA\xB3\xC9"));
    EXPECT_EQ(platform::fromGbk("\x41\x3A\xCD\xEA\xB3\xC9"), QStringLiteral("A:完成"));
    EXPECT_EQ(platform::gbkLength(QStringLiteral("A:完成")), 6);
}

TEST(Gbk, CountsACharacterGbkCannotHoldAsOneByte) {
    EXPECT_EQ(platform::toGbk(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
    EXPECT_EQ(platform::gbkLength(QStringLiteral("a\U0001F600b")), 3);
}

TEST(Gbk, AcceptsWellFormedUtf8Only) {
    QString out;
    EXPECT_TRUE(platform::decodeUtf8Strict("\xE5\xAE\x8C\xF0\x9F\x98\x80", &out));
    EXPECT_EQ(out, QStringLiteral("完\U0001F600"));
    EXPECT_TRUE(platform::decodeUtf8Strict("", &out));
    EXPECT_TRUE(out.isEmpty());
    for (const QByteArray& bad :
         {QByteArray("\x80"), QByteArray("\xC0\xAF"), QByteArray("\xE0\x80\xAF"),
          QByteArray("\xED\xA0\x80"), QByteArray("\xF4\x90\x80\x80"), QByteArray("\xE5\xAE"),
          QByteArray("\xF5\x80\x80\x80"), QByteArray("ok\xFF")}) {
        out = "unchanged";
        EXPECT_FALSE(platform::decodeUtf8Strict(bad, &out)) << bad.toHex().toStdString();
        EXPECT_EQ(out, "unchanged");
    }
}

TEST(Gbk, KeepsALeadingByteOrderMarkAsACharacter) {
    QString out;
    ASSERT_TRUE(platform::decodeUtf8Strict("\xEF\xBB\xBFY", &out));
    EXPECT_EQ(out, QStringLiteral("\uFEFFY"));
}

}  // namespace
