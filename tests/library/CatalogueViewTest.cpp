// The catalogue in the pane: loading from the service, both views with their owner
// groups, the filter switch, login state, and failed or broken answers.
#include <QAction>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QToolButton>
#include <QTreeWidget>

#include "library/LibraryNode.h"
#include "server/Admin.h"
#include "service/ucm.h"
#include "tests/library/LibraryFixtures.h"
#include "tests/library/PaneFixture.h"
#include "tests/support/TestHttpServer.h"

using testlib::PaneTest;

TEST_F(PaneTest, PaneHasTheNamedToolbarFilterTreeAndPopup) {
    for (const char* name :
         {"bbAdd", "tbtmAddSub", "bbAddFile", "bbPost", "TBXEdit", "tbtmModify", "tbtmReplace",
          "tbtmOpenPath", "tbtmDel", "tbtmRefresh", "tbtmUser", "N3", "N1", "N5", "N2", "N4"}) {
        EXPECT_NE(action(name), nullptr);
    }
    EXPECT_EQ(action("bbAdd")->text(), "添加目录");
    EXPECT_EQ(action("tbtmAddSub")->text(), "添加子目录");
    EXPECT_EQ(action("bbAddFile")->text(), "导入DWG");
    EXPECT_EQ(action("bbPost")->text(), "上传");
    EXPECT_EQ(action("TBXEdit")->text(), "编辑");
    EXPECT_EQ(action("tbtmRefresh")->text(), "重新下载文件");
    EXPECT_EQ(action("tbtmUser")->text(), "共享");
    QStringList editItems;
    for (QAction* a : action("TBXEdit")->menu()->actions()) editItems << a->text();
    EXPECT_EQ(editItems, QStringList({"修改图纸", "替换图纸", "打开目录", "删除", "重新下载文件"}));
    auto* pm1 = pane->findChild<QMenu*>("pm1");
    ASSERT_NE(pm1, nullptr);
    QStringList popup;
    for (QAction* a : pm1->actions()) popup << a->text();
    EXPECT_EQ(popup, QStringList({"打开", "编辑", "替换", "删除", "打开目录"}));
    auto* rg1 = pane->findChild<QGroupBox*>("rg1");
    ASSERT_NE(rg1, nullptr);
    EXPECT_EQ(rg1->title(), "   筛  选  ");
    EXPECT_EQ(pane->tree()->objectName(), "tv1");
    EXPECT_EQ(pane->tree()->indentation(), 19);
    EXPECT_NE(pane->findChild<QToolButton*>("bbAdd"), nullptr);
}

TEST_F(PaneTest, LoginStateSwitchesTheLoginPanelAndTheLibrary) {
    auto* login = new QWidget;
    pane->setLoginPanel(login);
    EXPECT_FALSE(login->isVisible());
    EXPECT_TRUE(pane->tree()->isVisible());
    EXPECT_TRUE(action("bbAdd")->isEnabled());
    ucm::setLogin(QString(), QString());
    pane->applyLoginState();
    EXPECT_TRUE(login->isVisible());
    EXPECT_FALSE(pane->tree()->isVisible());
    EXPECT_FALSE(pane->findChild<QGroupBox*>("rg1")->isVisible());
    for (const char* name :
         {"bbAdd", "tbtmUser", "bbAddFile", "bbPost", "TBXEdit", "tbtmRefresh"}) {
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    }
}

