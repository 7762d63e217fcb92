// The whole road on the demo data the project generates: log in as the demo user that
// scripts/run announces, see the own and the shared library, open a drawing from the
// tree and see it drawn, review it with a task, leave a change for the upload at the
// end of the session, and find everything again after starting the client anew.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <set>

#include "account/TLoginPanel.h"
#include "dwgviewx/TDwgViewX.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"
#include "library/TLibraryPane.h"
#include "notify/uFrmTip.h"
#include "notify/uThread.h"
#include "service/ucm.h"
#include "sharing/uFrmPublish.h"
#include "tasks/PictureBox.h"
#include "tasks/uFrmFileMsg.h"
#include "tasks/uFrmNewMsg.h"
#include "tests/e2e/DemoRoad.h"
#include "tests/e2e/Pixels.h"

namespace {

using e2e::DemoRoad;

const QString kFloorPlan = QStringLiteral("floor-plan.dwg");
const QString kTaskText = QStringLiteral("卫生间门宽不足\n请改为900");
const QString kOpinion = QStringLiteral("已改为900");
const QString kNewFolder = QStringLiteral("评审记录");
const QString kRevisedPlan = QStringLiteral("总平面图-修改.dwg");

QStringList demoFileNames() {
    QStringList out;
    for (const auto& demo : dwggen::demoDrawings()) out << QString::fromStdString(demo.fileName);
    out.sort();
    return out;
}

std::set<std::string> layerNames(const std::vector<dwgviewx::render::SceneLayer>& layers) {
    std::set<std::string> out;
    for (const auto& l : layers) out.insert(l.name);
    return out;
}

std::set<std::string> layerNames(const dwg::Drawing& drawing) {
    std::set<std::string> out;
    for (const auto& l : drawing.layers) out.insert(l.name);
    return out;
}

TFrmTip* visibleMessageBox() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* tip = qobject_cast<TFrmTip*>(w); tip && tip->isVisible()) return tip;
    }
    return nullptr;
}

// The row of the task whose history starts with `start`, or -1.
int rowStartingWith(const TFrmFileMsg& list, const QString& start) {
    for (int row = 0; row < list.lv1->rowCount(); ++row) {
        const QTableWidgetItem* content = list.lv1->item(row, 1);
        if (content && content->text().startsWith(start)) return row;
    }
    return -1;
}

class DemoUserRoad : public DemoRoad {
protected:
    // Each step asserts what the person sees at its end.
    void logInAsDemoUser();
    void seeOwnAndSharedLibraries();
    void openFloorPlanFromTheTree();
    void seeTheDrawingDrawnOnBothBackgrounds();
    void markUpTheView();
    void addATaskWithTheViewAndCloseIt();
    void importAndUploadARevisedDrawing();
    void leaveANewFolderForTheUploadAtClose();
    void findEverythingAfterARestart();

    QString expectedTaskStart() const { return QStringLiteral("演示用户:卫生间门宽不足"); }
    // The drawings of the own and the shared view together, sorted; leaves the own view.
    QStringList drawingsInBothViews() {
        chooseView(1);
        QStringList all = drawingsShown();
        chooseView(0);
        all += drawingsShown();
        all.sort();
        return all;
    }
    QString demoPhone;
    QTemporaryDir disk;  // the person's own files
};

void DemoUserRoad::logInAsDemoUser() {
    const e2e::PrintedLogin printed = e2e::loginPrintedByRunScript();
    ASSERT_FALSE(printed.phone.isEmpty()) << "scripts/run no longer prints the demo login";
    demoPhone = printed.phone;

    TFrmMain& w = startClient();
    w.tbtmFiles->trigger();  // "网盘" shows the login panel
    ASSERT_FALSE(w.pnlLogin->isHidden());
    logIn(printed.phone, printed.password);
    ASSERT_FALSE(ucm::CurrentUserId().isEmpty()) << dialogs.boxTexts().join('|').toStdString();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({QStringLiteral("登录成功。")}));
    EXPECT_EQ(ucm::CurrentUserName(), QStringLiteral("演示用户"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^您拥有的网盘空间剩余：\\d+MB$"))
                    .match(w.statusText())
                    .hasMatch())
        << w.statusText().toStdString();
    EXPECT_TRUE(w.pnlLogin->isHidden());
    EXPECT_TRUE(tree()->isVisible());
    dialogs.clear();
}

