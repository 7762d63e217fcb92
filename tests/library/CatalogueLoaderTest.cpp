// Reading catalogue answers: fields, local copies found by name, and broken answers that
// must leave nothing half-read.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "library/CatalogueLoader.h"
#include "tests/library/LibraryFixtures.h"

using library::CatalogueLoader;
using testlib::Row;

namespace {

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("dwg");
}

}  // namespace

TEST(CatalogueLoaderTest, RowsBecomeEntriesInOrderWithTheirFields) {
    QTemporaryDir folder;
    const QString answer = testlib::catalogueAnswer(
        {{"f1", "", "文件夹", "0", "", "0", "张三"},
         {"d1", "f1", "图纸.dwg", "1", "http://h:1/File\\abc.dwg", "1", "李四"}});
    auto load = CatalogueLoader::decode(answer, folder.path() + "/");
    ASSERT_TRUE(load.ok) << load.error.toStdString();
    ASSERT_EQ(load.entries.size(), 2u);
    const auto& d = *load.entries[1];
    EXPECT_EQ(d.FileId, "d1");
    EXPECT_EQ(d.Pid, "f1");
    EXPECT_EQ(d.FileNewName, "图纸.dwg");
    EXPECT_EQ(d.ItemType, "1");
    EXPECT_EQ(d.FilePath, "http://h:1/File\\abc.dwg");
    EXPECT_EQ(d.Flag, 1);
    EXPECT_EQ(d.UserName, "李四");
    EXPECT_EQ(d.ChangeState, 0);
    EXPECT_FALSE(d.LocalModified);
}

TEST(CatalogueLoaderTest, LocalCopyIsFoundByTheLastPartOfTheAddress) {
    QTemporaryDir folder;
    const QString user = folder.path() + "/";
    touch(user + "abc.dwg");
    touch(user + "colon.dwg");
    const QString answer = testlib::catalogueAnswer({
        {"1", "", "a", "1", "http://h:1/File\\abc.dwg", "0", ""},
        {"2", "", "b", "1", "http://h:1/File\\other.dwg", "0", ""},
        {"3", "", "c", "1", "X:colon.dwg", "0", ""},
        {"4", "", "folder", "0", "", "0", ""},
        {"5", "", "evil", "1", "http://h/File\\..", "0", ""},
    });
    auto load = CatalogueLoader::decode(answer, user);
    ASSERT_TRUE(load.ok);
    EXPECT_EQ(load.entries[0]->LocalState, 3);
    EXPECT_EQ(load.entries[0]->LocalPath, user + "abc.dwg");
    EXPECT_EQ(load.entries[1]->LocalState, 2);
    EXPECT_TRUE(load.entries[1]->LocalPath.isEmpty());
    EXPECT_EQ(load.entries[2]->LocalState, 3);
    // A folder without address is no local copy of the user folder itself.
    EXPECT_EQ(load.entries[3]->LocalState, 2);
    EXPECT_EQ(load.entries[4]->LocalState, 2);
}

TEST(CatalogueLoaderTest, AnswerWithoutRowsGivesAnEmptyList) {
    auto load = CatalogueLoader::decode(testlib::catalogueAnswer({}), QString());
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(load.entries.empty());
}

TEST(CatalogueLoaderTest, BrokenAnswersGiveAClearErrorAndNoEntries) {
    const QString notBase64 = QStringLiteral("abc");
    const QString notPacket = QStringLiteral("bm90IGEgcGFja2V0");  // "not a packet"
    const QString badFlag = testlib::catalogueAnswer(
        {{"1", "", "a", "0", "", "0", ""}, {"2", "", "b", "0", "", "x1", ""}});
    const QString blankFlag = testlib::catalogueAnswer({{"1", "", "a", "0", "", " 1", ""}});
    for (const QString& answer : {notBase64, notPacket, badFlag, blankFlag}) {
        auto load = CatalogueLoader::decode(answer, QString());
        EXPECT_FALSE(load.ok) << answer.toStdString();
        EXPECT_TRUE(load.entries.empty());
        EXPECT_FALSE(load.error.isEmpty());
    }
    auto load = CatalogueLoader::decode(badFlag, QString());
    EXPECT_TRUE(load.error.contains("Flag"));
    EXPECT_TRUE(load.error.contains(QStringLiteral("第2行")));
}

TEST(CatalogueLoaderTest, FlagIsAStrictDecimalInteger) {
    int v = 0;
    EXPECT_TRUE(CatalogueLoader::strictInt("0", &v));
    EXPECT_TRUE(CatalogueLoader::strictInt("-12", &v));
    EXPECT_EQ(v, -12);
    EXPECT_TRUE(CatalogueLoader::strictInt("+7", &v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", "+", "1.0", "0x1", " 1", "1 ", "99999999999"}) {
        EXPECT_FALSE(CatalogueLoader::strictInt(QString::fromLatin1(bad), &v)) << bad;
    }
}

TEST(CatalogueLoaderTest, ChangedLocalCopyKeepsItsMarkAcrossALoad) {
    library::EntryList before;
    before.push_back(testlib::entry("d", "", "d", "1"));
    before[0]->LocalState = 3;
    before[0]->LocalPath = "/u/abc.dwg";
    before[0]->LocalModified = true;
    before.push_back(testlib::entry("e", "", "e", "1"));
    before[1]->LocalState = 3;
    before[1]->LocalPath = "/u/e.dwg";

    library::EntryList fresh;
    fresh.push_back(testlib::entry("d", "", "d", "1"));
    fresh[0]->LocalState = 3;
    fresh[0]->LocalPath = "/u/abc.dwg";
    fresh.push_back(testlib::entry("e", "", "e", "1"));
    fresh[1]->LocalState = 3;
    fresh[1]->LocalPath = "/u/e.dwg";
    CatalogueLoader::carryLocalChanges(before, fresh);
    EXPECT_TRUE(fresh[0]->LocalModified);
    EXPECT_FALSE(fresh[1]->LocalModified);

    // A copy under another name (the service stored a new file) is a fresh start.
    fresh[0]->LocalModified = false;
    fresh[0]->LocalPath = "/u/new.dwg";
    CatalogueLoader::carryLocalChanges(before, fresh);
    EXPECT_FALSE(fresh[0]->LocalModified);
}
