// The message box: paging, button states, the placement rule and the window's looks.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include "notify/MessageRows.h"
#include "notify/uFrmTip.h"
#include "service/RowSet.h"
#include "tests/notify/NotifyFixtures.h"

TEST(MessageBox, WithOneMessageBothPagingButtonsAreDisabled) {
    TFrmTip tip;
    tip.SetMsgTexts({QStringLiteral("唯一的消息")});
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("唯一的消息"));
    EXPECT_FALSE(tip.btn1->isEnabled());
    EXPECT_FALSE(tip.btn2->isEnabled());
}

TEST(MessageBox, PagesThroughThreeMessagesInRowOrder) {
    TFrmTip tip;
    tip.SetMsgTexts({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("一"));
    EXPECT_FALSE(tip.btn1->isEnabled());
    EXPECT_TRUE(tip.btn2->isEnabled());
    tip.btn2->click();
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("二"));
    EXPECT_TRUE(tip.btn1->isEnabled());
    EXPECT_TRUE(tip.btn2->isEnabled());
    tip.btn2->click();
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("三"));
    EXPECT_TRUE(tip.btn1->isEnabled());
    EXPECT_FALSE(tip.btn2->isEnabled());
    tip.btn1->click();
    tip.btn1->click();
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("一"));
    EXPECT_EQ(tip.MsgIndex(), 0);
    EXPECT_FALSE(tip.btn1->isEnabled());
}

TEST(MessageBox, AMessageWithLineBreaksShowsOnSeveralLines) {
    TFrmTip tip;
    tip.SetMsgTexts({QStringLiteral("第一行\r\n第二行\r\n第三行")});
    EXPECT_EQ(tip.mmo2->document()->blockCount(), 3);
    EXPECT_EQ(tip.mmo2->document()->findBlockByNumber(1).text(), QStringLiteral("第二行"));
}

TEST(MessageBox, ReadsTheMessagesFromARowSetAnswer) {
    ucm::RowSet rows = ucm::RowSet::load(QByteArray::fromBase64(
        notifytest::messagesAnswer({QStringLiteral("a"), QStringLiteral("b")})));
    TFrmTip tip;
    tip.SetMsgRows(rows);
    EXPECT_EQ(tip.MsgCount(), 2);
    EXPECT_EQ(tip.mmo2->toPlainText(), QStringLiteral("a"));
}

TEST(MessageBox, SitsAtTheRightEdgeFiftyPixelsAboveTheScreenBottom) {
    EXPECT_EQ(TFrmTip::PlaceOnScreen(QSize(1920, 1080), QSize(285, 208)), QPoint(1635, 822));
}

TEST(MessageBox, IsASmallAlwaysOnTopWindowThatDoesNotBlock) {
    TFrmTip tip;
    EXPECT_EQ(tip.windowTitle(), QStringLiteral("消息盒子"));
    EXPECT_EQ(tip.size(), QSize(279, 179));
    EXPECT_TRUE(tip.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(tip.isModal());
    EXPECT_EQ(tip.btn3->text(), QStringLiteral("关闭"));
    EXPECT_EQ(tip.btn1->geometry(), QRect(9, 153, 87, 25));
    EXPECT_EQ(tip.mmo2->geometry(), QRect(3, 6, 271, 143));
}

TEST(MessageBox, CloseButtonClosesTheWindow) {
    TFrmTip tip;
    tip.SetMsgTexts({QStringLiteral("x")});
    tip.show();
    ASSERT_TRUE(tip.isVisible());
    tip.btn3->click();
    EXPECT_FALSE(tip.isVisible());
}

TEST(MessageAnswer, RowsWithoutAMsginfoColumnAreRefused) {
    const QByteArray packet =
        "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"other\" "
        "fieldtype=\"string\"/>"
        "</FIELDS><PARAMS/></METADATA><ROWDATA><ROW other=\"x\"/></ROWDATA></DATAPACKET>";
    EXPECT_ANY_THROW(notify::ReadMessages(QString::fromLatin1(packet.toBase64())));
    EXPECT_ANY_THROW(notify::ReadMessages(QStringLiteral("abc")));
    EXPECT_EQ(notify::ReadMessages(QString::fromLatin1(notifytest::messagesAnswer({}))).size(), 0);
}
