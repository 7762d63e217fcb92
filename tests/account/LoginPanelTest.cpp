// The login panel against a scripted service on loopback: every branch of the answer,
// what is sent, and what a success changes.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "account/Login.h"
#include "account/LoginHost.h"
#include "account/TLoginPanel.h"
#include "platform/testing/FakeDialogs.h"
#include "service/ucm.h"
#include "tests/support/TestHttpServer.h"

using platform::testing::FakeDialogs;
using platform::testing::InstallDialogs;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

struct RecordingHost : account::LoginHost {
    void setStatusText(const QString& text) override { statusTexts << text; }
    void applyLoginState() override { ++stateApplied; }
    void openUserLibrary(const QString& folder) override { libraries << folder; }
    QStringList statusTexts;
    int stateApplied = 0;
    QStringList libraries;
};

// The service wraps every answer in quotes.
ScriptedReply answer(const QByteArray& text) {
    return ScriptedReply::http(200, '"' + text + '"');
}

class LoginPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ucm::setServiceBase(QString::fromLatin1(server.baseUrl()));
        ucm::setLocalRoot(root.path() + "/");
        ucm::setLogin(QString(), QString());
    }
    void TearDown() override { ucm::setLogin(QString(), QString()); }

    QByteArray sentBody() {
        EXPECT_TRUE(server.waitForRequests(1));
        return server.requests().back().body;
    }

    TestHttpServer server;
    QTemporaryDir root;
    FakeDialogs dialogs;
    InstallDialogs install{dialogs};
    RecordingHost host;
    QWidget pane;  // the library pane the panel lives in
    account::TLoginPanel panel{host, &pane};
};

}  // namespace

TEST_F(LoginPanelTest, ControlsSitWhereDesignedInTabOrder) {
    EXPECT_EQ(panel.objectName(), "pnlLogin");
    EXPECT_EQ(panel.edt1->geometry(), QRect(74, 33, 207, 23));
    EXPECT_EQ(panel.edt2->geometry(), QRect(74, 68, 207, 23));
    EXPECT_EQ(panel.edt2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(panel.btn1->geometry(), QRect(178, 119, 100, 25));
    EXPECT_TRUE(panel.btn1->font().bold());
    EXPECT_EQ(panel.btn3->geometry(), QRect(76, 119, 85, 25));
    EXPECT_EQ(panel.tbxchckbx1->text(), "记住密码");
    EXPECT_EQ(panel.edt1->nextInFocusChain(), panel.edt2);
    EXPECT_EQ(panel.edt2->nextInFocusChain(), panel.btn1);
    EXPECT_EQ(panel.btn1->nextInFocusChain(), panel.btn3);
    EXPECT_EQ(panel.btn3->nextInFocusChain(), panel.tbxchckbx1);
}

TEST_F(LoginPanelTest, SuccessSetsLoginValuesStatusAndMakesTheUserFolder) {
    server.enqueue(answer("Y,42,980,Zhang"));
    panel.edt1->setText("13800000000");
    panel.edt2->setText("secret");
    panel.btn1->click();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"登录成功。"}));
    EXPECT_EQ(dialogs.lastBox()->caption, "提示");
    EXPECT_EQ(ucm::CurrentUserId(), "42");
    EXPECT_EQ(ucm::CurrentUserName(), "Zhang");
    EXPECT_EQ(host.statusTexts, QStringList({"您拥有的网盘空间剩余：980MB"}));
    EXPECT_TRUE(panel.isHidden());
    EXPECT_EQ(host.stateApplied, 1);
    ASSERT_EQ(host.libraries.size(), 1);
    EXPECT_EQ(host.libraries.first(), ucm::UserFolder());
    EXPECT_TRUE(QDir(ucm::UserFolder()).exists());
    const QByteArray body = sentBody();
    EXPECT_EQ(server.requests().back().target, "/act/UserMng/UserLogon");
    EXPECT_TRUE(body.contains("13800000000"));
}

TEST_F(LoginPanelTest, AnEmptyAnswerOrTwoFieldsReportTheNetwork) {
    server.enqueue(ScriptedReply::http(500, ""));
    panel.LogIn();
    server.enqueue(answer("N,wrong"));
    panel.LogIn();
    EXPECT_EQ(dialogs.boxTexts(),
              QStringList({"登录不上，请检查一下网络。", "登录不上，请检查一下网络。"}));
    EXPECT_EQ(dialogs.lastBox()->caption, "提示");
    EXPECT_TRUE(ucm::CurrentUserId().isEmpty());
    EXPECT_TRUE(host.statusTexts.isEmpty());
    EXPECT_TRUE(host.libraries.isEmpty());
}

TEST_F(LoginPanelTest, ARefusalOfThreeFieldsShowsTheWholeAnswer) {
    server.enqueue(answer("N,密码错误,0"));
    panel.LogIn();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"登录失败：N,密码错误,0"}));
    EXPECT_EQ(dialogs.lastBox()->caption, "OrvaneCAD");
    EXPECT_TRUE(ucm::CurrentUserId().isEmpty());
    EXPECT_FALSE(panel.isHidden());
}

TEST_F(LoginPanelTest, ASuccessWithAnEmptyIdKeepsThePanelAndLoadsNothing) {
    server.enqueue(answer("Y,,100,Li"));
    panel.LogIn();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"登录成功。"}));
    EXPECT_EQ(ucm::CurrentUserName(), "Li");
    EXPECT_EQ(host.statusTexts, QStringList({"您拥有的网盘空间剩余：100MB"}));
    EXPECT_FALSE(panel.isHidden());
    EXPECT_TRUE(host.libraries.isEmpty());
    EXPECT_TRUE(QDir(root.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(LoginPanelTest, ANameWithABlankIsCutAtTheBlankAndThreeFieldsGiveAnEmptyName) {
    server.enqueue(answer("Y,7,5,Wang Wu"));
    panel.LogIn();
    EXPECT_EQ(ucm::CurrentUserName(), "Wang");
    ucm::setLogin(QString(), QString());
    server.enqueue(answer("Y,8,5"));
    panel.LogIn();
    EXPECT_EQ(ucm::CurrentUserId(), "8");
    EXPECT_EQ(ucm::CurrentUserName(), "");
}

TEST_F(LoginPanelTest, ThePasswordIsSentTrimmedAndTheAccountAsTyped) {
    server.enqueue(answer("N,x,y"));
    panel.edt1->setText(" 138 0000 ");
    panel.edt2->setText(" \tpa ss\r\n");
    panel.LogIn();
    const QByteArray body = sentBody();
    EXPECT_TRUE(body.contains("\r\n\r\n 138 0000 \r\n")) << body.toStdString();
    EXPECT_TRUE(body.contains("\r\n\r\npa ss\r\n")) << body.toStdString();
}

TEST(TrimBlanksAndControls, RemovesCharactersUpToBlankAtBothEndsOnly) {
    EXPECT_EQ(account::trimBlanksAndControls(QString::fromUtf8("\x01 a b\x1f ")), "a b");
    EXPECT_EQ(account::trimBlanksAndControls("   "), "");
    // The ideographic space is no control character and stays.
    EXPECT_EQ(account::trimBlanksAndControls(QString::fromUtf8("\u3000x")),
              QString::fromUtf8("\u3000x"));
}