TEST_F(PaneTest, LoadShowsTheOwnTreeExpandedWithLocalCopiesFoundByName) {
    const std::string plans = addFolder("", "Plans");
    const std::string floor = addFolder(plans, "Floor");
    addDrawing(floor, "first.dwg");
    addDrawing(plans, "second.dwg");
    load();
    EXPECT_EQ(outline(), "Plans[Floor[first.dwg],second.dwg]");
    EXPECT_TRUE(node("Floor")->isExpanded());
    EXPECT_EQ(entryNamed("first.dwg")->LocalState, 2);

    // A file of the right name put into the user folder by hand is the local copy next time.
    const QString name =
        library::LibraryNode::entryOf(node("first.dwg"))->FilePath.section('\\', -1);
    QFile copy(userFolder() + name);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.close();
    load();
    EXPECT_EQ(entryNamed("first.dwg")->LocalState, 3);
    EXPECT_EQ(entryNamed("first.dwg")->LocalPath, userFolder() + name);
    EXPECT_EQ(testlib::outlineWithStates(*pane->tree()),
              "Plans:2[Floor:2[first.dwg:9],second.dwg:9]");
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(PaneTest, SharedViewGroupsOwnersFoldingCaseAndHidesOrphans) {
    const int64_t bob = addUser("13800000002", "Bob");
    const int64_t bob2 = addUser("13800000003", "bob");
    server::admin::share(server->service(), bob, userId);
    server::admin::share(server->service(), bob2, userId);
    const std::string bobFolder = addFolder("", "BobFolder", bob);
    addDrawing(bobFolder, "bob.dwg", "x", bob);
    addFolder("", "LowerBobFolder", bob2);
    addFolder("", "Mine");
    addFolder(bobFolder, "MineUnderBob");  // own entry whose parent is a shared folder
    addFolder("no-such-parent", "Orphan", bob);
    load();
    EXPECT_EQ(outline(), "Mine");
    chooseView(1);
    EXPECT_EQ(pane->LastFilterIndex(), 1);
    // Alice's own entries give her name a group with no children; "bob" folds into "Bob".
    const QString shared = outline();
    EXPECT_TRUE(shared.contains("Bob[BobFolder[bob.dwg]]")) << shared.toStdString();
    EXPECT_FALSE(shared.contains("LowerBobFolder"));
    EXPECT_FALSE(shared.contains("Orphan"));
    EXPECT_FALSE(shared.contains("MineUnderBob"));
    EXPECT_FALSE(shared.contains(",bob"));
    EXPECT_EQ(testlib::outlineWithStates(*pane->tree()).count(":7"),
              pane->tree()->topLevelItemCount());
    chooseView(0);
    EXPECT_EQ(outline(), "Mine");
}

TEST_F(PaneTest, FilterSwitchEnablesOwnViewCommandsOnlyWhenTheViewChanges) {
    addFolder("", "Mine");
    load();
    const QStringList switched{"tbtmModify", "tbtmDel", "tbtmReplace", "bbPost", "bbAdd",
                               "bbAddFile",  "N1",      "N2",          "N5",     "N4"};
    const QStringList kept{"tbtmAddSub",  "TBXEdit",  "tbtmOpenPath",
                           "tbtmRefresh", "tbtmUser", "N3"};
    chooseView(1);
    for (const QString& n : switched)
        EXPECT_FALSE(action(n.toLatin1())->isEnabled()) << n.toStdString();
    for (const QString& n : kept) EXPECT_TRUE(action(n.toLatin1())->isEnabled()) << n.toStdString();

    // Clicking the item already chosen neither rebuilds nor touches the enabled items.
    QTreeWidgetItem* before = pane->tree()->topLevelItem(0);
    action("bbAdd")->setEnabled(true);
    chooseView(1);
    EXPECT_EQ(pane->tree()->topLevelItem(0), before);
    EXPECT_TRUE(action("bbAdd")->isEnabled());

    chooseView(0);
    for (const QString& n : switched)
        EXPECT_TRUE(action(n.toLatin1())->isEnabled()) << n.toStdString();
    // Showing the pane again keeps the shared view's own-view commands off.
    chooseView(1);
    pane->applyLoginState();
    EXPECT_FALSE(action("bbAdd")->isEnabled());
    EXPECT_TRUE(action("tbtmUser")->isEnabled());
}

TEST_F(PaneTest, SelectedViewSurvivesALoad) {
    const int64_t bob = addUser("13800000002", "Bob");
    server::admin::share(server->service(), bob, userId);
    addFolder("", "BobFolder", bob);
    load();
    chooseView(1);
    load();
    EXPECT_TRUE(outline().contains("Bob[BobFolder]"));
    EXPECT_EQ(pane->LastFilterIndex(), 1);
}

TEST_F(PaneTest, UnreachableServiceShowsQueryFailedAndKeepsListAndTree) {
    addFolder("", "Kept");
    load();
    QTreeWidgetItem* before = node("Kept");
    server->stop();
    load();
    ASSERT_NE(dialogs.lastBox(), nullptr);
    EXPECT_EQ(dialogs.lastBox()->text, "查询失败。");
    EXPECT_EQ(dialogs.lastBox()->caption, "提示");
    EXPECT_EQ(node("Kept"), before);
    EXPECT_EQ(pane->FileList().size(), 1u);
}

TEST_F(PaneTest, CorruptAnswersGiveAClearErrorAndKeepListAndTree) {
    addFolder("", "Kept");
    load();
    QTreeWidgetItem* before = node("Kept");
    testsupport::TestHttpServer scripted;
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    const QString badFlag = testlib::catalogueAnswer(
        {{"1", "", "New1", "0", "", "0", ""}, {"2", "", "New2", "0", "", "zero", ""}});
    for (const QByteArray& body : {QByteArray("\"@@@\""), QByteArray("\"bm90IGEgcGFja2V0\""),
                                   '"' + badFlag.toLatin1() + '"'}) {
        scripted.enqueue(testsupport::ScriptedReply::http(200, body));
        dialogs.clear();
        load();
        ASSERT_EQ(dialogs.boxes().size(), 1u) << body.toStdString();
        EXPECT_NE(dialogs.lastBox()->text, "查询失败。");
        EXPECT_TRUE(dialogs.lastBox()->text.contains("网盘目录"));
        EXPECT_EQ(node("Kept"), before);
        ASSERT_EQ(pane->FileList().size(), 1u);
        EXPECT_EQ(pane->FileList()[0]->FileNewName, "Kept");
    }
}
