// The catalogue: listing, commits, records, and serving the stored files.
#include <fstream>
#include <thread>

#include "ServerFixture.h"
#include "server/Admin.h"

namespace servertest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFolder = "{11111111-2222-3333-4444-555555555555}";
constexpr const char* kDrawing = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";

class CatalogueTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        alice = makeUser("13800000001", "Alice", "alice@example.com");
        bob = makeUser("13800000002", "Bob", "bob@example.com");
    }

    std::string commit(const std::string& user, const std::string& id, const std::string& pid,
                       const std::string& name, const std::vector<FilePart>& files = {}) {
        return post("FileMng/CommitFile2",
                    {{"userId", user}, {"fileName", name}, {"pid", pid}, {"id", id}}, files);
    }
    std::vector<Row> catalogue(const std::string& user) {
        return decodeRows(post("FileMng/GetFiles", {{"userId", user}}));
    }
    static const Row* find(const std::vector<Row>& rows, const std::string& id) {
        for (const auto& r : rows) {
            if (r.at("FileId") == id) return &r;
        }
        return nullptr;
    }
    // The request target of a FilePath address ("http://host:port/File\x.dwg").
    static std::string targetOf(const std::string& filePath) {
        const size_t slash = filePath.find('/', std::string("http://").size());
        return filePath.substr(slash);
    }
    size_t storedFileCount() {
        size_t n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dataDir / "files")) ++n;
        return n;
    }

    std::string alice;
    std::string bob;
};

TEST_F(CatalogueTest, AnUnknownUserGetsAnEmptyAnswerAndANewUserAnEmptyRowSet) {
    EXPECT_EQ(post("FileMng/GetFiles", {{"userId", "999"}}), "");
    EXPECT_EQ(post("FileMng/GetFiles", {{"userId", "1 OR 1=1"}}), "");
    const std::string answer = post("FileMng/GetFiles", {{"userId", alice}});
    EXPECT_FALSE(answer.empty());
    EXPECT_TRUE(decodeRows(answer).empty());
}

TEST_F(CatalogueTest, AFolderAndADrawingCommittedInsideItAreListedAndTheFileIsServed) {
    EXPECT_EQ(commit(alice, kFolder, "", "新建文件夹"), std::string("Y,") + kFolder);
    const std::string dwg = std::string("AC1015\0\x01\x02 drawing bytes", 23);
    const std::string answer = commit(alice, kDrawing, kFolder, "平面图.dwg",
                                      {{"平面图.dwg", "C:\\图纸\\平面图.dwg", dwg}});
    ASSERT_EQ(answer.substr(0, 2), "Y,");
    const std::string stored = answer.substr(2);
    EXPECT_EQ(stored.find_first_of(" ,."), std::string::npos);

    const auto rows = catalogue(alice);
    ASSERT_EQ(rows.size(), 2u);
    const Row* folder = find(rows, kFolder);
    const Row* drawing = find(rows, kDrawing);
    ASSERT_TRUE(folder && drawing);
    EXPECT_EQ(folder->at("ItemType"), "0");
    EXPECT_EQ(folder->at("Pid"), "");
    EXPECT_EQ(drawing->at("ItemType"), "1");
    EXPECT_EQ(drawing->at("Pid"), kFolder);
    EXPECT_EQ(drawing->at("FileNewName"), "平面图.dwg");
    EXPECT_EQ(drawing->at("Flag"), "0");
    EXPECT_EQ(drawing->at("UserName"), "Alice");
    const std::string& path = drawing->at("FilePath");
    EXPECT_EQ(path, srv->baseUrl() + "File\\" + stored + ".dwg");

    // The client fetches the address unchanged, backslash included; the encoded
    // form of the backslash works as well.
    EXPECT_EQ(httpGet(port(), targetOf(path)).body, dwg);
    EXPECT_EQ(httpGet(port(), "/File%5C" + stored + ".dwg").body, dwg);
}

TEST_F(CatalogueTest, TheStoredNameKeepsTheExtensionAsTheClientSpellsIt) {
    const std::string stored =
        commit(alice, kDrawing, "", "A.DWG", {{"A.DWG", "D:\\x\\A.DWG", "AC1018"}}).substr(2);
    EXPECT_EQ(find(catalogue(alice), kDrawing)->at("FilePath"),
              srv->baseUrl() + "File\\" + stored + ".DWG");
}

TEST_F(CatalogueTest, CommittingAChangedDrawingReplacesItsFileAndRemovesTheOldOne) {
    commit(alice, kDrawing, "", "a.dwg", {{"a.dwg", "C:\\a.dwg", "old"}});
    const std::string before = find(catalogue(alice), kDrawing)->at("FilePath");
    ASSERT_EQ(commit(alice, kDrawing, "", "b.dwg", {{"a.dwg", "C:\\a.dwg", "new"}}).substr(0, 1),
              "Y");
    const Row after = *find(catalogue(alice), kDrawing);
    EXPECT_EQ(after.at("FileNewName"), "b.dwg");
    EXPECT_NE(after.at("FilePath"), before);
    EXPECT_EQ(httpGet(port(), targetOf(after.at("FilePath"))).body, "new");
    EXPECT_EQ(httpGet(port(), targetOf(before)).status, 404);
    EXPECT_EQ(storedFileCount(), 1u);
}

