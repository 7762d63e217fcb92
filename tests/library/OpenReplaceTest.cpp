// Opening, downloading again, replacing and opening the folder of drawings in the pane.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>

#include "library/LibraryNode.h"
#include "server/Admin.h"
#include "service/ucm.h"
#include "tests/library/LibraryFixtures.h"
#include "tests/library/PaneFixture.h"

using testlib::PaneTest;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(PaneTest, DoubleClickDownloadsOpensAndMakesTheEntryCurrent) {
    addDrawing("", "plan.dwg", "plan bytes");
    load();
    host.tasksVisible = true;
    selectNothing();
    QTreeWidget* tree = pane->tree();
    const QRect rect = tree->visualItemRect(node("plan.dwg"));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, rect.center());
    library::TFiles* plan = entryNamed("plan.dwg");
    EXPECT_EQ(plan->LocalState, 3);
    EXPECT_EQ(plan->LocalPath, userFolder() + plan->FilePath.section('\\', -1));
    EXPECT_EQ(readAll(plan->LocalPath), "plan bytes");
    EXPECT_EQ(pane->CurrentEntry(), plan);
    EXPECT_EQ(host.taskLoads, QStringList{plan->FileId});
    EXPECT_EQ(host.opened, QStringList{plan->LocalPath});

    // Already downloaded: opens without a request.
    server->stop();
    trigger("N3");
    EXPECT_EQ(host.opened.size(), 2);
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(PaneTest, FailedDownloadStillMakesTheEntryCurrentAndLoadsItsTasks) {
    addDrawing("", "plan.dwg");
    load();
    host.tasksVisible = true;
    server->stop();
    select("plan.dwg");
    trigger("N3");
    library::TFiles* plan = entryNamed("plan.dwg");
    EXPECT_EQ(plan->LocalState, 2);
    EXPECT_EQ(plan->LocalPath, userFolder() + plan->FilePath.section('\\', -1));
    EXPECT_EQ(pane->CurrentEntry(), plan);
    EXPECT_EQ(host.taskLoads.size(), 1);
    EXPECT_TRUE(host.opened.isEmpty());
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(PaneTest, GroupNodesOpenNothingAndImportedDrawingsOpenInPlace) {
    const int64_t bob = addUser("13800000002", "Bob");
    server::admin::share(server->service(), bob, userId);
    addFolder("", "BobFolder", bob);
    load();
    const QString mine = makeDwg("mine.dwg");
    selectNothing();
    pane->ImportFiles({mine});
    select("mine.dwg");
    trigger("N3");
    EXPECT_EQ(host.opened, QStringList{mine});
    EXPECT_EQ(entryNamed("mine.dwg")->LocalState, 1);
    library::TFiles* current = pane->CurrentEntry();

    chooseView(1);
    select("Bob");
    trigger("N3");
    EXPECT_EQ(pane->CurrentEntry(), current);
    EXPECT_EQ(host.opened.size(), 1);
}

TEST_F(PaneTest, CurrentEntryOutlivesALoadThatDropsIt) {
    addDrawing("", "plan.dwg");
    load();
    select("plan.dwg");
    trigger("N3");
    library::TFiles* current = pane->CurrentEntry();
    const QString id = current->FileId;
    load();
    ASSERT_EQ(pane->CurrentEntry(), current);
    EXPECT_EQ(pane->CurrentEntry()->FileId, id);  // still alive and readable
    EXPECT_NE(entryNamed("plan.dwg"), current);
}

TEST_F(PaneTest, ViewerErrorIsReportedAndTheEntryIsCurrentAllTheSame) {
    addDrawing("", "plan.dwg");
    load();
    host.failOpen = true;
    select("plan.dwg");
    trigger("N3");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].caption, "OrvaneCAD");
    EXPECT_EQ(dialogs.boxes()[0].text, "cannot show the drawing.");
    EXPECT_EQ(dialogs.boxes()[0].icon, platform::Icon::Error);
    EXPECT_EQ(pane->CurrentEntry(), entryNamed("plan.dwg"));
}