void DemoUserRoad::seeOwnAndSharedLibraries() {
    ASSERT_EQ(window->pnlDoc->LastFilterIndex(), 0);
    const QStringList top = childTexts(nullptr);
    EXPECT_TRUE(top.contains(QStringLiteral("住宅项目")) &&
                top.contains(QStringLiteral("参考图纸")))
        << top.join('|').toStdString();
    QTreeWidgetItem* project = node(QStringLiteral("住宅项目"));
    ASSERT_NE(project, nullptr);
    ASSERT_EQ(project->parent(), nullptr);
    const QStringList inProject = childTexts(project);
    EXPECT_TRUE(inProject.contains(QStringLiteral("建筑")) &&
                inProject.contains(QStringLiteral("结构")))
        << inProject.join('|').toStdString();
    EXPECT_EQ(node(QStringLiteral("办公楼项目")), nullptr) << "the colleague's folder is not own";
    const QStringList own = drawingsShown();
    EXPECT_FALSE(own.isEmpty());

    ASSERT_NO_FATAL_FAILURE(chooseView(1));
    QTreeWidgetItem* colleague = node(QStringLiteral("李工"));
    ASSERT_NE(colleague, nullptr) << "one group node per owner who shares";
    EXPECT_EQ(colleague->parent(), nullptr);
    EXPECT_TRUE(childTexts(colleague).contains(QStringLiteral("办公楼项目")));
    EXPECT_EQ(node(QStringLiteral("住宅项目")), nullptr);
    const QStringList shared = drawingsShown();
    EXPECT_FALSE(shared.isEmpty());

    QStringList both = own + shared;
    both.sort();
    EXPECT_EQ(both, demoFileNames()) << "each generated drawing shows in exactly one view";
    ASSERT_NO_FATAL_FAILURE(chooseView(0));
}

void DemoUserRoad::openFloorPlanFromTheTree() {
    QTreeWidgetItem* plan = findDrawingInEitherView(kFloorPlan);
    ASSERT_NE(plan, nullptr);
    const int before = drawingDownloads();
    ASSERT_NO_FATAL_FAILURE(doubleClick(plan));
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
    EXPECT_EQ(drawingDownloads(), before + 1);

    const library::TFiles* current = window->pnlDoc->CurrentEntry();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->FileNewName, kFloorPlan);
    EXPECT_EQ(current->LocalState, 3);
    EXPECT_TRUE(current->LocalPath.startsWith(ucm::UserFolder()));
    EXPECT_TRUE(QFileInfo(current->LocalPath).isFile());

    dwgviewx::TDwgViewX& viewer = *window->Viewer;
    EXPECT_EQ(viewer.currentPath(), current->LocalPath);
    ASSERT_NE(viewer.scene(), nullptr) << "the viewer reports no drawing loaded";
    EXPECT_EQ(layerNames(viewer.layers()), layerNames(dwggen::floorPlan()));
    for (const auto& layer : viewer.layers()) EXPECT_TRUE(layer.on && !layer.frozen) << layer.name;
}

void DemoUserRoad::seeTheDrawingDrawnOnBothBackgrounds() {
    dwgviewx::TDwgViewX& viewer = *window->Viewer;
    ASSERT_EQ(viewer.Background(), 0);
    const QImage dark = viewer.renderFrame();
    ASSERT_FALSE(dark.isNull());
    ASSERT_GT(dark.width() * dark.height(), 100 * 100) << "the viewer has hardly any room";
    const int area = dark.width() * dark.height();
    const int drawnOnBlack = e2e::pixelsUnlike(dark, qRgb(0, 0, 0));
    EXPECT_GT(drawnOnBlack, area / 200) << "of " << area << " pixels";
    EXPECT_GT(e2e::colouredPixels(dark), area / 1000) << "the coloured layers are drawn";

    window->tbtmBkColor->trigger();  // "底色"
    ASSERT_EQ(viewer.Background(), 255);
    const QImage light = viewer.renderFrame();
    EXPECT_GT(e2e::pixelsUnlike(light, qRgb(255, 255, 255)), area / 200);
    window->tbtmBkColor->trigger();
    EXPECT_EQ(viewer.Background(), 0);

    // "放大" doubles the scale about the centre and the drawing still fills the view;
    // "适应" brings the whole drawing back.
    const double fitted = viewer.view().scale();
    window->tbtmZoomIn->trigger();
    EXPECT_DOUBLE_EQ(viewer.view().scale(), 2 * fitted);
    EXPECT_GT(e2e::pixelsUnlike(viewer.renderFrame(), qRgb(0, 0, 0)), area / 200);
    window->tbtmFit->trigger();
    EXPECT_DOUBLE_EQ(viewer.view().scale(), fitted);
}

