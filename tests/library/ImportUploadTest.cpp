// Import and upload in the pane against the stand-in service: drawings into new folders,
// the commit and record requests, what the answers change, and failures that must lose
// nothing.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTreeWidget>

#include "library/LibraryNode.h"
#include "library/Uploader.h"
#include "platform/Paths.h"
#include "service/ucm.h"
#include "tests/library/LibraryFixtures.h"
#include "tests/library/PaneFixture.h"
#include "tests/support/TestHttpServer.h"

using testlib::PaneTest;
using testsupport::ScriptedReply;
using testsupport::TestHttpServer;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ScriptedReply answer(const QByteArray& text) {
    return ScriptedReply::http(200, '"' + text + '"');
}

}  // namespace

TEST_F(PaneTest, ImportTargetsFollowTheSelection) {
    const std::string f = addFolder("", "F");
    addDrawing(f, "in.dwg");
    load();
    const QString one = makeDwg("one.dwg");
    selectNothing();
    pane->ImportFiles({one});
    EXPECT_EQ(outline(), "F[in.dwg],one.dwg");
    library::TFiles* made = pane->FileList().back().get();
    EXPECT_EQ(made->ItemType, "1");
    EXPECT_EQ(made->LocalState, 1);
    EXPECT_EQ(made->ChangeState, 1);
    EXPECT_EQ(made->LocalPath, one);
    EXPECT_TRUE(made->Pid.isEmpty());
    EXPECT_EQ(testlib::outlineWithStates(*pane->tree()), "F:2[in.dwg:9],one.dwg:10");

    node("F")->setExpanded(false);
    select("F");
    pane->ImportFiles({one});
    EXPECT_EQ(outline(), "F[in.dwg,one.dwg],one.dwg");
    EXPECT_TRUE(node("F")->isExpanded());
    EXPECT_EQ(pane->FileList().back()->Pid, QString::fromStdString(f));

    select("in.dwg");  // a drawing inside a folder: into that folder
    pane->ImportFiles({makeDwg("two.DWG")});
    EXPECT_EQ(outline(), "F[in.dwg,one.dwg,two.DWG],one.dwg");

    auto topLevelDrawing = pane->tree()->topLevelItem(1);
    pane->tree()->clearSelection();
    pane->tree()->setCurrentItem(topLevelDrawing);
    pane->ImportFiles({makeDwg("three.dwg")});  // a top-level drawing: no target, beside it
    EXPECT_EQ(outline(), "F[in.dwg,one.dwg,two.DWG],one.dwg,three.dwg");
    EXPECT_TRUE(pane->FileList().back()->Pid.isEmpty());
}

TEST_F(PaneTest, ImportCommandKeepsOnlyDwgFilesAndDropsKeepEverything) {
    load();
    dialogs.openNext({makeDwg("a.dwg"), makeDwg("b.txt"), makeDwg("c.Dwg")});
    trigger("bbAddFile");
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(dialogs.openRequests()[0].filter, "DWG|*.dwg");
    EXPECT_TRUE(dialogs.openRequests()[0].multiSelect);
    EXPECT_EQ(outline(), "a.dwg,c.Dwg");
    EXPECT_TRUE(pane->tree()->updatesEnabled());
    pane->ImportFiles({makeDwg("notes.txt")});
    EXPECT_EQ(outline(), "a.dwg,c.Dwg,notes.txt");
    trigger("bbAddFile");  // cancelled
    EXPECT_EQ(pane->FileList().size(), 3u);
}

