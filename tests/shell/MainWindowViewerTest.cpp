// The viewer commands on the real window: open dialog, rotation, background, drops on
// the viewer, the tree and elsewhere, and the view capture.
#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <cmath>

#include "dwgviewx/TDwgViewX.h"
#include "dwgviewx/render/ViewTransform.h"
#include "library/TLibraryPane.h"
#include "platform/testing/FakeScreenGrab.h"
#include "tasks/uFrmFileMsg.h"
#include "tests/shell/WindowFixture.h"
#include "viewer/ViewerCommands.h"

using shelltest::WindowFixture;

namespace {

const QString kSample = QStringLiteral(ORVANE_SHARED_DIR "/dwg/sample_2000.dwg");

class ViewerCommandsOnWindow : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        open();
        window->show();
        ASSERT_TRUE(QTest_waitExposed());
    }
    bool QTest_waitExposed() {
        for (int i = 0; i < 50 && !window->isVisible(); ++i) QApplication::processEvents();
        QApplication::processEvents();
        return window->isVisible();
    }
    // Drops `paths` with the pointer at `global` (screen coordinates).
    void dropAt(QPoint global, const QStringList& paths) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        const QPointF local = window->mapFromGlobal(global);
        QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(local, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
        QApplication::processEvents();
    }
    QPoint viewerPoint() const {
        return window->frameGeometry().topLeft() +
               window->pnl1->mapTo(window.get(), QPoint(200, 200));
    }
    bool canOpenSample() {
        if (!QFile::exists(kSample)) return false;
        try {
            window->Viewer->OpenDrawing(kSample);
            window->Viewer->OpenDrawing(QString());
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }
    double rotation() const { return window->Viewer->view().rotation(); }
};

}  // namespace

TEST_F(ViewerCommandsOnWindow, TheOpenDialogAsksForOneDwgFileAndOpensIt) {
    dialogs.openNext({});
    window->tbtmOpen->trigger();
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(dialogs.openRequests()[0].filter, "DWG文件|*.dwg");
    EXPECT_FALSE(dialogs.openRequests()[0].multiSelect);
    EXPECT_TRUE(window->viewerCommands().recentFiles().paths().isEmpty());

    const QString broken = makeFile("x.dwg");
    dialogs.openNext({broken});
    window->tbtmOpen->trigger();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"不能正确打开此文件。"}));
    EXPECT_TRUE(window->viewerCommands().recentFiles().paths().isEmpty());

    if (!canOpenSample()) GTEST_SKIP() << "the viewer cannot open " << kSample.toStdString();
    dialogs.openNext({kSample});
    window->tbtmOpen->trigger();
    EXPECT_EQ(window->Viewer->currentPath(), kSample);
    EXPECT_EQ(window->viewerCommands().recentFiles().paths(), QStringList({kSample}));
}

TEST_F(ViewerCommandsOnWindow, RotationTakesWholeNumbersOnlyAndReducesThemAbove360) {
    const double start = rotation();
    dialogs.inputNext(QString("90"));
    window->tbtmRotate->trigger();
    EXPECT_DOUBLE_EQ(std::fmod(rotation() - start + 360.0, 360.0), 90.0);
    dialogs.inputNext(QString("400"));
    window->tbtmRotate->trigger();
    EXPECT_DOUBLE_EQ(std::fmod(rotation() - start + 360.0, 360.0), 130.0);
    dialogs.inputNext(QString("-45"));
    window->tbtmRotate->trigger();
    EXPECT_DOUBLE_EQ(std::fmod(rotation() - start + 360.0, 360.0), 85.0);
    const double before = rotation();
    for (const char* bad : {"4.5", "abc", ""}) {
        dialogs.inputNext(QString::fromUtf8(bad));
        window->tbtmRotate->trigger();
    }
    dialogs.inputNext(std::nullopt);  // cancelled: nothing at all
    window->tbtmRotate->trigger();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"请输入整数。", "请输入整数。", "请输入整数。"}));
    EXPECT_DOUBLE_EQ(rotation(), before);
    ASSERT_FALSE(dialogs.inputs().empty());
    EXPECT_EQ(dialogs.inputs()[0].caption, "输入");
    EXPECT_EQ(dialogs.inputs()[0].prompt, "顺时针旋转角度:");
    EXPECT_TRUE(dialogs.inputs()[0].preset.isEmpty());
}

