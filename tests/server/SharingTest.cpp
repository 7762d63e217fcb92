// Sharing members and messages.
#include "ServerFixture.h"
#include "server/Admin.h"

namespace servertest {
namespace {

constexpr const char* kFolder = "{11111111-2222-3333-4444-555555555555}";

class SharingTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        alice = makeUser("13800000001", "Alice", "alice@example.com");
        bob = makeUser("13800000002", "鲍勃", "bob#1@example.com");
        post("FileMng/CommitFile2",
             {{"userId", alice}, {"fileName", "项目"}, {"pid", ""}, {"id", kFolder}});
    }
    std::string friends(const std::string& rest) {
        const std::string answer = get("UserMng/FriendsSet?userid=" + alice + rest);
        EXPECT_EQ(answer.find(' '), std::string::npos) << answer;
        return answer;
    }
    std::vector<Row> bobsCatalogue() {
        return decodeRows(post("FileMng/GetFiles", {{"userId", bob}}));
    }
    std::string alice;
    std::string bob;
};

TEST_F(SharingTest, AddingAMemberByPercentEncodedMailSharesTheLibraryUnderTheOwnersName) {
    EXPECT_TRUE(bobsCatalogue().empty());
    EXPECT_EQ(friends("&mail=BOB%231%40example.com&flag=81"), "Y,鲍勃");
    EXPECT_EQ(get("UserMng/FriendsGet?userid=" + alice), "鲍勃!bob#1@example.com");

    const auto rows = bobsCatalogue();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("FileId"), kFolder);
    EXPECT_EQ(rows[0].at("Flag"), "1");
    EXPECT_EQ(rows[0].at("UserName"), "Alice");
    // Sharing is one way: Alice does not see Bob's library.
    EXPECT_EQ(get("UserMng/FriendsGet?userid=" + bob), "");
}

TEST_F(SharingTest, RemovingByTheNameColumnEndsTheSharing) {
    friends("&mail=bob%231@example.com&flag=81");
    EXPECT_EQ(friends("&mail=%E9%B2%8D%E5%8B%83&flag=71").substr(0, 2), "Y,");
    EXPECT_EQ(get("UserMng/FriendsGet?userid=" + alice), "");
    EXPECT_TRUE(bobsCatalogue().empty());
    EXPECT_EQ(friends("&mail=%E9%B2%8D%E5%8B%83&flag=71").substr(0, 2), "N,");
}

TEST_F(SharingTest, RefusalsAnswerACodeAndAMessageWithoutBlanks) {
    EXPECT_EQ(friends("&mail=nobody@example.com&flag=81").substr(0, 2), "N,");
    EXPECT_EQ(friends("&mail=alice@example.com&flag=81").substr(0, 2), "N,");
    EXPECT_EQ(friends("&mail=@&flag=81").substr(0, 2), "N,");
    friends("&mail=bob%231@example.com&flag=81");
    const std::string twice = friends("&mail=bob%231@example.com&flag=81");
    EXPECT_EQ(twice.substr(0, 2), "N,");
    EXPECT_EQ(std::count(twice.begin(), twice.end(), ','), 1);
    EXPECT_EQ(friends("&mail=bob%231@example.com&flag=99").substr(0, 2), "N,");
    EXPECT_EQ(get("UserMng/FriendsSet?userid=999&mail=bob%231@example.com&flag=81").substr(0, 2),
              "N,");
}

TEST_F(SharingTest, MessagesAreSelectedByAccountTextAndDateOldestFirst) {
    server::admin::addMessage(service(), "13800000001", "2024-01-01 08:00:00", "old");
    server::admin::addMessage(service(), "13800000001", "2024-06-02 08:00:00", "第二条\r\n两行");
    server::admin::addMessage(service(), "alice@example.com", "2024-06-01 08:00:00", "by mail");
    server::admin::addMessage(service(), "13800000002", "2024-06-01 08:00:00", "for bob");
    server::admin::addMessage(service(), "*", "2024-07-01 08:00:00", "everybody");

    auto poll = [&](const std::string& account, const std::string& from) {
        std::vector<std::string> texts;
        for (const auto& r :
             decodeRows(post("UserMng/GetMsg", {{"userId", account}, {"fromdate", from}}))) {
            texts.push_back(r.at("msginfo"));
        }
        return texts;
    };
    using V = std::vector<std::string>;
    EXPECT_EQ(poll("13800000001", "2024-05-01 09:07:03"),
              (V{"by mail", "第二条\r\n两行", "everybody"}));
    EXPECT_EQ(poll("alice@example.com", "2024-06-02 08:00:00"), (V{"第二条\r\n两行", "everybody"}));
    EXPECT_EQ(poll("", "2024-01-01 00:00:00"), (V{"everybody"}));
    EXPECT_EQ(poll("13800000001", "not a date"), V{});
    EXPECT_EQ(poll("13800000001", "2025-01-01 00:00:00"), V{});
}

}  // namespace
}  // namespace servertest