TEST_F(PaneTest, ImportAndUploadIntoNewFoldersComeBackWithLocalCopiesUnderStoredNames) {
    load();
    trigger("bbAdd");
    select("新建文件夹");
    dialogs.inputNext(QStringLiteral("Project"));
    trigger("tbtmModify");
    select("Project");
    trigger("tbtmAddSub");
    select("新建文件夹");
    const QString first = makeDwg("first.dwg", "first drawing");
    const QString second = makeDwg("sub/second.dwg", "second drawing");
    pane->ImportFiles({first, second});
    EXPECT_EQ(outline(), "Project[新建文件夹[first.dwg,second.dwg]]");

    trigger("bbPost");
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
    EXPECT_EQ(outline(), "Project[新建文件夹[first.dwg,second.dwg]]");
    for (const QString& name : {QStringLiteral("first.dwg"), QStringLiteral("second.dwg")}) {
        library::TFiles* e = entryNamed(name);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->LocalState, 3) << name.toStdString();
        EXPECT_EQ(e->ChangeState, 0);
        EXPECT_TRUE(e->LocalPath.startsWith(userFolder()));
        EXPECT_EQ(platform::fileNameOf(e->LocalPath), e->FilePath.section('\\', -1));
    }
    EXPECT_EQ(readAll(entryNamed("first.dwg")->LocalPath), "first drawing");
    EXPECT_EQ(readAll(entryNamed("second.dwg")->LocalPath), "second drawing");
    // The imported files stay where they were.
    EXPECT_EQ(readAll(first), "first drawing");
    EXPECT_EQ(readAll(second), "second drawing");
}

TEST_F(PaneTest, RenameAndDeleteRecordsReachTheService) {
    addFolder("", "Keep");
    addFolder("", "Gone");
    addDrawing("", "gone.dwg");
    load();
    select("Keep");
    dialogs.inputNext(QStringLiteral("Kept"));
    trigger("tbtmModify");
    pane->tree()->clearSelection();
    node("Gone")->setSelected(true);
    node("gone.dwg")->setSelected(true);
    trigger("tbtmDel");
    trigger("bbPost");
    EXPECT_EQ(outline(), "Kept");
    EXPECT_EQ(pane->FileList().size(), 1u);
    EXPECT_EQ(pane->FileList()[0]->ChangeState, 0);
}

TEST_F(PaneTest, ChangedDrawingIsCommittedAgainWithItsFile) {
    addDrawing("", "plan.dwg", "old content");
    load();
    select("plan.dwg");
    trigger("N3");  // downloads it
    library::TFiles* e = entryNamed("plan.dwg");
    ASSERT_EQ(e->LocalState, 3);
    dialogs.openNext({makeDwg("replacement.dwg", "new content")});
    trigger("tbtmReplace");
    EXPECT_TRUE(e->LocalModified);
    trigger("bbPost");
    e = entryNamed("plan.dwg");
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->LocalModified);
    // The service now serves the new content: drop the copy and fetch again.
    trigger("tbtmRefresh");
    select("plan.dwg");
    trigger("N3");
    EXPECT_EQ(readAll(entryNamed("plan.dwg")->LocalPath), "new content");
}

TEST_F(PaneTest, RefusedNewFolderStopsTheLoopButRecordsAndTheLoadStillHappen) {
    addFolder("", "Old");
    addDrawing("", "x.dwg");
    load();
    select("Old");
    dialogs.inputNext(QStringLiteral("Renamed"));
    trigger("tbtmModify");
    selectNothing();
    trigger("bbAdd");
    select("新建文件夹");
    dialogs.inputNext(QString());  // an empty name: the service refuses the folder
    trigger("tbtmModify");
    selectNothing();
    pane->ImportFiles({makeDwg("after.dwg")});  // after the refused folder: not committed
    trigger("bbPost");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].caption, "OrvaneCAD");
    EXPECT_EQ(dialogs.boxes()[0].text, "名称不能为空。");
    EXPECT_EQ(outline(), "Renamed,x.dwg");  // the record went, the load came
}

TEST_F(PaneTest, UploadWhileLoggedOutSendsNothing) {
    TestHttpServer scripted;
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    ucm::setLogin(QString(), QString());
    pane->ImportFiles({makeDwg("a.dwg")});
    pane->UploadChanges();
    EXPECT_EQ(scripted.requestCount(), 0u);
    EXPECT_TRUE(pane->FileList().empty());
}

