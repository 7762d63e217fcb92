// The task list window against a scripted loopback service.
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "tasks/EnlargedPicture.h"
#include "tasks/PictureBox.h"
#include "tasks/uFrmFileMsg.h"
#include "tasks/uFrmNewMsg.h"
#include "tests/tasks/TaskFixtures.h"

using namespace taskstest;
using testsupport::RecordedRequest;
using testsupport::ScriptedReply;

namespace {

class TaskListTest : public TaskTest {
protected:
    // Serves the task answer for FileMsgGet, files by path, and "" for the rest.
    void serve(const QByteArray& tasks, std::map<QString, QByteArray> files = {}) {
        server_.setHandler([tasks, files](const RecordedRequest& r) {
            const QString target = QString::fromLatin1(r.target);
            if (target.startsWith(QStringLiteral("/act/FileMng/FileMsgGet"))) {
                return wrapped(QString::fromLatin1(tasks));
            }
            if (target.startsWith(QStringLiteral("/act/"))) return wrapped(QString());
            const auto file = files.find(target);
            if (file != files.end()) return fileReply(file->second);
            return ScriptedReply::http(404, QByteArray());
        });
    }
    QStringList rowTexts(const TFrmFileMsg& w, int column) const {
        QStringList texts;
        for (int r = 0; r < w.lv1->rowCount(); ++r) texts << w.lv1->item(r, column)->text();
        return texts;
    }
    size_t requestsTo(const QString& prefix) const {
        size_t n = 0;
        for (const RecordedRequest& r : server_.requests()) {
            if (QString::fromLatin1(r.target).startsWith(prefix)) ++n;
        }
        return n;
    }
};

}  // namespace

TEST_F(TaskListTest, ListsTheTasksInTheServiceOrderWithStatusTexts) {
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("王工:门洞尺寸"), 0),
                       taskRow(QStringLiteral("2"), QStringLiteral("王工:标高"), 1),
                       taskRow(QStringLiteral("3"), QStringLiteral("王工:图框"), 2)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    ASSERT_EQ(server_.requestCount(), 1u);
    EXPECT_EQ(actPath(server_.requests().front()), QStringLiteral("FileMng/FileMsgGet?fileId=F1"));
    EXPECT_EQ(w.CurrentFileId(), QStringLiteral("F1"));
    EXPECT_EQ(rowTexts(w, 1),
              QStringList({QStringLiteral("王工:门洞尺寸"), QStringLiteral("王工:标高"),
                           QStringLiteral("王工:图框")}));
    EXPECT_EQ(rowTexts(w, 3), QStringList({QStringLiteral("新建"), QStringLiteral("关闭"),
                                           QStringLiteral("作废")}));
    EXPECT_EQ(rowTexts(w, 0).front(), QStringLiteral("2024-05-01 09:07:03"));
    EXPECT_EQ(rowTexts(w, 2).front(), QStringLiteral("王工"));
    EXPECT_EQ(w.CurrentMsg(), nullptr);
}