void DemoUserRoad::markUpTheView() {
    dwgviewx::TDwgViewX& viewer = *window->Viewer;
    window->tbtmLine->trigger();  // "画线"
    ASSERT_EQ(viewer.mode(), dwgviewx::TDwgViewX::Mode::MarkLine);
    const QPoint from(viewer.width() / 4, viewer.height() / 4);
    const QPoint to(viewer.width() * 3 / 4, viewer.height() * 3 / 4);
    QTest::mousePress(&viewer, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(&viewer, to);
    QTest::mouseRelease(&viewer, Qt::LeftButton, Qt::NoModifier, to);
    ASSERT_EQ(viewer.marks().size(), 1u);
    const dwgviewx::MarkItem& line = viewer.marks()[0];
    EXPECT_EQ(line.kind, dwgviewx::MarkKind::Line);
    EXPECT_GT(QLineF(line.a, line.b).length(), 0.0);
    QTest::keyClick(&viewer, Qt::Key_Escape);
    EXPECT_EQ(viewer.mode(), dwgviewx::TDwgViewX::Mode::None);
}

void DemoUserRoad::addATaskWithTheViewAndCloseIt() {
    TFrmMain& w = *window;
    w.tbtmTaskMsg->trigger();  // "任务" shows the tasks of the open drawing
    ASSERT_TRUE(w.taskPaneVisible());
    TFrmFileMsg& list = *w.FrmFileMsg;
    ASSERT_EQ(list.CurrentFileId(), w.pnlDoc->CurrentEntry()->FileId);
    const int before = list.lv1->rowCount();

    QImage sent;
    e2e::ModalAnswers person([&](QDialog& d) {
        auto* dialog = qobject_cast<TFrmNewMsg*>(&d);
        if (!dialog) return int(QDialog::Rejected);
        dialog->mmoInfo->setPlainText(kTaskText);
        sent = dialog->PictureToSend();
        QTest::mouseClick(dialog->btnPost, Qt::LeftButton);
        return dialog->result();
    });
    QTest::mouseClick(list.btnNewTask, Qt::LeftButton);
    EXPECT_EQ(dialogs.boxTexts(), QStringList({QStringLiteral("已保存到服务器。")}));
    ASSERT_EQ(list.lv1->rowCount(), before + 1);
    const int row = rowStartingWith(list, expectedTaskStart());
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.lv1->item(row, 3)->text(), QStringLiteral("新建"));
    EXPECT_EQ(list.lv1->item(row, 2)->text(), QStringLiteral("演示用户"));
    EXPECT_FALSE(sent.isNull());
    EXPECT_GT(e2e::colouredPixels(sent), sent.width() * sent.height() / 1000)
        << "the task picture shows the drawing's view";

    list.lv1->selectRow(row);
    ASSERT_NE(list.CurrentMsg(), nullptr);
    EXPECT_EQ(list.CurrentMsg()->LocalState, 3) << "the picture just sent needs no download";
    EXPECT_EQ(list.img1->image().size(), sent.size());

    dialogs.clear();
    dialogs.inputNext(kOpinion);
    QTest::mouseClick(list.btnClose, Qt::LeftButton);
    EXPECT_EQ(list.lv1->item(row, 3)->text(), QStringLiteral("关闭"));
    EXPECT_TRUE(list.mmoInfo->toPlainText().endsWith(QStringLiteral("演示用户:") + kOpinion));
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
}

void DemoUserRoad::importAndUploadARevisedDrawing() {
    ASSERT_TRUE(disk.isValid());
    const QString revised = disk.filePath(kRevisedPlan);
    ASSERT_EQ(dwg::writer::writeR2000File(dwggen::sitePlan(), revised.toStdString()), "");
    QTreeWidgetItem* folder = node(QStringLiteral("结构"));
    ASSERT_NO_FATAL_FAILURE(select(folder));
    dialogs.clear();
    dialogs.openNext({revised});
    libraryAction("bbAddFile")->trigger();  // "导入DWG"
    QTreeWidgetItem* imported = node(kRevisedPlan);
    ASSERT_NE(imported, nullptr);
    EXPECT_EQ(imported->parent(), folder);

    libraryAction("bbPost")->trigger();  // "上传", then the catalogue loads afresh
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
    QTreeWidgetItem* uploaded = node(kRevisedPlan);
    ASSERT_NE(uploaded, nullptr) << "the drawing is in the service's catalogue";
    ASSERT_NE(uploaded->parent(), nullptr);
    EXPECT_EQ(uploaded->parent()->text(0), QStringLiteral("结构"));

    ASSERT_NO_FATAL_FAILURE(doubleClick(uploaded));
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
    const library::TFiles* current = window->pnlDoc->CurrentEntry();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->FileNewName, kRevisedPlan);
    EXPECT_FALSE(current->FilePath.isEmpty());
    EXPECT_EQ(window->Viewer->currentPath(), current->LocalPath);
    EXPECT_EQ(layerNames(window->Viewer->layers()), layerNames(dwggen::sitePlan()));
}