TEST_F(PaneTest, UploadWithNothingToSendStillSendsTheRecordRequestThenLoads) {
    TestHttpServer scripted;
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    scripted.enqueue(answer("Y"));
    scripted.enqueue(answer(testlib::catalogueAnswer({}).toLatin1()));
    pane->UploadChanges();
    ASSERT_EQ(scripted.requestCount(), 2u);
    const auto requests = scripted.requests();
    EXPECT_TRUE(requests[0].target.endsWith("act/FileMng/UpdateRecord"));
    EXPECT_FALSE(requests[0].body.contains("Content-Disposition"));
    EXPECT_TRUE(requests[1].target.endsWith("act/FileMng/GetFiles"));
}

TEST_F(PaneTest, CommitAnswersAreReadByTheirKind) {
    using library::CommitAnswer;
    EXPECT_FALSE(CommitAnswer::read("Y", false).accepted);  // a new drawing needs its name
    EXPECT_TRUE(CommitAnswer::read("Y", true).accepted);
    EXPECT_FALSE(CommitAnswer::read("", true).accepted);
    EXPECT_FALSE(CommitAnswer::read("N", true).accepted);
    const CommitAnswer stored = CommitAnswer::read("Y,abc123", false);
    EXPECT_TRUE(stored.accepted);
    EXPECT_EQ(stored.text, "abc123");
    const CommitAnswer refused = CommitAnswer::read("N,空间不足", true);
    EXPECT_FALSE(refused.accepted);
    EXPECT_EQ(refused.text, "空间不足");
}

TEST_F(PaneTest, UploadSendsCommitFormsAndRecordLinesAsFields) {
    TestHttpServer scripted;
    load();
    library::EntryList& list = pane->FileList();
    list.push_back(testlib::entry("{GONE}", "", "gone", "0", 0, "", 2));
    list.push_back(testlib::entry("{REN}", "", "新名", "0", 0, "", 3));
    const QString file = makeDwg("new.dwg", "new bytes");
    selectNothing();
    pane->ImportFiles({file});
    const QString newId = list.back()->FileId;
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    scripted.enqueue(answer("Y,stored1"));
    scripted.enqueue(answer("Y"));
    scripted.enqueue(answer(""));  // the load fails: the marks stay
    pane->UploadChanges();
    ASSERT_EQ(scripted.requestCount(), 3u);
    const auto requests = scripted.requests();
    const QByteArray commit = requests[0].body;
    EXPECT_TRUE(requests[0].target.endsWith("FileMng/CommitFile2"));
    EXPECT_TRUE(commit.contains("name=\"userId\"\r\n\r\n" + ucm::CurrentUserId().toUtf8()));
    EXPECT_TRUE(commit.contains("name=\"fileName\"\r\n\r\nnew.dwg"));
    EXPECT_TRUE(commit.contains("name=\"pid\"\r\n\r\n\r\n"));
    EXPECT_TRUE(commit.contains("name=\"id\"\r\n\r\n" + newId.toUtf8()));
    EXPECT_TRUE(commit.contains("new bytes"));
    const QByteArray records = requests[1].body;
    EXPECT_TRUE(records.contains("name=\"{GONE}\"\r\n\r\n2|gone"));
    EXPECT_TRUE(records.contains(QStringLiteral("name=\"{REN}\"\r\n\r\n3|新名").toUtf8()));
    // The load failed, so the upload's own changes show.
    library::TFiles* made = entryNamed("new.dwg");
    EXPECT_EQ(made->LocalState, 3);
    EXPECT_EQ(made->LocalPath, userFolder() + "stored1.dwg");
    EXPECT_EQ(readAll(made->LocalPath), "new bytes");
    EXPECT_EQ(entryNamed("新名")->ChangeState, 0);
    EXPECT_EQ(entryNamed("gone")->ChangeState, 2);
    EXPECT_EQ(dialogs.lastBox()->text, "查询失败。");

    // A second upload sends neither the commit nor anything but an empty record list.
    scripted.enqueue(answer("Y"));
    scripted.enqueue(answer(""));
    pane->UploadChanges();
    ASSERT_EQ(scripted.requestCount(), 5u);
    EXPECT_TRUE(scripted.requests()[3].target.endsWith("FileMng/UpdateRecord"));
    EXPECT_TRUE(scripted.requests()[3].body.contains("name=\"{GONE}\""));
}

