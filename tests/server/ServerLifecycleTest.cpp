// Starting, stopping and limits of the in-process server; the admin command line.
#include <cstdlib>
#include <fstream>

#include "ServerFixture.h"
#include "server/Admin.h"

namespace servertest {
namespace {

namespace fs = std::filesystem;

class ServerLifecycleTest : public ServerTest {};

TEST_F(ServerLifecycleTest, DataSurvivesARestartOnAnotherPortAndAddressesFollowThePort) {
    const std::string alice = makeUser("13800000001", "Alice", "alice@example.com");
    post("FileMng/CommitFile2",
         {{"userId", alice}, {"fileName", "a.dwg"}, {"pid", ""}, {"id", "{A}"}},
         {{"a.dwg", "C:\\a.dwg", "AC1015"}});
    const int firstPort = port();
    srv.reset();
    EXPECT_EQ(httpGet(firstPort, "/act/UserMng/GetVersion").status, 0);

    server::ServerOptions options;
    options.dataDir = dataDir;
    options.fastPasswordHashing = true;
    srv = std::make_unique<server::ReviewServer>(options);
    const auto rows = decodeRows(post("FileMng/GetFiles", {{"userId", alice}}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("FilePath").rfind(srv->baseUrl() + "File\\", 0), 0u);
}

TEST_F(ServerLifecycleTest, ASecondServerCannotTakeAPortInUse) {
    server::ServerOptions options;
    options.dataDir = dataDir / "other";
    options.port = port();
    EXPECT_THROW(server::ReviewServer{options}, std::runtime_error);
}

TEST_F(ServerLifecycleTest, BodiesOverTheLimitAreRefusedAndUnknownPathsAreNotFound) {
    srv.reset();
    server::ServerOptions options;
    options.dataDir = dataDir;
    options.maxBodyBytes = 4096;
    srv = std::make_unique<server::ReviewServer>(options);
    const HttpResult big = httpPost(port(), "/act/FileMng/CommitFile2", {{"userId", "1"}},
                                    {{"a.dwg", "C:\\a.dwg", std::string(10000, 'x')}});
    EXPECT_EQ(big.status, 413);
    EXPECT_EQ(httpGet(port(), "/act/UserMng/NoSuchThing").status, 404);
    EXPECT_EQ(httpGet(port(), "/").status, 404);
    EXPECT_TRUE(fs::is_empty(dataDir / "files"));
}

TEST_F(ServerLifecycleTest, TheDemoSeedIsIdempotentAndSharesALibraryWithTheDemoUser) {
    std::vector<fs::path> drawings;
    for (int i = 0; i < 3; ++i) {
        drawings.push_back(dataDir / ("d" + std::to_string(i) + ".dwg"));
        std::ofstream(drawings.back(), std::ios::binary) << "AC1015 drawing " << i;
    }
    const auto first = server::admin::seedDemo(service(), drawings);
    const auto again = server::admin::seedDemo(service(), drawings);
    EXPECT_EQ(first.drawings, 3);
    EXPECT_EQ(again.drawings, 3);
    EXPECT_EQ(server::admin::listUsers(service()).size(), 2u);

    const std::string login =
        post("UserMng/UserLogon", {{"phone", first.phone}, {"password", first.password}});
    ASSERT_EQ(login.substr(0, 2), "Y,");
    const std::string id = login.substr(2, login.find(',', 2) - 2);
    int own = 0;
    int shared = 0;
    for (const auto& r : decodeRows(post("FileMng/GetFiles", {{"userId", id}}))) {
        (r.at("Flag") == "0" ? own : shared)++;
        if (r.at("Flag") == "1") {
            EXPECT_EQ(r.at("UserName"), "李工");
        }
    }
    EXPECT_EQ(own, 6);     // four folders and two drawings
    EXPECT_EQ(shared, 2);  // a folder and a drawing
    const auto tasks =
        decodeRows(get("FileMng/FileMsgGet?fileId={D0E00000-0000-4000-8000-000000000011}"));
    EXPECT_EQ(tasks.size(), 3u);
}

TEST(AdminCommandLineTest, CreatesListsAndActivatesAccounts) {
    const fs::path bin = fs::path(ORVANE_BINARY_DIR) / "server" / "orvane-server";
    std::string tmpl = (fs::temp_directory_path() / "orvane-admin-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    const fs::path dir = tmpl;
    const std::string admin = bin.string() + " admin --data " + dir.string() + " ";
    EXPECT_EQ(std::system((admin + "create-user 13800000001 secret1 Alice a@example.com").c_str()),
              0);
    EXPECT_NE(
        std::system(
            (admin + "create-user 13800000001 secret1 Bob b@example.com 2>/dev/null").c_str()),
        0);
    EXPECT_EQ(std::system((admin + "add-message '*' now 'hello all'").c_str()), 0);
    EXPECT_EQ(std::system((admin + "set-version 101").c_str()), 0);
    EXPECT_NE(std::system((admin + "set-version abc 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((admin + "no-such-command 2>/dev/null").c_str()), 0);
    EXPECT_EQ(std::system((admin + "list-users > " + (dir / "users.txt").string()).c_str()), 0);
    std::ifstream in(dir / "users.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "1\t13800000001\ta@example.com\tAlice\tactive");
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace servertest