TEST_F(TaskListTest, ThePendingFilterShowsOnlyNewTasksAndUncheckingRestoresTheOrder) {
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0),
                       taskRow(QStringLiteral("2"), QStringLiteral("b"), 1),
                       taskRow(QStringLiteral("3"), QStringLiteral("c"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.chkdcl->click();
    EXPECT_EQ(rowTexts(w, 1), QStringList({QStringLiteral("a"), QStringLiteral("c")}));
    w.chkdcl->click();
    EXPECT_EQ(rowTexts(w, 1),
              QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
}

TEST_F(TaskListTest, ATaskClosedWhileFilteredStaysListedUntilTheListIsRefilled) {
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0),
                       taskRow(QStringLiteral("2"), QStringLiteral("b"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.chkdcl->click();
    w.lv1->selectRow(0);
    dialogs_.inputNext(QStringLiteral("完成"));
    w.btnClose->click();
    EXPECT_EQ(rowTexts(w, 3), QStringList({QStringLiteral("关闭"), QStringLiteral("新建")}));
    EXPECT_EQ(rowTexts(w, 1).front(), QStringLiteral("a"));  // the content column keeps its text
    w.chkdcl->click();
    w.chkdcl->click();
    EXPECT_EQ(rowTexts(w, 1), QStringList({QStringLiteral("b")}));
}

TEST_F(TaskListTest, ClosingSendsTheHistoryAsBase64OfGbkBytes) {
    // "B:xy\r\n" is six bytes, so "A:完成" starts a new Base64 group: 41 3A CD EA B3 C9.
    serve(tasksAnswer({taskRow(QStringLiteral("11"), QStringLiteral("B:xy"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.lv1->selectRow(0);
    dialogs_.inputNext(QStringLiteral("完成"));
    w.btnClose->click();

    ASSERT_EQ(dialogs_.inputs().size(), 1u);
    EXPECT_EQ(dialogs_.inputs()[0].caption, QStringLiteral("意见输入框"));
    EXPECT_EQ(dialogs_.inputs()[0].prompt, QStringLiteral("请输入评审意见"));
    EXPECT_EQ(dialogs_.inputs()[0].preset, QStringLiteral("完成"));
    const RecordedRequest set = server_.requests().back();
    EXPECT_EQ(actPath(set),
              QStringLiteral("FileMng/FileMsgSet?id=11&msgInfo=Qjp4eQ0KQTrN6rPJ&status=1"));
    EXPECT_EQ(w.MsgList()[0]->MsgInfo, QStringLiteral("B:xy\r\nA:完成"));
    EXPECT_EQ(w.MsgList()[0]->Status, 1);
    EXPECT_EQ(w.mmoInfo->toPlainText(), QStringLiteral("B:xy\nA:完成"));
}

TEST_F(TaskListTest, DiscardingOffersItsOwnDefaultAndSetsStatusTwo) {
    serve(tasksAnswer({taskRow(QStringLiteral("5"), QStringLiteral("B:x"), 1)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.lv1->selectRow(0);
    dialogs_.inputNext(QStringLiteral("无需处理"));
    w.btnDel->click();
    EXPECT_EQ(dialogs_.inputs().back().preset, QStringLiteral("无需处理"));
    EXPECT_TRUE(actPath(server_.requests().back()).endsWith(QStringLiteral("&status=2")));
    EXPECT_EQ(w.lv1->item(0, 3)->text(), QStringLiteral("作废"));
    EXPECT_EQ(w.MsgList()[0]->MsgInfo, QStringLiteral("B:x\r\nA:无需处理"));
}

TEST_F(TaskListTest, CancellingTheOpinionOrHavingNoSelectionChangesAndSendsNothing) {
    serve(tasksAnswer({taskRow(QStringLiteral("5"), QStringLiteral("B:x"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.btnClose->click();  // nothing selected
    EXPECT_TRUE(dialogs_.inputs().empty());
    w.lv1->selectRow(0);
    const size_t before = server_.requestCount();
    dialogs_.inputNext(std::nullopt);
    w.btnClose->click();
    EXPECT_EQ(server_.requestCount(), before);
    EXPECT_EQ(w.MsgList()[0]->MsgInfo, QStringLiteral("B:x"));
    EXPECT_EQ(w.MsgList()[0]->Status, 0);
    EXPECT_EQ(w.lv1->item(0, 3)->text(), QStringLiteral("新建"));
}

TEST_F(TaskListTest, APictureIsDownloadedOnFirstSelectionOnlyAndKeptUnderItsServiceName) {
    const QString picture = serverUrl(QStringLiteral("File\\p1.jpg"));
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0, picture),
                       taskRow(QStringLiteral("2"), QStringLiteral("b"), 0)}),
          {{QStringLiteral("/File\\p1.jpg"), jpegBytes(32, 24, Qt::red)}});
    {
        TFrmFileMsg w;
        w.LoadFileMsgs(QStringLiteral("F1"));
        EXPECT_EQ(w.MsgList()[0]->LocalState, 2);
        w.lv1->selectRow(0);
        EXPECT_EQ(requestsTo(QStringLiteral("/File")), 1u);
        EXPECT_EQ(w.MsgList()[0]->LocalState, 3);
        EXPECT_EQ(w.MsgList()[0]->LocalPath, userFolder() + QStringLiteral("p1.jpg"));
        EXPECT_TRUE(QFile::exists(userFolder() + QStringLiteral("p1.jpg")));
        EXPECT_EQ(w.img1->image().size(), QSize(32, 24));
        EXPECT_EQ(w.mmoInfo->toPlainText(), QStringLiteral("a"));

        w.lv1->selectRow(1);  // a task without picture
        EXPECT_EQ(w.img1->image(), w.NoPicture());
        EXPECT_EQ(w.CurrentMsg(), w.MsgList()[1].get());
        w.lv1->selectRow(0);
        EXPECT_EQ(requestsTo(QStringLiteral("/File")), 1u);
        EXPECT_EQ(w.img1->image().size(), QSize(32, 24));
    }
    // As after a restart: the local copy is found at load and nothing is fetched.
    TFrmFileMsg again;
    again.LoadFileMsgs(QStringLiteral("F1"));
    EXPECT_EQ(again.MsgList()[0]->LocalState, 3);
    again.lv1->selectRow(0);
    EXPECT_EQ(requestsTo(QStringLiteral("/File")), 1u);
    EXPECT_EQ(again.img1->image().size(), QSize(32, 24));
}

TEST_F(TaskListTest, AFailedDownloadLeavesNoFileShowsNoPictureAndIsTriedAgain) {
    const QString picture = serverUrl(QStringLiteral("File\\gone.jpg"));
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0, picture),
                       taskRow(QStringLiteral("2"), QStringLiteral("b"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.lv1->selectRow(0);
    EXPECT_EQ(w.MsgList()[0]->LocalState, 2);
    EXPECT_FALSE(QFile::exists(userFolder() + QStringLiteral("gone.jpg")));
    EXPECT_EQ(w.img1->image(), w.NoPicture());
    EXPECT_EQ(w.mmoInfo->toPlainText(), QStringLiteral("a"));
    // Moving to the other row reports the old row first (deselection): one more try
    // for it, then the new row's details.
    w.lv1->selectRow(1);
    w.lv1->selectRow(0);
    EXPECT_GE(requestsTo(QStringLiteral("/File")), 2u);
    EXPECT_EQ(w.CurrentMsg(), w.MsgList()[0].get());
}

TEST_F(TaskListTest, APictureThatCannotBeReadShowsNoPicture) {
    const QString picture = serverUrl(QStringLiteral("File\\bad.jpg"));
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0, picture)}),
          {{QStringLiteral("/File\\bad.jpg"), QByteArray("not a picture")}});
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.lv1->selectRow(0);
    EXPECT_EQ(w.MsgList()[0]->LocalState, 3);
    EXPECT_EQ(w.img1->image(), w.NoPicture());
}

TEST_F(TaskListTest, ClearingTheSelectionKeepsTheLastDetailsAndCurrentTask) {
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.lv1->selectRow(0);
    w.lv1->clearSelection();
    EXPECT_EQ(w.CurrentMsg(), w.MsgList()[0].get());
    EXPECT_EQ(w.mmoInfo->toPlainText(), QStringLiteral("a"));
}

TEST_F(TaskListTest, AnEmptyAnswerLeavesTheListEmptyButKeepsTheDrawingForNewTasks) {
    serve(QByteArray());
    server_.setHandler({});
    server_.setDefaultReply(ScriptedReply::http(500, QByteArray()));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F9"));
    EXPECT_EQ(w.lv1->rowCount(), 0);
    EXPECT_EQ(w.CurrentFileId(), QStringLiteral("F9"));
    EXPECT_TRUE(dialogs_.boxes().empty());
}

TEST_F(TaskListTest, AnUnreadableAnswerReachesTheErrorReportAndLeavesTheListEmpty) {
    for (const QByteArray& bad : {QByteArray("abc"), QByteArray("aGVsbG8gd29ybGQh")}) {
        dialogs_.clear();
        server_.setHandler(
            [bad](const RecordedRequest&) { return wrapped(QString::fromLatin1(bad)); });
        TFrmFileMsg w;
        w.LoadFileMsgs(QStringLiteral("F1"));
        EXPECT_EQ(w.lv1->rowCount(), 0) << bad.constData();
        EXPECT_TRUE(w.MsgList().empty());
        ASSERT_EQ(dialogs_.boxes().size(), 1u) << bad.constData();
        EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("OrvaneCAD"));
        EXPECT_EQ(dialogs_.boxes()[0].icon, platform::Icon::Error);
    }
}

TEST_F(TaskListTest, AStatusThatIsNotAWholeNumberStopsTheLoad) {
    Row row = taskRow(QStringLiteral("1"), QStringLiteral("a"), 0);
    row[QStringLiteral("Status")] = QStringLiteral("1x");
    serve(tasksAnswer({taskRow(QStringLiteral("0"), QStringLiteral("ok"), 0), row}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    EXPECT_EQ(w.lv1->rowCount(), 0);
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_TRUE(dialogs_.boxes()[0].text.contains(QStringLiteral("1x")));
}

TEST_F(TaskListTest, AnEmptyFileIdClearsTheListWithoutAsking) {
    serve(tasksAnswer({taskRow(QStringLiteral("1"), QStringLiteral("a"), 0)}));
    TFrmFileMsg w;
    w.LoadFileMsgs(QStringLiteral("F1"));
    w.LoadFileMsgs(QString());
    EXPECT_EQ(w.lv1->rowCount(), 0);
    EXPECT_EQ(server_.requestCount(), 1u);
}

TEST_F(TaskListTest, NewTaskBeforeAnyDrawingAsksToOpenOneFirst) {
    TFrmFileMsg w;
    bool dialogOpened = false;
    ModalHookGuard guard([&](QDialog&) {
        dialogOpened = true;
        return int(QDialog::Rejected);
    });
    w.btnNewTask->click();
    EXPECT_FALSE(dialogOpened);
    ASSERT_EQ(dialogs_.boxes().size(), 1u);
    EXPECT_EQ(dialogs_.boxes()[0].text, QStringLiteral("请先打开图纸或者上传图纸。"));
    EXPECT_EQ(dialogs_.boxes()[0].caption, QStringLiteral("提示"));
}

TEST_F(TaskListTest, NewTaskCapturesTheViewHandsItToTheDialogAndReloadsOnOk) {
    serve(tasksAnswer({}));
    TFrmFileMsg w;
    QImage view(30, 20, QImage::Format_RGB32);
    view.fill(Qt::blue);
    int captures = 0;
    w.OnCaptureView = [&] {
        ++captures;
        return view;
    };
    w.LoadFileMsgs(QStringLiteral("F1"));
    int result = QDialog::Accepted;
    ModalHookGuard guard([&](QDialog& d) {
        auto* dialog = qobject_cast<TFrmNewMsg*>(&d);
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
            EXPECT_EQ(dialog->ViewBitmap(), view);
            EXPECT_EQ(dialog->TargetFileId(), QStringLiteral("F1"));
            EXPECT_EQ(dialog->PicFolder(), userFolder());
        }
        return result;
    });
    w.btnNewTask->click();
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(server_.requestCount(), 2u);  // reloaded after OK
    result = QDialog::Rejected;
    w.btnNewTask->click();
    EXPECT_EQ(server_.requestCount(), 2u);
}

TEST_F(TaskListTest, ClickingThePictureOpensItEnlargedInAWindowOf800By600) {
    TFrmFileMsg w;
    QImage shown(50, 40, QImage::Format_RGB32);
    shown.fill(Qt::green);
    w.img1->setImage(shown);
    bool opened = false;
    ModalHookGuard guard([&](QDialog& d) {
        auto* enlarged = qobject_cast<tasks::EnlargedPicture*>(&d);
        EXPECT_NE(enlarged, nullptr);
        if (enlarged) {
            opened = true;
            EXPECT_EQ(enlarged->size(), QSize(800, 600));
            EXPECT_TRUE(enlarged->windowTitle().isEmpty());
            EXPECT_EQ(enlarged->picture()->image(), shown);
            EXPECT_TRUE(enlarged->picture()->stretch());
        }
        return int(QDialog::Accepted);
    });
    w.img1Click();
    EXPECT_TRUE(opened);
}

TEST_F(TaskListTest, ColumnWidthsFollowTheWindowWidth) {
    TFrmFileMsg w;
    w.resize(329, 600);
    w.show();
    EXPECT_EQ(w.lv1->columnWidth(0), 120);
    EXPECT_EQ(w.lv1->columnWidth(1), 329 - 220);
    EXPECT_EQ(w.lv1->columnWidth(2), 60);
    EXPECT_EQ(w.lv1->columnWidth(3), 40);
    w.resize(500, 600);
    EXPECT_EQ(w.lv1->columnWidth(1), 280);
}

TEST(TaskStatusText, NamesTheThreeStatesAndMarksOthersUnknown) {
    EXPECT_EQ(TFrmFileMsg::StatusText(0), QStringLiteral("新建"));
    EXPECT_EQ(TFrmFileMsg::StatusText(1), QStringLiteral("关闭"));
    EXPECT_EQ(TFrmFileMsg::StatusText(2), QStringLiteral("作废"));
    EXPECT_EQ(TFrmFileMsg::StatusText(7), QStringLiteral("未知"));
}
