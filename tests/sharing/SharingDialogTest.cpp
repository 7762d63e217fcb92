// The sharing members dialog: answer parsing, the add and remove commands against a
// scripted loopback service, and the request address built from the typed address.
#include <gtest/gtest.h>

#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "platform/testing/FakeDialogs.h"
#include "service/ucm.h"
#include "sharing/uFrmPublish.h"
#include "tests/support/TestHttpServer.h"

using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

ScriptedReply wrapped(const QString& text) {
    return ScriptedReply::http(200, "\"" + text.toUtf8() + "\"");
}

class SharingDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousBase_ = ucm::ServiceBase();
        ucm::setServiceBase(QString::fromLatin1(server_.baseUrl()));
        ucm::setLogin(QStringLiteral("42"), QStringLiteral("张三"));
    }
    void TearDown() override {
        ucm::setLogin(QString(), QString());
        ucm::setServiceBase(previousBase_);
    }
    // Answers FriendsGet with `members` and FriendsSet with `setAnswer`.
    void serve(const QString& members, const QString& setAnswer) {
        server_.setHandler([members, setAnswer](const RecordedRequest& r) {
            if (r.target.startsWith("/act/UserMng/FriendsGet")) return wrapped(members);
            if (r.target.startsWith("/act/UserMng/FriendsSet")) return wrapped(setAnswer);
            return ScriptedReply::http(404, QByteArray());
        });
    }
    QStringList column(const TFrmPublish& d, int c) const {
        QStringList texts;
        for (int r = 0; r < d.lv1->rowCount(); ++r) texts << d.lv1->item(r, c)->text();
        return texts;
    }
    QByteArray lastTarget() const { return server_.requests().back().target; }

    testsupport::TestHttpServer server_;
    platform::testing::FakeDialogs dialogs_;
    platform::testing::InstallDialogs install_{dialogs_};
    QString previousBase_;
};

}  // namespace

TEST(MemberRecords, TakeTheSecondFieldAsEmailAndSkipRecordsWithoutExactlyTwoFields) {
    const auto members = sharing::ParseMembers(QStringLiteral("a!b|c"));
    ASSERT_EQ(members.size(), 1u);
    EXPECT_EQ(members[0].second, QStringLiteral("b"));
    EXPECT_EQ(members[0].first, QStringLiteral("a"));
    EXPECT_TRUE(sharing::ParseMembers(QString()).empty());
    EXPECT_TRUE(sharing::ParseMembers(QStringLiteral("a!b!c")).empty());
}

TEST(MemberRecords, BlanksSplitLikeTheDelimiterSoOnlyPiecesWithOneBangBecomeRows) {
    // "李 四!li@x.cn" falls apart into "李" and "四!li@x.cn"; only the latter has one "!".
    const auto members = sharing::ParseMembers(QStringLiteral("李 四!li@x.cn|王五!wang@x.cn"));
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[0].first, QStringLiteral("四"));
    EXPECT_EQ(members[0].second, QStringLiteral("li@x.cn"));
    EXPECT_EQ(members[1].first, QStringLiteral("王五"));
}

TEST(QueryValues, OnlyBlanksControlCharactersHashAndNonAsciiArePercentEncoded) {
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("li@x.cn")), QStringLiteral("li@x.cn"));
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("a b")), QStringLiteral("a%20b"));
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("a#b")), QStringLiteral("a%23b"));
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("a\r\nb\t")), QStringLiteral("a%0D%0Ab%09"));
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("王")), QStringLiteral("%E7%8E%8B"));
    EXPECT_EQ(sharing::EncodeQueryValue(QStringLiteral("a&b=c%d+e")), QStringLiteral("a&b=c%d+e"));
    EXPECT_EQ(sharing::EncodeQueryValue(QString(QChar(0x7F))), QStringLiteral("%7F"));
}

TEST_F(SharingDialogTest, LoadsTheMembersWhenCreatedWithTheColumnWidthsOfTheList) {
    serve(QStringLiteral("a!b|c"), QString());
    TFrmPublish d;
    ASSERT_EQ(server_.requestCount(), 1u);
    EXPECT_EQ(server_.requests()[0].target, QByteArray("/act/UserMng/FriendsGet?userid=42"));
    EXPECT_EQ(column(d, 0), QStringList({QStringLiteral("b")}));
    EXPECT_EQ(column(d, 1), QStringList({QStringLiteral("a")}));
    EXPECT_EQ(d.lv1->columnWidth(0), 250);
    EXPECT_EQ(d.lv1->columnWidth(1), 125);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("团队共享成员"));
    EXPECT_EQ(d.size(), QSize(439, 336));
    EXPECT_EQ(d.lv1->geometry(), QRect(8, 56, 417, 265));
}

