#include "service/RowSet.h"

#include <gtest/gtest.h>

#include "service/Base64.h"

namespace {

using ucm::RowSet;
using ucm::RowSetError;

const QByteArray kTasks =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
    "<FIELD attrname=\"Id\" fieldtype=\"string\" WIDTH=\"38\"/>"
    "<FIELD attrname=\"MsgInfo\" fieldtype=\"string\" WIDTH=\"2000\"/>"
    "<FIELD attrname=\"Status\" fieldtype=\"i4\"/>"
    "</FIELDS><PARAMS/></METADATA><ROWDATA>"
    "<ROW Id=\"1\" MsgInfo=\"\xE5\xAE\x8C\xE6\x88\x90 &amp; &lt;ok&gt; &quot;q&quot;\" "
    "Status=\"0\"/>"
    "<ROW Id=\"2\" MsgInfo=\"line&#13;&#10;two\" Status=\"1\"/>"
    "<ROW Id=\"3\" Status=\"2\"/>"
    "</ROWDATA></DATAPACKET>";

std::string errorOf(const QByteArray& packet) {
    try {
        RowSet::load(packet);
    } catch (const RowSetError& e) {
        return e.what();
    }
    return "no error";
}

TEST(RowSet, ReadsRowsInOrderWithUnescapedTextValues) {
    RowSet set = RowSet::load(kTasks);
    EXPECT_EQ(set.rowCount(), 3);
    ASSERT_FALSE(set.atEnd());
    EXPECT_EQ(set.value("Id"), "1");
    EXPECT_EQ(set.value("MsgInfo"), QStringLiteral("完成 & <ok> \"q\""));
    set.next();
    EXPECT_EQ(set.value("MsgInfo"), "line\r\ntwo");
    EXPECT_EQ(set.value("Status"), "1");
    set.next();
    EXPECT_EQ(set.value("MsgInfo"), "") << "a row without the attribute holds an empty text";
    set.next();
    EXPECT_TRUE(set.atEnd());
    set.next();
    EXPECT_TRUE(set.atEnd()) << "moving past the end stays at the end";
    set.first();
    EXPECT_EQ(set.value("Id"), "1");
}

TEST(RowSet, FindsFieldsInAnyLetterCase) {
    RowSet set = RowSet::load(kTasks);
    EXPECT_EQ(set.value("msginfo"), set.value("MsgInfo"));
    EXPECT_EQ(set.value("MSGINFO"), set.value("MsgInfo"));
    EXPECT_TRUE(set.hasField("id"));
    EXPECT_EQ(set.fieldNames(), QStringList({"Id", "MsgInfo", "Status"}));
}

TEST(RowSet, NamesAMissingFieldInItsError) {
    RowSet set = RowSet::load(kTasks);
    try {
        set.value("FilePath");
        FAIL() << "no error";
    } catch (const RowSetError& e) {
        EXPECT_STREQ(e.what(), "Field 'FilePath' not found");
    }
}

TEST(RowSet, APacketWithoutRowsIsAtItsEndAtOnce) {
    const QByteArray packet =
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"msginfo\" "
        "fieldtype=\"string\"/></FIELDS><PARAMS/></METADATA><ROWDATA></ROWDATA></DATAPACKET>";
    RowSet set = RowSet::load(packet);
    EXPECT_TRUE(set.atEnd());
    EXPECT_EQ(set.rowCount(), 0);
    EXPECT_EQ(set.value("msginfo"), "");
    EXPECT_TRUE(RowSet().atEnd());
}

TEST(RowSet, LoadsThePacketThatABase64AnswerCarries) {
    RowSet set = RowSet::load(ucm::Base64Decode(ucm::Base64Encode(kTasks)));
    EXPECT_EQ(set.rowCount(), 3);
}

TEST(RowSet, RefusesPacketsItCannotRead) {
    EXPECT_NE(errorOf(""), "no error");
    EXPECT_NE(errorOf("not xml at all"), "no error");
    EXPECT_NE(errorOf("<DATAPACKET><METADATA><FIELDS>"), "no error") << "truncated";
    EXPECT_NE(errorOf("<OTHER/>"), "no error");
    EXPECT_NE(errorOf("<DATAPACKET><ROWDATA><ROW a=\"1\"/></ROWDATA></DATAPACKET>"), "no error")
        << "rows without a field list";
    EXPECT_NE(errorOf("<DATAPACKET><METADATA><FIELDS><FIELD/></FIELDS></METADATA></DATAPACKET>"),
              "no error")
        << "a field without a name";
    EXPECT_EQ(errorOf("garbage").rfind("Cannot read the data packet: ", 0), 0u);
}

TEST(RowSet, IgnoresUndeclaredAttributesAndUnknownElements) {
    const QByteArray packet =
        "<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\"/><FIELD attrname=\"a\"/>"
        "</FIELDS><PARAMS x=\"1\"/></METADATA><ROWDATA><ROW A=\"1\" B=\"2\" RowState=\"4\"/>"
        "<EXTRA/><ROW A=\"3\"><CHILD/></ROW></ROWDATA></DATAPACKET>";
    RowSet set = RowSet::load(packet);
    EXPECT_EQ(set.fieldNames(), QStringList({"A"})) << "like-named fields count once";
    EXPECT_EQ(set.rowCount(), 2);
    EXPECT_FALSE(set.hasField("B"));
    set.next();
    EXPECT_EQ(set.value("a"), "3");
}

TEST(RowSet, RefusesMoreFieldsThanItsLimit) {
    QByteArray packet = "<DATAPACKET><METADATA><FIELDS>";
    for (int i = 0; i <= RowSet::kMaxFields; ++i) {
        packet += "<FIELD attrname=\"f" + QByteArray::number(i) + "\"/>";
    }
    packet += "</FIELDS></METADATA></DATAPACKET>";
    EXPECT_NE(errorOf(packet), "no error");
}

TEST(RowSet, RefusesMoreValuesThanItsLimitInsteadOfExhaustingMemory) {
    QByteArray packet = "<DATAPACKET><METADATA><FIELDS>";
    for (int i = 0; i < RowSet::kMaxFields; ++i) {
        packet += "<FIELD attrname=\"f" + QByteArray::number(i) + "\"/>";
    }
    packet += "</FIELDS></METADATA><ROWDATA>";
    const qsizetype rows = RowSet::kMaxCells / RowSet::kMaxFields + 1;
    for (qsizetype i = 0; i < rows; ++i) packet += "<ROW/>";
    packet += "</ROWDATA></DATAPACKET>";
    EXPECT_NE(errorOf(packet), "no error");
}

}  // namespace