TEST_F(ViewerCommandsOnWindow, TheBackgroundTogglesBetween0And255AndOtherValuesGoTo0) {
    window->Viewer->setBackground(0);
    window->tbtmBkColor->trigger();
    EXPECT_EQ(window->Viewer->Background(), 255);
    window->tbtmBkColor->trigger();
    EXPECT_EQ(window->Viewer->Background(), 0);
    window->Viewer->setBackground(12);
    window->tbtmBkColor->trigger();
    EXPECT_EQ(window->Viewer->Background(), 0);
}

TEST_F(ViewerCommandsOnWindow, ADropOnTheViewerOpensOnlyTheFirstFile) {
    const QString a = makeFile("a.txt");
    const QString b = makeFile("b.txt");
    dropAt(viewerPoint(), {a, b});
    EXPECT_EQ(window->DroppedFiles, QStringList({a, b}));
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"不能正确打开此文件。"}));

    if (!canOpenSample()) GTEST_SKIP() << "the viewer cannot open " << kSample.toStdString();
    dialogs.clear();
    dropAt(viewerPoint(), {kSample, a});
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_EQ(window->Viewer->currentPath(), kSample);
    EXPECT_EQ(window->viewerCommands().recentFiles().paths(), QStringList({kSample}));
}

TEST_F(ViewerCommandsOnWindow, ADropOnTheToolbarCountsAsTheViewerAndLongPathsStayWhole) {
    QString longName(300, QLatin1Char('n'));
    const QString deep = files.filePath("d");
    QDir().mkpath(deep);
    const QString longPath = makeFile("d/" + longName.left(200) + ".txt");
    ASSERT_GT(longPath.size(), 200);
    const QPoint onToolbar =
        window->frameGeometry().topLeft() + window->tbtlbr1->mapTo(window.get(), QPoint(30, 30));
    dropAt(onToolbar, {longPath});
    EXPECT_EQ(window->DroppedFiles, QStringList({longPath}));
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"不能正确打开此文件。"}));
}

TEST_F(ViewerCommandsOnWindow, ADropOnTheTreeHandsEveryFileToTheImportAfterALogin) {
    window->tbtmFiles->trigger();
    logIn();
    QApplication::processEvents();
    dialogs.clear();
    auto* tv1 = window->pnlDoc->findChild<QTreeWidget*>("tv1");
    ASSERT_NE(tv1, nullptr);
    ASSERT_FALSE(tv1->isHidden());
    const size_t before = window->pnlDoc->FileList().size();
    const QString a = makeFile("one.dwg");
    const QString b = makeFile("two.dwg");
    // The tree is tested 30 pixels below where it lies.
    const QPoint inTree = window->frameGeometry().topLeft() +
                          tv1->mapTo(window->pnlDoc, QPoint(20, 10)) + QPoint(0, 30);
    dropAt(inTree, {a, b});
    EXPECT_EQ(window->pnlDoc->FileList().size(), before + 2);
    EXPECT_TRUE(window->Viewer->currentPath().isEmpty());
}

TEST_F(ViewerCommandsOnWindow, ADropElsewhereDoesNothingButKeepsThePaths) {
    const QString a = makeFile("a.dwg");
    // The status bar lies outside the viewer panel and the tree.
    const QPoint left =
        window->frameGeometry().topLeft() + window->tbxstsbr1->mapTo(window.get(), QPoint(10, 5));
    dropAt(left, {a});
    EXPECT_EQ(window->DroppedFiles, QStringList({a}));
    EXPECT_TRUE(dialogs.boxes().empty());
    EXPECT_TRUE(window->pnlDoc->FileList().empty());
}

TEST_F(ViewerCommandsOnWindow, TheCaptureCoversTheViewerScaledOneAndAHalfTimes) {
    platform::testing::FakeScreenGrab screen(QRect(0, 0, 1920, 1080));
    platform::testing::InstallScreenGrab install(screen);
    QImage bitmap;
    window->CaptureView(bitmap);
    const QSize viewer = window->Viewer->frameGeometry().size();
    EXPECT_EQ(bitmap.size(), QSize(viewer.width() * 3 / 2, viewer.height() * 3 / 2));
    ASSERT_EQ(screen.grabs().size(), 1u);
    EXPECT_EQ(screen.grabs()[0].topLeft(), window->Viewer->mapToGlobal(QPoint(0, 0)));
    // And the task list's callback is bound to it.
    ASSERT_TRUE(window->FrmFileMsg->OnCaptureView);
    EXPECT_EQ(window->FrmFileMsg->OnCaptureView().size(), bitmap.size());
}
