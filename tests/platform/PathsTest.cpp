#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

TEST(Paths, TakesTheFileNameAfterTheLastBackslashSlashOrColon) {
    EXPECT_EQ(platform::fileNameOf("http://127.0.0.1:8600/File\\abc.dwg"), "abc.dwg");
    EXPECT_EQ(platform::fileNameOf("C:\\OrvaneCAD\\7\\x.jpg"), "x.jpg");
    EXPECT_EQ(platform::fileNameOf("C:x.dwg"), "x.dwg");
    EXPECT_EQ(platform::fileNameOf("/home/u/a.dwg"), "a.dwg");
    EXPECT_EQ(platform::fileNameOf("plain"), "plain");
    EXPECT_EQ(platform::fileNameOf("folder\\"), "");
}

TEST(Paths, TakesTheFolderWithItsTrailingSeparator) {
    EXPECT_EQ(platform::folderOf("C:\\OrvaneCAD\\7\\x.jpg"), "C:\\OrvaneCAD\\7\\");
    EXPECT_EQ(platform::folderOf("/home/u/a.dwg"), "/home/u/");
    EXPECT_EQ(platform::folderOf("a.dwg"), "");
}

TEST(Paths, JoinsFoldersWithAndWithoutTrailingSeparators) {
    const QString sep = platform::separator();
    EXPECT_EQ(platform::joinPath("/tmp/x", "a.dwg"), "/tmp/x" + sep + "a.dwg");
    EXPECT_EQ(platform::joinPath("/tmp/x/", "a.dwg"), "/tmp/x/a.dwg");
    EXPECT_EQ(platform::joinPath("/tmp/x/", "/a.dwg"), "/tmp/x/a.dwg");
    EXPECT_EQ(platform::joinPath("", "a.dwg"), "a.dwg");
}

TEST(Paths, PutsTheLocalRootInTheHomeFolderWithATrailingSeparator) {
    const QString root = platform::defaultLocalRoot();
#ifdef Q_OS_WIN
    EXPECT_EQ(root, "C:\\OrvaneCAD\\");
#else
    EXPECT_EQ(root, QDir::homePath() + "/OrvaneCAD/");
#endif
    EXPECT_TRUE(platform::programFolder().endsWith(platform::separator()));
    EXPECT_TRUE(QDir(platform::programFolder()).exists());
}

}  // namespace
