// Review tasks: adding with a picture, listing, and changing by Base64 text.
#include "ServerFixture.h"
#include "server/Admin.h"
#include "server/Base64.h"
#include "server/DemoPicture.h"

namespace servertest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDrawing = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

class TaskTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        alice = makeUser("13800000001", "Alice", "alice@example.com");
        carol = makeUser("13800000003", "Carol", "carol@example.com");
        post("FileMng/CommitFile2",
             {{"userId", alice}, {"fileName", "a.dwg"}, {"pid", ""}, {"id", kDrawing}},
             {{"a.dwg", "C:\\a.dwg", "AC1015"}});
        jpeg = server::demoTaskPicture(0);
    }
    std::string addTask(const std::string& user, const std::string& info,
                        const std::string& picture) {
        return post("FileMng/FileMsgAdd",
                    {{"userId", user}, {"fileId", kDrawing}, {"msgTitle", ""}, {"msgInfo", info}},
                    {{"2024-05-01_09-07-03", "C:\\OrvaneCAD\\1\\2024-05-01_09-07-03", picture}});
    }
    std::vector<Row> tasks() {
        return decodeRows(get(std::string("FileMng/FileMsgGet?fileId=") + kDrawing));
    }
    size_t storedFileCount() {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dataDir / "files")) ++n;
        return n;
    }

    std::string alice;
    std::string carol;
    std::string jpeg;
};

TEST_F(TaskTest, ANewTaskStoresItsPictureAndAnswersThePathItIsServedAt) {
    const std::string answer = addTask(alice, "Alice:门窗尺寸不一致\r\n第二行", jpeg);
    ASSERT_EQ(answer.substr(0, 2), "Y,");
    const std::string path = answer.substr(2);
    const std::string localName = path.substr(path.find_last_of("\\:") + 1);
    EXPECT_EQ(localName.substr(localName.size() - 4), ".jpg");

    const auto rows = tasks();
    ASSERT_EQ(rows.size(), 1u);
    const Row& t = rows[0];
    EXPECT_EQ(t.at("FileId"), kDrawing);
    EXPECT_EQ(t.at("MsgInfo"), "Alice:门窗尺寸不一致\r\n第二行");
    EXPECT_EQ(t.at("Status"), "0");
    EXPECT_EQ(t.at("UserName"), "Alice");
    EXPECT_EQ(t.at("FilePath"), path);
    EXPECT_EQ(t.at("MsgDate").size(), 19u);
    EXPECT_FALSE(t.at("Id").empty());

    const std::string target = path.substr(path.find('/', 7));
    EXPECT_EQ(httpGet(port(), target).body, jpeg);
}

TEST_F(TaskTest, TasksAreRefusedForUnknownDrawingsUsersWithoutAccessAndNonJpegPictures) {
    EXPECT_EQ(addTask(carol, "Carol:x", jpeg).substr(0, 2), "N,");
    EXPECT_EQ(addTask("999", "x", jpeg).substr(0, 2), "N,");
    EXPECT_EQ(addTask(alice, "x", "GIF89a not a jpeg").substr(0, 2), "N,");
    EXPECT_EQ(post("FileMng/FileMsgAdd",
                   {{"userId", alice}, {"fileId", "{NOPE}"}, {"msgTitle", ""}, {"msgInfo", "x"}},
                   {{"p", "C:\\p", jpeg}})
                  .substr(0, 2),
              "N,");
    EXPECT_TRUE(tasks().empty());
    EXPECT_EQ(storedFileCount(), 1u);  // only the drawing

    server::admin::share(service(), std::stoll(alice), std::stoll(carol));
    EXPECT_EQ(addTask(carol, "Carol:shared", jpeg).substr(0, 2), "Y,");
}

TEST_F(TaskTest, ChangingATaskReadsBase64OfGbkFromTheRawQueryKeepingPlusSigns) {
    addTask(alice, "Alice:问题", jpeg);
    const std::string id = tasks().at(0).at("Id");
    // "AB:完见" in GBK; its Base64 carries a "+" and "==" padding.
    const std::string b64 = server::base64::encode("AB:\xCD\xEA\xBC\xFB");
    ASSERT_EQ(b64, "QUI6zeq8+w==");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=" + id + "&msgInfo=" + b64 + "&status=1"), "Y");
    Row t = tasks().at(0);
    EXPECT_EQ(t.at("MsgInfo"), "AB:完见");
    EXPECT_EQ(t.at("Status"), "1");

    // The client's own example: a line break and A:完成 appended.
    const std::string history =
        server::base64::encode("Alice:\xCE\xCA\xCC\xE2\r\nA:\xCD\xEA\xB3\xC9");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=" + id + "&msgInfo=" + history + "&status=2"), "Y");
    t = tasks().at(0);
    EXPECT_EQ(t.at("MsgInfo"), "Alice:问题\r\nA:完成");
    EXPECT_EQ(t.at("Status"), "2");
}

TEST_F(TaskTest, BadTaskChangesAreRefusedAndChangeNothing) {
    addTask(alice, "Alice:问题", jpeg);
    const std::string id = tasks().at(0).at("Id");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=" + id + "&msgInfo=QQ&status=1").substr(0, 2), "N,");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=" + id + "&msgInfo=QUI=&status=7").substr(0, 2), "N,");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=424242&msgInfo=QUI=&status=1").substr(0, 2), "N,");
    EXPECT_EQ(get("FileMng/FileMsgSet?id=1%20OR%201=1&msgInfo=QUI=&status=1").substr(0, 2), "N,");
    const Row t = tasks().at(0);
    EXPECT_EQ(t.at("MsgInfo"), "Alice:问题");
    EXPECT_EQ(t.at("Status"), "0");
}

TEST_F(TaskTest, DeletingADrawingRemovesItsTasksAndPictures) {
    addTask(alice, "Alice:问题", jpeg);
    ASSERT_EQ(storedFileCount(), 2u);
    EXPECT_EQ(post("FileMng/UpdateRecord", {{kDrawing, "2|a.dwg"}}), "Y");
    EXPECT_TRUE(tasks().empty());
    EXPECT_EQ(storedFileCount(), 0u);
}

}  // namespace
}  // namespace servertest
