#include "service/Base64.h"

#include <gtest/gtest.h>

#include "platform/Gbk.h"

namespace {

using ucm::Base64Decode;
using ucm::Base64Encode;
using ucm::Base64Error;

std::string errorOf(const QString& text) {
    try {
        Base64Decode(text);
    } catch (const Base64Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(Base64, EncodesOneTwoAndThreeBytesWithTheRightPadding) {
    EXPECT_EQ(Base64Encode(QByteArray("M")), "TQ==");
    EXPECT_EQ(Base64Encode(QByteArray("Ma")), "TWE=");
    EXPECT_EQ(Base64Encode(QByteArray("Man")), "TWFu");
    EXPECT_EQ(Base64Encode(QByteArray()), "");
}

TEST(Base64, EncodesLongInputWithoutLineBreaks) {
    const QByteArray bytes(1000, '\xfb');
    const QString text = Base64Encode(bytes);
    EXPECT_EQ(text.size(), 4 * ((1000 + 2) / 3));
    EXPECT_FALSE(text.contains('\n'));
    EXPECT_EQ(Base64Decode(text), bytes);
}

TEST(Base64, EncodesTextFromItsGbkBytes) {
    const QString text = QStringLiteral("完成");  // CD EA B3 C9 in GBK
    EXPECT_EQ(ucm::Base64EncodeText(text), Base64Encode(QByteArray("\xCD\xEA\xB3\xC9")));
    EXPECT_EQ(platform::fromGbk(Base64Decode(ucm::Base64EncodeText(text))), text);
}

TEST(Base64, DecodesPaddedGroupsToOneOrTwoBytes) {
    EXPECT_EQ(Base64Decode(QStringLiteral("TQ==")), QByteArray("M"));
    EXPECT_EQ(Base64Decode(QStringLiteral("TWE=")), QByteArray("Ma"));
    EXPECT_EQ(Base64Decode(QStringLiteral("TWFu")), QByteArray("Man"));
}

TEST(Base64, IgnoresLineBreaksTabsAndBlanksAnywhere) {
    const QByteArray bytes = QByteArray("The quick brown fox jumps over the lazy dog, twice over.");
    const QString plain = Base64Encode(bytes);
    QString broken;
    for (qsizetype i = 0; i < plain.size(); ++i) {
        broken += plain[i];
        if (i % 7 == 6) broken += QStringLiteral("\r\n");
        if (i % 11 == 3) broken += QStringLiteral(" \t");
    }
    EXPECT_EQ(Base64Decode(broken), bytes);
}

TEST(Base64, DecodesEmptyOrBlankTextToNothing) {
    EXPECT_TRUE(Base64Decode(QString()).isEmpty());
    EXPECT_TRUE(Base64Decode(QStringLiteral(" \r\n\t ")).isEmpty());
}

TEST(Base64, RejectsALengthThatIsNoMultipleOfFour) {
    EXPECT_EQ(errorOf(QStringLiteral("TQ")), "Error while calculating streamlength");
    EXPECT_EQ(errorOf(QStringLiteral("TWFuT")), "Error while calculating streamlength");
}

TEST(Base64, RejectsCharactersOutsideTheAlphabetAndMisplacedPadding) {
    EXPECT_EQ(errorOf(QStringLiteral("TW-u")), "Invalid character in Base64 text");
    EXPECT_EQ(errorOf(QStringLiteral("T=Fu")), "Invalid character in Base64 text");
    EXPECT_EQ(errorOf(QStringLiteral("TWF=TWFu")), "Invalid character in Base64 text");
    EXPECT_EQ(errorOf(QStringLiteral("TW=u")), "Invalid character in Base64 text");
    EXPECT_EQ(errorOf(QStringLiteral("TWF\u00e9")), "Invalid character in Base64 text");
    EXPECT_EQ(errorOf(QStringLiteral("====")), "Invalid character in Base64 text");
}

TEST(Base64, RoundTripsEveryByteValue) {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all.append(static_cast<char>(i));
    for (int cut = 0; cut < 4; ++cut) {
        const QByteArray bytes = all.left(all.size() - cut);
        EXPECT_EQ(Base64Decode(Base64Encode(bytes)), bytes);
        EXPECT_EQ(Base64Encode(bytes), QString::fromLatin1(bytes.toBase64()));
    }
}

}  // namespace