TEST_F(PaneTest, DownloadAgainDeletesOnlyDownloadedCopies) {
    addDrawing("", "a.dwg", "a");
    addDrawing("", "b.dwg", "b");
    load();
    select("a.dwg");
    trigger("N3");
    const QString copy = entryNamed("a.dwg")->LocalPath;
    ASSERT_TRUE(QFile::exists(copy));
    const QString imported = makeDwg("mine.dwg", "mine");
    selectNothing();
    pane->ImportFiles({imported});
    const QString bystander = userFolder() + "unrelated.txt";
    QFile(bystander).open(QIODevice::WriteOnly);
    trigger("tbtmRefresh");
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_TRUE(QFile::exists(imported));
    EXPECT_TRUE(QFile::exists(bystander));
    EXPECT_EQ(host.opened.last(), QString());
    EXPECT_EQ(entryNamed("a.dwg")->LocalState, 2);
    EXPECT_EQ(entryNamed("mine.dwg"), nullptr);  // the load dropped the unsent import
    ASSERT_NE(dialogs.lastBox(), nullptr);
    EXPECT_EQ(dialogs.lastBox()->text, "您本地的图纸已经删除。双击打开时，将会重新下载。");
    EXPECT_EQ(dialogs.lastBox()->caption, "下载");
}

TEST_F(PaneTest, DownloadAgainShowsItsMessageEvenWhenTheLoadFails) {
    load();
    server->stop();
    trigger("tbtmRefresh");
    EXPECT_EQ(dialogs.boxTexts(),
              QStringList({"查询失败。", "您本地的图纸已经删除。双击打开时，将会重新下载。"}));
}

TEST_F(PaneTest, ReplaceCopiesTheChosenFileOverTheLocalCopyAndOpensTheChosenFile) {
    addDrawing("", "plan.dwg", "served");
    load();
    select("plan.dwg");
    const QString chosen = makeDwg("better.dwg", "better");
    dialogs.openNext({chosen});
    trigger("N5");  // not downloaded yet: downloads first
    library::TFiles* plan = entryNamed("plan.dwg");
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(dialogs.openRequests()[0].filter, "DWG|*.dwg");
    EXPECT_FALSE(dialogs.openRequests()[0].multiSelect);
    EXPECT_EQ(readAll(plan->LocalPath), "better");
    EXPECT_TRUE(plan->LocalModified);
    EXPECT_EQ(host.opened, QStringList({QString(), chosen}));
    EXPECT_EQ(testlib::outlineWithStates(*pane->tree()), "plan.dwg:11");
}

TEST_F(PaneTest, ReplaceCancelledChangesNothingButTheDownload) {
    addDrawing("", "plan.dwg", "served");
    load();
    select("plan.dwg");
    trigger("tbtmReplace");
    library::TFiles* plan = entryNamed("plan.dwg");
    EXPECT_EQ(plan->LocalState, 3);
    EXPECT_FALSE(plan->LocalModified);
    EXPECT_EQ(readAll(plan->LocalPath), "served");
    EXPECT_TRUE(host.opened.isEmpty());
}

TEST_F(PaneTest, ReplaceWithTheVeryFileLosesNothing) {
    load();
    const QString mine = makeDwg("mine.dwg", "precious");
    selectNothing();
    pane->ImportFiles({mine});
    select("mine.dwg");
    dialogs.openNext({mine});
    trigger("tbtmReplace");
    EXPECT_EQ(readAll(mine), "precious");
    EXPECT_TRUE(entryNamed("mine.dwg")->LocalModified);
    // The same file reached by another spelling of its path.
    dialogs.openNext({disk.path() + "/./mine.dwg"});
    trigger("tbtmReplace");
    EXPECT_EQ(readAll(mine), "precious");
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(PaneTest, ReplaceWithAnUnreadableFileKeepsTheOldOneAndSaysSo) {
    load();
    const QString mine = makeDwg("mine.dwg", "precious");
    selectNothing();
    pane->ImportFiles({mine});
    select("mine.dwg");
    dialogs.openNext({disk.path() + "/missing.dwg"});
    trigger("tbtmReplace");
    EXPECT_EQ(readAll(mine), "precious");
    EXPECT_FALSE(entryNamed("mine.dwg")->LocalModified);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(host.opened.last(), mine);  // the old drawing comes back into the viewer
}

TEST_F(PaneTest, OpenFolderOpensTheFolderOfTheLocalFile) {
    addDrawing("", "plan.dwg");
    load();
    const QString mine = makeDwg("sub/mine.dwg");
    selectNothing();
    pane->ImportFiles({mine});
    select("mine.dwg");
    trigger("N4");
    select("plan.dwg");
    server->stop();  // the download fails; the folder opens all the same
    trigger("tbtmOpenPath");
    ASSERT_EQ(shell.calls().size(), 2u);
    EXPECT_EQ(shell.calls()[0].target, disk.path() + "/sub/");
    EXPECT_EQ(shell.calls()[1].target, userFolder());
}

TEST_F(PaneTest, SharingButtonAsksTheHost) {
    trigger("tbtmUser");
    EXPECT_EQ(host.sharingShown, 1);
}