void DemoUserRoad::leaveANewFolderForTheUploadAtClose() {
    QTreeWidgetItem* project = node(QStringLiteral("住宅项目"));
    ASSERT_NO_FATAL_FAILURE(select(project));
    QAction* addSub = libraryAction("tbtmAddSub");
    ASSERT_NE(addSub, nullptr);
    addSub->trigger();  // "添加子目录"
    QTreeWidgetItem* made = node(QStringLiteral("新建文件夹"));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->parent(), project);
    ASSERT_NO_FATAL_FAILURE(select(made));
    dialogs.inputNext(kNewFolder);
    libraryAction("tbtmModify")->trigger();  // "修改图纸" renames a folder
    EXPECT_EQ(made->text(0), kNewFolder);
    window->pnlLogin->tbxchckbx1->setChecked(true);  // "记住密码"
}

void DemoUserRoad::findEverythingAfterARestart() {
    const int downloadsBefore = drawingDownloads();
    TFrmMain& w = startClient();
    EXPECT_EQ(w.pnlLogin->edt1->text(), demoPhone) << "the login is remembered";
    w.tbtmFiles->trigger();
    QTest::mouseClick(w.pnlLogin->btn1, Qt::LeftButton);
    ASSERT_FALSE(ucm::CurrentUserId().isEmpty()) << dialogs.boxTexts().join('|').toStdString();

    QStringList expected = demoFileNames() << kRevisedPlan;
    expected.sort();
    EXPECT_EQ(drawingsInBothViews(), expected) << "seeding again adds nothing twice";
    QTreeWidgetItem* folder = node(kNewFolder);
    ASSERT_NE(folder, nullptr) << "the folder made before the close was uploaded";
    ASSERT_NE(folder->parent(), nullptr);
    EXPECT_EQ(folder->parent()->text(0), QStringLiteral("住宅项目"));

    QTreeWidgetItem* plan = findDrawingInEitherView(kFloorPlan);
    ASSERT_NE(plan, nullptr);
    ASSERT_NO_FATAL_FAILURE(doubleClick(plan));
    EXPECT_EQ(drawingDownloads(), downloadsBefore) << "the local copy is opened, not fetched again";
    ASSERT_NE(w.Viewer->scene(), nullptr);
    EXPECT_GT(e2e::pixelsUnlike(w.Viewer->renderFrame(), qRgb(0, 0, 0)), 0);

    w.tbtmTaskMsg->trigger();
    const TFrmFileMsg& list = *w.FrmFileMsg;
    const int row = rowStartingWith(list, expectedTaskStart());
    ASSERT_GE(row, 0) << "the task is kept by the service";
    EXPECT_EQ(list.lv1->item(row, 3)->text(), QStringLiteral("关闭"));
    EXPECT_TRUE(list.lv1->item(row, 1)->text().endsWith(QStringLiteral("演示用户:") + kOpinion));
}

TEST_F(DemoUserRoad, TheDemoUserReviewsAGeneratedDrawingAndFindsTheWorkAfterARestart) {
    ASSERT_NO_FATAL_FAILURE(logInAsDemoUser());
    ASSERT_NO_FATAL_FAILURE(seeOwnAndSharedLibraries());
    ASSERT_NO_FATAL_FAILURE(openFloorPlanFromTheTree());
    ASSERT_NO_FATAL_FAILURE(seeTheDrawingDrawnOnBothBackgrounds());
    ASSERT_NO_FATAL_FAILURE(markUpTheView());
    ASSERT_NO_FATAL_FAILURE(addATaskWithTheViewAndCloseIt());
    ASSERT_NO_FATAL_FAILURE(importAndUploadARevisedDrawing());
    ASSERT_NO_FATAL_FAILURE(leaveANewFolderForTheUploadAtClose());
    dialogs.clear();
    endSession();  // closing uploads the pending change and writes the settings
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
    EXPECT_EQ(pollerStarts.size(), 1);
    // scripts/run is stopped and run again: the service stops, the generator and the
    // seeding run again on the same data folder, and the service starts anew.
    stopService();
    ASSERT_EQ(seedAsRunScriptDoes(), 0);
    ASSERT_NO_FATAL_FAILURE(startService());
    ASSERT_NO_FATAL_FAILURE(findEverythingAfterARestart());
    dialogs.clear();
    endSession();
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join('|').toStdString();
}