TEST_F(PaneTest, CommittedCopyNeverOverwritesOrEscapesTheUserFolder) {
    TestHttpServer scripted;
    load();
    const QString existing = userFolder() + "taken.dwg";
    {
        QFile f(existing);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("already here");
    }
    pane->ImportFiles({makeDwg("a.dwg", "a"), makeDwg("b.dwg", "b")});
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    scripted.enqueue(answer("Y,taken"));
    scripted.enqueue(answer("Y,../../escape"));
    scripted.enqueue(answer("Y"));
    scripted.enqueue(answer(""));
    pane->UploadChanges();
    EXPECT_EQ(readAll(existing), "already here");
    EXPECT_EQ(entryNamed("a.dwg")->LocalPath, existing);
    library::TFiles* b = entryNamed("b.dwg");
    EXPECT_EQ(b->LocalState, 2);
    EXPECT_TRUE(b->LocalPath.isEmpty());
    EXPECT_FALSE(QFile::exists(QDir(userFolder()).filePath("../../escape.dwg")));
    EXPECT_EQ(readAll(makeDwg("check.dwg", "x")), "x");
}

TEST_F(PaneTest, UploadWithTheServiceGoneLosesNothingAndDoesNotHang) {
    addDrawing("", "plan.dwg", "served");
    load();
    select("plan.dwg");
    trigger("N3");
    library::TFiles* plan = entryNamed("plan.dwg");
    const QString copy = plan->LocalPath;
    dialogs.openNext({makeDwg("mine.dwg", "my edit")});
    trigger("tbtmReplace");
    const QString imported = makeDwg("new.dwg", "imported");
    selectNothing();
    pane->ImportFiles({imported});
    trigger("bbAdd");
    server->stop();
    pane->UploadChanges();
    EXPECT_EQ(dialogs.boxes().size(), 2u);  // the refused (unreachable) folder and the load
    EXPECT_EQ(readAll(copy), "my edit");
    EXPECT_EQ(readAll(imported), "imported");
    EXPECT_TRUE(plan->LocalModified);
    EXPECT_EQ(entryNamed("new.dwg")->LocalState, 1);
    EXPECT_EQ(pane->FileList().size(), 3u);
}

TEST_F(PaneTest, RefusedChangeKeepsItsMarkAfterTheLoad) {
    addDrawing("", "plan.dwg", "served");
    load();
    select("plan.dwg");
    trigger("N3");
    dialogs.openNext({makeDwg("mine.dwg", "my edit")});
    trigger("tbtmReplace");
    library::TFiles* plan = entryNamed("plan.dwg");
    const QString row = testlib::catalogueAnswer(
        {{plan->FileId, "", "plan.dwg", "1", plan->FilePath, "0", "Alice"}});
    TestHttpServer scripted;
    ucm::setServiceBase(QString::fromLatin1(scripted.baseUrl()));
    scripted.enqueue(answer("N,网盘空间不足。"));
    scripted.enqueue(answer("Y"));
    scripted.enqueue(answer(row.toLatin1()));
    pane->UploadChanges();
    ASSERT_EQ(scripted.requestCount(), 3u);
    plan = entryNamed("plan.dwg");
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->LocalState, 3);
    EXPECT_TRUE(plan->LocalModified);  // the next upload tries again
    EXPECT_EQ(testlib::outlineWithStates(*pane->tree()), "plan.dwg:11");
}
