// The sign-up dialog: its layout, the checks in their order with GBK lengths, and the
// request against a scripted service.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "account/SignUp.h"
#include "account/frmReg.h"
#include "platform/testing/FakeDialogs.h"
#include "service/ucm.h"
#include "tests/support/TestHttpServer.h"

using account::SignUpEntries;
using account::signUpRefusal;
using platform::testing::FakeDialogs;
using platform::testing::InstallDialogs;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {
// The next widget that the Tab key reaches, past the inner parts of `w` (a memo's
// viewport) and past widgets that take no focus (labels).
QWidget* nextTabStop(QWidget* w) {
    QWidget* n = w->nextInFocusChain();
    while (n && n != w && (w->isAncestorOf(n) || !(n->focusPolicy() & Qt::TabFocus)))
        n = n->nextInFocusChain();
    return n;
}
const SignUpEntries kGood{"张三", "a@b.c", "13800000000", "secret", "secret"};
}  // namespace

TEST(SignUpChecks, TheFirstFailingCheckWinsInTheFixedOrder) {
    EXPECT_EQ(signUpRefusal({"", "nomail", "1", "a", "b"}), "姓名不能为空。");
    EXPECT_EQ(signUpRefusal({" ", "nomail", "1", "a", "b"}), "请输入两次一样的密码。");
    EXPECT_EQ(signUpRefusal({" ", "nomail", "1", "abcde", "abcde"}), "请输入6位以上的密码。");
    EXPECT_EQ(signUpRefusal({" ", "nomail", "1", "abcdef", "abcdef"}), "您的邮箱地址格式不正确。");
    EXPECT_EQ(signUpRefusal({" ", "@", "1", "abcdef", "abcdef"}), "您的手机号格式不正确。");
    EXPECT_EQ(signUpRefusal({" ", "@", "abcdefghijk", "abcdef", "abcdef"}), "");
}

TEST(SignUpChecks, LengthsCountGbkBytes) {
    SignUpEntries e = kGood;
    e.password = e.confirmation = "密码好";  // three characters, six bytes
    EXPECT_EQ(signUpRefusal(e), "");
    e.password = e.confirmation = "密码";
    EXPECT_EQ(signUpRefusal(e), "请输入6位以上的密码。");
    e = kGood;
    e.phone = "一二三四五六";  // twelve bytes
    EXPECT_EQ(signUpRefusal(e), "您的手机号格式不正确。");
    e.phone = "一二三四五6";  // eleven bytes
    EXPECT_EQ(signUpRefusal(e), "");
}

TEST(SignUpChecks, PasswordsThatDifferOnlyInCaseOrBlanksDiffer) {
    SignUpEntries e = kGood;
    e.confirmation = "Secret";
    EXPECT_EQ(signUpRefusal(e), "请输入两次一样的密码。");
    e.confirmation = "secret ";
    EXPECT_EQ(signUpRefusal(e), "请输入两次一样的密码。");
}

namespace {

class SignUpDialogTest : public ::testing::Test {
protected:
    void SetUp() override { ucm::setServiceBase(QString::fromLatin1(server.baseUrl())); }
    void fill(const SignUpEntries& e) {
        form.edtUserName->setText(e.name);
        form.edtMail->setText(e.mail);
        form.edtPhone->setText(e.phone);
        form.edtpwd->setText(e.password);
        form.edtpwd2->setText(e.confirmation);
    }
    TestHttpServer server;
    FakeDialogs dialogs;
    InstallDialogs install{dialogs};
    account::TForm2 form;
};

}  // namespace

TEST_F(SignUpDialogTest, LayoutCaptionAndTabOrderAreAsDesigned) {
    EXPECT_EQ(form.windowTitle(), "注册");
    EXPECT_EQ(form.size(), QSize(291, 273));
    EXPECT_EQ(form.edtUserName->geometry(), QRect(104, 16, 145, 20));
    EXPECT_EQ(form.edtpwd->geometry(), QRect(101, 97, 150, 20));
    EXPECT_EQ(form.mmo1->geometry(), QRect(14, 168, 263, 41));
    EXPECT_TRUE(form.mmo1->isReadOnly());
    EXPECT_EQ(form.btn1->text(), "确认");
    EXPECT_EQ(form.btn2->geometry(), QRect(207, 236, 75, 25));
    const QList<QWidget*> order{form.btn1,   form.btn2,    form.edtMail, form.edtPhone,
                                form.edtpwd, form.edtpwd2, form.mmo1,    form.edtUserName};
    for (qsizetype i = 1; i < order.size(); ++i)
        EXPECT_EQ(nextTabStop(order[i - 1]), order[i]) << i;
}

TEST_F(SignUpDialogTest, ARefusedEntryShowsOnlyItsMessageAndSendsNothing) {
    fill({"", "x", "1", "a", "b"});
    form.btn1->click();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"姓名不能为空。"}));
    EXPECT_EQ(dialogs.lastBox()->caption, "OrvaneCAD");
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_EQ(form.result(), 0);
}

TEST_F(SignUpDialogTest, AnAcceptedSignUpPostsTheFourFieldsInOrderAndClosesWithOk) {
    server.enqueue(ScriptedReply::http(200, "\"Y\""));
    fill(kGood);
    form.btn1->click();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"注册成功。"}));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_EQ(server.requestCount(), 1u);
    const auto request = server.requests().front();
    EXPECT_EQ(request.target, "/act/UserMng/UserRegister");
    const QByteArray& body = request.body;
    const qsizetype mail = body.indexOf("name=\"mail\"");
    const qsizetype pwd = body.indexOf("name=\"password\"");
    const qsizetype phone = body.indexOf("name=\"phone\"");
    const qsizetype user = body.indexOf("name=\"username\"");
    EXPECT_TRUE(mail >= 0 && mail < pwd && pwd < phone && phone < user) << body.toStdString();
    EXPECT_TRUE(body.contains(QString("张三").toUtf8()));
}

TEST_F(SignUpDialogTest, ARefusalOrNoAnswerLeavesTheDialogOpenWithItsEntries) {
    server.enqueue(ScriptedReply::http(200, "\"手机号已注册\""));
    server.enqueue(ScriptedReply::http(500, ""));
    fill(kGood);
    form.btn1->click();
    form.btn1->click();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"注册失败:手机号已注册", "注册失败:"}));
    EXPECT_EQ(form.result(), 0);
    EXPECT_EQ(form.edtPhone->text(), "13800000000");
}

TEST_F(SignUpDialogTest, CancelClosesWithCancel) {
    form.btn2->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
}