TEST_F(DemoUserRoad, AtTheNextStartTheMessageBoxBringsTheDemoUsersMessagesAndNoUpdateIsAsked) {
    ASSERT_NO_FATAL_FAILURE(logInAsDemoUser());
    window->pnlLogin->tbxchckbx1->setChecked(true);  // "记住密码"
    endSession();

    // The remembered account is what the poller asks the messages for.
    QPointer<TBackupThread> poller;
    startClient([&poller](const QString& account, const QString& date) {
        poller = TBackupThread::Start(account, date);
    });
    ASSERT_EQ(pollerStarts.size(), 2);
    EXPECT_TRUE(pollerStarts.last().startsWith(demoPhone + QLatin1Char('|')));
    ASSERT_TRUE(QTest::qWaitFor([] { return visibleMessageBox() != nullptr; }, 10000))
        << "no message box came up";
    TFrmTip* tip = visibleMessageBox();
    QStringList shown;
    for (int i = 0; i < tip->MsgCount(); ++i) {
        shown << tip->mmo2->toPlainText();
        QTest::mouseClick(tip->btn2, Qt::LeftButton);  // "下一条"
    }
    EXPECT_GE(shown.size(), 2) << "a message to everybody and those to the demo user";
    EXPECT_EQ(shown.filter(QStringLiteral("共享图纸")).size(), 1) << shown.join('|').toStdString();
    EXPECT_TRUE(ucm::CurrentUserId().isEmpty()) << "messages come before any login";

    QTest::mouseClick(tip->btn3, Qt::LeftButton);  // "关闭" lets the update check run
    ASSERT_TRUE(QTest::qWaitFor([&poller] { return poller.isNull(); }, 10000))
        << "the poller did not end";
    EXPECT_TRUE(dialogs.boxes().empty()) << "the client is current; nothing is offered: "
                                         << dialogs.boxTexts().join('|').toStdString();
    endSession();
}

TEST_F(DemoUserRoad, TheSecondUserOfTheRunScriptSeesOnlyHisLibraryAndSharesItWithTheDemoUser) {
    const e2e::PrintedLogin printed = e2e::loginPrintedByRunScript();
    ASSERT_FALSE(printed.secondPhone.isEmpty()) << "scripts/run no longer prints the second user";
    TFrmMain& w = startClient();
    w.tbtmFiles->trigger();
    logIn(printed.secondPhone, printed.password);
    ASSERT_FALSE(ucm::CurrentUserId().isEmpty()) << dialogs.boxTexts().join('|').toStdString();
    EXPECT_EQ(ucm::CurrentUserName(), QStringLiteral("李工"));

    QTreeWidgetItem* office = node(QStringLiteral("办公楼项目"));
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(office->parent(), nullptr) << "his own folder, at the top of his own view";
    const QStringList own = drawingsShown();
    EXPECT_FALSE(own.isEmpty());
    // Nothing of the demo user's library reaches him: the demo user shares with nobody.
    for (int view : {0, 1}) {
        ASSERT_NO_FATAL_FAILURE(chooseView(view));
        EXPECT_EQ(node(QStringLiteral("住宅项目")), nullptr) << "view " << view;
        EXPECT_EQ(node(QStringLiteral("参考图纸")), nullptr) << "view " << view;
    }
    ASSERT_NO_FATAL_FAILURE(chooseView(0));

    // "共享" lists the demo user among the members he shares with.
    QStringList members;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TFrmPublish*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seen = true;
        for (int row = 0; row < dialog->lv1->rowCount(); ++row)
            members << dialog->lv1->item(row, 0)->text() + QLatin1Char('|') +
                           dialog->lv1->item(row, 1)->text();
        dialog->reject();
    });
    libraryAction("tbtmUser")->trigger();
    ASSERT_TRUE(seen) << "the sharing dialog did not open modally";
    ASSERT_EQ(members.size(), 1) << members.join(',').toStdString();
    EXPECT_TRUE(members[0].endsWith(QStringLiteral("|演示用户"))) << members[0].toStdString();
    endSession();
}

}  // namespace
