#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "service/ucm.h"

namespace {

TEST(ProcessValues, StartWithTheBuildsServiceRootAndTheDefaultLocalFolder) {
    EXPECT_TRUE(ucm::ServiceBase().startsWith("http://"));
    EXPECT_TRUE(ucm::ServiceBase().endsWith('/'));
    EXPECT_EQ(ucm::LocalRoot(), platform::defaultLocalRoot());
    EXPECT_EQ(ucm::ClientVersion, 100);
}

TEST(ProcessValues, GiveAUserFolderOnlyWhileSomebodyIsLoggedIn) {
    const QString root = ucm::LocalRoot();
    ucm::setLocalRoot("/tmp/orvane-root/");
    ucm::setLogin("", "");
    EXPECT_EQ(ucm::UserFolder(), "");
    ucm::setLogin("17", QStringLiteral("张三"));
    EXPECT_EQ(ucm::CurrentUserId(), "17");
    EXPECT_EQ(ucm::CurrentUserName(), QStringLiteral("张三"));
    EXPECT_EQ(ucm::UserFolder(), "/tmp/orvane-root/17" + platform::separator());
    ucm::setLogin("", "");
    ucm::setLocalRoot(root);
}

TEST(ProcessValues, AddTheTrailingSlashToAServiceRootWithoutOne) {
    const QString base = ucm::ServiceBase();
    ucm::setServiceBase("http://127.0.0.1:9/");
    EXPECT_EQ(ucm::ServiceBase(), "http://127.0.0.1:9/");
    ucm::setServiceBase("http://127.0.0.1:9");
    EXPECT_EQ(ucm::ServiceBase(), "http://127.0.0.1:9/");
    ucm::setServiceBase(base);
}

}  // namespace