TEST_F(CatalogueTest, CommitsIntoAnotherUsersEntriesAreRefusedAndLeaveNoFileBehind) {
    commit(bob, kFolder, "", "Bob's");
    commit(bob, kDrawing, kFolder, "b.dwg", {{"b.dwg", "C:\\b.dwg", "bob"}});
    const size_t files = storedFileCount();

    const std::string overwrite =
        commit(alice, kDrawing, "", "mine.dwg", {{"m", "C:\\m.dwg", "x"}});
    EXPECT_EQ(overwrite.substr(0, 2), "N,");
    EXPECT_EQ(overwrite.find(' '), std::string::npos);
    EXPECT_EQ(commit(alice, "{00000000-0000-0000-0000-000000000001}", kFolder, "x").substr(0, 2),
              "N,");
    EXPECT_EQ(commit("999", "{00000000-0000-0000-0000-000000000002}", "", "x").substr(0, 2), "N,");

    EXPECT_EQ(storedFileCount(), files);
    EXPECT_EQ(find(catalogue(bob), kDrawing)->at("FileNewName"), "b.dwg");
    EXPECT_TRUE(catalogue(alice).empty());
}

TEST_F(CatalogueTest, AFolderCannotBeMovedBelowItself) {
    const std::string child = "{00000000-0000-0000-0000-00000000000C}";
    commit(alice, kFolder, "", "top");
    commit(alice, child, kFolder, "child");
    EXPECT_EQ(commit(alice, kFolder, child, "top").substr(0, 2), "N,");
    EXPECT_EQ(commit(alice, kFolder, kFolder, "top").substr(0, 2), "N,");
    EXPECT_EQ(find(catalogue(alice), kFolder)->at("Pid"), "");
}

TEST_F(CatalogueTest, UpdateRecordDeletesFoldersWithTheirContentAndRenames) {
    const std::string other = "{00000000-0000-0000-0000-0000000000FF}";
    commit(alice, kFolder, "", "folder");
    commit(alice, kDrawing, kFolder, "a.dwg", {{"a.dwg", "C:\\a.dwg", "bytes"}});
    commit(alice, other, "", "old name");
    EXPECT_EQ(post("FileMng/UpdateRecord", {{kFolder, "2|folder"},
                                            {other, "3|新 名|字"},
                                            {"{DEADBEEF-0000-0000-0000-000000000000}", "2|gone"}}),
              "Y");
    const auto rows = catalogue(alice);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("FileNewName"), "新 名|字");
    EXPECT_EQ(storedFileCount(), 0u);
}

TEST_F(CatalogueTest, UpdateRecordWithTheUsersIdLeavesOtherUsersEntriesAlone) {
    commit(bob, kFolder, "", "Bob's folder");
    commit(alice, kDrawing, "", "a.dwg", {{"a.dwg", "C:\\a.dwg", "x"}});
    const std::string answer = post(
        "FileMng/UpdateRecord", {{"userId", alice}, {kFolder, "2|x"}, {kDrawing, "3|renamed.dwg"}});
    EXPECT_NE(answer, "Y");
    EXPECT_EQ(catalogue(bob).size(), 1u);
    EXPECT_EQ(find(catalogue(alice), kDrawing)->at("FileNewName"), "renamed.dwg");
}

TEST_F(CatalogueTest, AnEmptyUpdateRecordIsAccepted) {
    EXPECT_EQ(post("FileMng/UpdateRecord", {}), "Y");
}

TEST_F(CatalogueTest, FileServingRefusesPathsOutsideTheFileFolder) {
    for (const char* target :
         {"/File\\..\\service.db", "/File%5C..%5Cservice.db", "/File/../service.db",
          "/File/..%2Fservice.db", "/File\\.\\", "/File\\", "/File\\%2Fetc%2Fpasswd"}) {
        EXPECT_EQ(httpGet(port(), target).status, 404) << target;
    }
}

TEST_F(CatalogueTest, TheUpdatePackageIsServedOnceItIsSet) {
    EXPECT_EQ(httpGet(port(), "/File/app.zip").status, 404);
    const fs::path pkg = dataDir / "pkg.zip";
    std::ofstream(pkg, std::ios::binary) << "PK\x03\x04 package";
    server::admin::setUpdatePackage(service(), pkg);
    const HttpResult r = httpGet(port(), "/File/app.zip");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "PK\x03\x04 package");
}

TEST_F(CatalogueTest, StoredDrawingsCountAgainstTheRemainingSpace) {
    commit(alice, kDrawing, "", "a.dwg",
           {{"a.dwg", "C:\\a.dwg", std::string(3 * 1024 * 1024 / 2, 'x')}});
    const std::string login =
        post("UserMng/UserLogon", {{"phone", "13800000001"}, {"password", "secret1"}});
    EXPECT_EQ(login, "Y," + alice + ",1022,Alice");
}

TEST_F(CatalogueTest, ConcurrentCommitsFromManyConnectionsAreAllKept) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 8; ++i) {
                const std::string id = "{T" + std::to_string(t) + "-" + std::to_string(i) + "}";
                const HttpResult r = httpPost(
                    port(), "/act/FileMng/CommitFile2",
                    {{"userId", alice}, {"fileName", "f"}, {"pid", ""}, {"id", id}},
                    {{"a.dwg", "C:\\a.dwg", std::string(1000, static_cast<char>('a' + t))}});
                EXPECT_EQ(r.body.substr(0, 3), "\"Y,");
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(catalogue(alice).size(), 48u);
    EXPECT_EQ(storedFileCount(), 48u);
}

}  // namespace
}  // namespace servertest