TEST_F(SharingDialogTest, AFailedListRequestLeavesTheListEmpty) {
    server_.setDefaultReply(ScriptedReply::http(500, QByteArray()));
    TFrmPublish d;
    EXPECT_EQ(d.lv1->rowCount(), 0);
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(SharingDialogTest, AddingAppendsTheEnteredAddressWithTheNameTheServiceGives) {
    serve(QString(), QStringLiteral("Y,李四"));
    TFrmPublish d;
    dialogs_.inputNext(QStringLiteral("li@x.cn"));
    d.btnAdd->click();
    ASSERT_EQ(dialogs_.inputs().size(), 1u);
    EXPECT_EQ(dialogs_.inputs()[0].caption, QStringLiteral("添加好友"));
    EXPECT_EQ(dialogs_.inputs()[0].prompt, QStringLiteral("请输入朋友的注册邮箱地址："));
    EXPECT_EQ(dialogs_.inputs()[0].preset, QStringLiteral("@"));
    EXPECT_EQ(lastTarget(), QByteArray("/act/UserMng/FriendsSet?userid=42&mail=li@x.cn&flag=81"));
    EXPECT_EQ(column(d, 0), QStringList({QStringLiteral("li@x.cn")}));
    EXPECT_EQ(column(d, 1), QStringList({QStringLiteral("李四")}));
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(SharingDialogTest, ATextWithoutAtIsFlaggedAndStillSentAndTheAnswerFollows) {
    serve(QString(), QStringLiteral("N,该邮箱尚未注册。"));
    TFrmPublish d;
    dialogs_.inputNext(QStringLiteral("lixcn"));
    d.btnAdd->click();
    EXPECT_EQ(dialogs_.boxTexts(), QStringList({QStringLiteral("您输入的格式不正确。"),
                                                QStringLiteral("该邮箱尚未注册。")}));
    EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("提示"));
    EXPECT_EQ(lastTarget(), QByteArray("/act/UserMng/FriendsSet?userid=42&mail=lixcn&flag=81"));
    EXPECT_EQ(d.lv1->rowCount(), 0);
}

TEST_F(SharingDialogTest, CancellingTheAddBoxSendsTheDefaultAt) {
    serve(QString(), QStringLiteral("N,该邮箱尚未注册。"));
    TFrmPublish d;
    d.btnAdd->click();  // the double cancels: the preset comes back
    EXPECT_EQ(lastTarget(), QByteArray("/act/UserMng/FriendsSet?userid=42&mail=@&flag=81"));
}

TEST_F(SharingDialogTest, AnAddressWithBlanksOrNonAsciiIsSentPercentEncoded) {
    serve(QString(), QStringLiteral("N,x"));
    TFrmPublish d;
    dialogs_.inputNext(QStringLiteral(" 王 @x.cn#"));
    d.btnAdd->click();
    EXPECT_EQ(lastTarget(),
              QByteArray("/act/UserMng/FriendsSet?userid=42&mail=%20%E7%8E%8B%20@x.cn%23&flag=81"));
}

TEST_F(SharingDialogTest, AnAnswerThatDoesNotSplitIntoTwoPartsShowsNothing) {
    for (const QString& answer :
         {QString(), QStringLiteral("Y"), QStringLiteral("N,有 空格"), QStringLiteral("Y,a,b")}) {
        serve(QString(), answer);
        dialogs_.clear();
        TFrmPublish d;
        dialogs_.inputNext(QStringLiteral("a@b"));
        d.btnAdd->click();
        EXPECT_TRUE(dialogs_.boxes().empty()) << answer.toStdString();
        EXPECT_EQ(d.lv1->rowCount(), 0);
    }
}

TEST_F(SharingDialogTest, RemovingSendsTheNameColumnAndKeepsTheRowListed) {
    serve(QStringLiteral("李四!li@x.cn"), QStringLiteral("Y,ok"));
    TFrmPublish d;
    d.btnDel->click();  // nothing selected: nothing sent
    EXPECT_EQ(server_.requestCount(), 1u);
    d.lv1->selectRow(0);
    d.btnDel->click();
    EXPECT_EQ(lastTarget(),
              QByteArray("/act/UserMng/FriendsSet?userid=42&mail=%E6%9D%8E%E5%9B%9B&flag=71"));
    EXPECT_EQ(dialogs_.boxTexts(),
              QStringList({QStringLiteral("已删除，不再向用户[li@x.cn]提供分享")}));
    EXPECT_EQ(d.lv1->rowCount(), 1);
}

TEST_F(SharingDialogTest, ARefusedRemovalShowsTheServiceMessage) {
    serve(QStringLiteral("李四!li@x.cn"), QStringLiteral("N,不是共享成员。"));
    TFrmPublish d;
    d.lv1->selectRow(0);
    d.btnDel->click();
    EXPECT_EQ(dialogs_.boxTexts(), QStringList({QStringLiteral("不是共享成员。")}));
}

TEST_F(SharingDialogTest, OnlyTheEmailColumnCanBeEditedInPlace) {
    serve(QStringLiteral("李四!li@x.cn"), QString());
    TFrmPublish d;
    EXPECT_TRUE(d.lv1->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(d.lv1->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(d.lv1->horizontalHeader()->sectionsClickable());
}
