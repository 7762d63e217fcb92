// The service's text helpers: Base64, query strings, data packets, GBK.
#include <gtest/gtest.h>

#include "server/Base64.h"
#include "server/DataPacket.h"
#include "server/FileStore.h"
#include "server/QueryString.h"
#include "server/Text.h"

namespace {

using namespace server;

TEST(Base64Test, RoundTripsEveryLengthAndIgnoresWhitespace) {
    std::string bytes;
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(base64::decode(base64::encode(bytes)), bytes);
        bytes += static_cast<char>(i * 37);
    }
    EXPECT_EQ(base64::encode("A:\xCD\xEA\xB3\xC9"), "QTrN6rPJ");
    EXPECT_EQ(base64::decode(" QTrN\r\n6rPJ\t"), "A:\xCD\xEA\xB3\xC9");
    EXPECT_EQ(base64::decode(""), "");
}

TEST(Base64Test, RefusesBadLengthsCharactersAndPaddingInTheMiddle) {
    EXPECT_FALSE(base64::decode("QQ"));
    EXPECT_FALSE(base64::decode("QQ=A"));
    EXPECT_FALSE(base64::decode("QQ==QQ=="));
    EXPECT_FALSE(base64::decode("Q Q-="));
    EXPECT_FALSE(base64::decode("===="));
}

TEST(QueryStringTest, KeepsPlusAndEveryEqualsSignOfAValue) {
    const auto pairs = query::parse("/act/FileMng/FileMsgSet?id=3&msgInfo=QUI6zeq8+w==&status=1");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[1].first, "msgInfo");
    EXPECT_EQ(pairs[1].second, "QUI6zeq8+w==");
}

TEST(QueryStringTest, DecodesPercentEscapesAndLeavesBrokenOnesAlone) {
    const auto pairs = query::parse("?mail=a%20b%23c%40x.com&x=%zz%4&&flag");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].second, "a b#c@x.com");
    EXPECT_EQ(pairs[1].second, "%zz%4");
    EXPECT_EQ(pairs[2].first, "flag");
    EXPECT_EQ(pairs[2].second, "");
    EXPECT_TRUE(query::parse("/File\\x.dwg").empty());
}

TEST(DataPacketTest, EscapesMarkupAndKeepsLineBreaksAsCharacterReferences) {
    DataPacket p({"A", "B"});
    p.addRow({"<&\"'>", "x\r\ny\x01"});
    EXPECT_EQ(p.xml(),
              "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
              "<FIELD attrname=\"A\" fieldtype=\"string\" WIDTH=\"5\"/>"
              "<FIELD attrname=\"B\" fieldtype=\"string\" WIDTH=\"5\"/>"
              "</FIELDS><PARAMS/></METADATA><ROWDATA>"
              "<ROW A=\"&lt;&amp;&quot;&apos;&gt;\" B=\"x&#13;&#10;y\"/>"
              "</ROWDATA></DATAPACKET>");
    EXPECT_THROW(p.addRow({"one"}), std::logic_error);
}

TEST(TextTest, NormalizeKeepsUtf8ConvertsGbkAndReplacesTheRest) {
    EXPECT_EQ(text::normalize("完成"), "完成");
    EXPECT_EQ(text::normalize("A:\xCD\xEA\xB3\xC9"), "A:完成");
    EXPECT_EQ(text::normalize("\xFF"), "\xEF\xBF\xBD");
    EXPECT_TRUE(text::isUtf8(text::normalize(std::string("\x80\xFF\xC0\xAF", 4))));
}

TEST(TextTest, TokensHaveNoSeparatorsOfCommaSplitAnswers) {
    EXPECT_EQ(text::token("Li Ming,\"x\"|y!z"), "Li_Ming__x__y_z");
    EXPECT_TRUE(text::isToken("李工"));
    EXPECT_FALSE(text::isToken("a b"));
    EXPECT_FALSE(text::isToken(""));
}

TEST(TextTest, DatesMustBeWellFormed) {
    EXPECT_TRUE(text::isDateTime("2024-05-01 09:07:03"));
    EXPECT_TRUE(text::isDateTime("2024-05-01"));
    EXPECT_FALSE(text::isDateTime("2024-13-01"));
    EXPECT_FALSE(text::isDateTime("2024-05-01' OR '1"));
}

TEST(FileStoreTest, OnlyPlainBaseNamesAreSafe) {
    EXPECT_TRUE(FileStore::isSafeName("0a1b.dwg"));
    for (const char* bad : {"", "..", ".hidden", "../x", "a\\b", "a/b", "a:b", "a b"}) {
        EXPECT_FALSE(FileStore::isSafeName(bad)) << bad;
    }
    EXPECT_EQ(FileStore::extensionOf("C:\\dir.v2\\plan.DWG"), ".DWG");
    EXPECT_EQ(FileStore::extensionOf("C:\\dir.v2\\plan"), "");
    EXPECT_EQ(FileStore::extensionOf("x.d/w"), "");
}

}  // namespace
