// Login and sign-up over HTTP.
#include "ServerFixture.h"
#include "server/Admin.h"

namespace servertest {
namespace {

std::vector<std::string> fields(const std::string& answer) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        const size_t comma = answer.find(',', start);
        out.push_back(answer.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return out;
}

// The client cuts answers at blanks as well as at commas, so a refusal must keep
// its three fields free of blanks to be shown whole.
void expectShownRefusal(const std::string& answer) {
    const auto f = fields(answer);
    EXPECT_GE(f.size(), 3u) << answer;
    EXPECT_NE(f[0], "Y") << answer;
    EXPECT_EQ(answer.find(' '), std::string::npos) << answer;
}

class AccountTest : public ServerTest {};

TEST_F(AccountTest, LoginWithTheRightPasswordAnswersStatusIdSpaceAndName) {
    const std::string id = makeUser("13812345678", "张三", "zhang@example.com");
    EXPECT_EQ(post("UserMng/UserLogon", {{"phone", "13812345678"}, {"password", "secret1"}}),
              "Y," + id + ",1024,张三");
}

TEST_F(AccountTest, LoginAcceptsTheMailAddressAndBlanksAroundTheAccount) {
    const std::string id = makeUser("13812345678", "张三", "zhang@example.com");
    EXPECT_EQ(fields(post("UserMng/UserLogon",
                          {{"phone", " Zhang@Example.com "}, {"password", "secret1"}}))[1],
              id);
}

TEST_F(AccountTest, WrongPasswordAndUnknownPhoneAreRefusedWithTheSameShownReason) {
    makeUser("13812345678", "张三", "zhang@example.com");
    const std::string wrong =
        post("UserMng/UserLogon", {{"phone", "13812345678"}, {"password", "secret2"}});
    const std::string unknown =
        post("UserMng/UserLogon", {{"phone", "13900000001"}, {"password", "secret1"}});
    expectShownRefusal(wrong);
    EXPECT_EQ(wrong, unknown);
    expectShownRefusal(post("UserMng/UserLogon", {}));
}

TEST_F(AccountTest, SignUpCreatesAnAccountThatLogsInOnlyAfterActivation) {
    EXPECT_EQ(post("UserMng/UserRegister", {{"mail", "li@example.com"},
                                            {"password", "abc=123"},
                                            {"phone", "13700000000"},
                                            {"username", "李四"}}),
              "Y");
    const std::string before =
        post("UserMng/UserLogon", {{"phone", "13700000000"}, {"password", "abc=123"}});
    expectShownRefusal(before);
    EXPECT_NE(before.find("激活"), std::string::npos);

    server::admin::activate(service(), "13700000000");
    EXPECT_EQ(
        fields(post("UserMng/UserLogon", {{"phone", "13700000000"}, {"password", "abc=123"}}))[0],
        "Y");
}

TEST_F(AccountTest, APasswordSignedUpWithBlanksAroundItLogsInAsTheClientTrimsIt) {
    post("UserMng/UserRegister", {{"mail", "li@example.com"},
                                  {"password", " pass word "},
                                  {"phone", "13700000000"},
                                  {"username", "李四"}});
    server::admin::activate(service(), "li@example.com");
    EXPECT_EQ(
        fields(post("UserMng/UserLogon", {{"phone", "13700000000"}, {"password", "pass word"}}))[0],
        "Y");
}

TEST_F(AccountTest, DuplicatePhoneOrMailIsRefusedWithAReason) {
    makeUser("13812345678", "张三", "zhang@example.com");
    const std::string samePhone = post("UserMng/UserRegister", {{"mail", "other@example.com"},
                                                                {"password", "secret1"},
                                                                {"phone", "13812345678"},
                                                                {"username", "王五"}});
    const std::string sameMail = post("UserMng/UserRegister", {{"mail", "ZHANG@example.com"},
                                                               {"password", "secret1"},
                                                               {"phone", "13800000009"},
                                                               {"username", "王五"}});
    EXPECT_NE(samePhone, "Y");
    EXPECT_NE(samePhone.find("手机号"), std::string::npos);
    EXPECT_NE(sameMail, "Y");
    EXPECT_NE(sameMail.find("邮箱"), std::string::npos);
    EXPECT_EQ(server::admin::listUsers(service()).size(), 1u);
}

TEST_F(AccountTest, SignUpChecksItsEntriesOnTheServiceToo) {
    auto reg = [&](const std::string& mail, const std::string& pw, const std::string& phone,
                   const std::string& name) {
        return post("UserMng/UserRegister",
                    {{"mail", mail}, {"password", pw}, {"phone", phone}, {"username", name}});
    };
    EXPECT_EQ(reg("a@b.c", "12345", "13700000000", "李四"), "请输入6位以上的密码。");
    EXPECT_EQ(reg("no-at-sign", "123456", "13700000000", "李四"), "您的邮箱地址格式不正确。");
    EXPECT_EQ(reg("a@b.c", "123456", "13700000000", ""), "姓名不能为空。");
    EXPECT_NE(reg("a@b.c", "123456", "13700000000", "Li,Si"), "Y");
    EXPECT_TRUE(server::admin::listUsers(service()).empty());
}

TEST_F(AccountTest, SqlLookingInputIsStoredAndComparedAsPlainText) {
    const std::string name = "x');DROP/**/TABLE/**/users;--";
    EXPECT_EQ(post("UserMng/UserRegister", {{"mail", "a'--@example.com"},
                                            {"password", "' OR '1'='1"},
                                            {"phone", "1'OR'1'='1"},
                                            {"username", name}}),
              "Y");
    expectShownRefusal(
        post("UserMng/UserLogon", {{"phone", "' OR 1=1 --"}, {"password", "' OR '1'='1"}}));
    const auto users = server::admin::listUsers(service());
    ASSERT_EQ(users.size(), 1u);
    EXPECT_EQ(users[0].name, name);
    EXPECT_EQ(users[0].phone, "1'OR'1'='1");
}

TEST_F(AccountTest, FormValuesInGbkAreStoredAsUtf8) {
    // "张三" in GBK.
    EXPECT_EQ(post("UserMng/UserRegister", {{"mail", "z@example.com"},
                                            {"password", "secret1"},
                                            {"phone", "13700000000"},
                                            {"username", "\xD5\xC5\xC8\xFD"}}),
              "Y");
    EXPECT_EQ(server::admin::listUsers(service()).at(0).name, "张三");
}

TEST_F(AccountTest, VersionIsPublishedAsAWholeNumber) {
    EXPECT_EQ(get("UserMng/GetVersion"), "100");
    server::admin::setVersion(service(), 101);
    EXPECT_EQ(get("UserMng/GetVersion"), "101");
}

}  // namespace
}  // namespace servertest
