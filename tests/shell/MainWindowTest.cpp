// The main window's frame, start and stop, the "网盘" toggle, the login against the
// stand-in service, help, the task button and the default error report.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>

#include "account/TLoginPanel.h"
#include "dwgviewx/TDwgViewX.h"
#include "library/TLibraryPane.h"
#include "shell/ErrorReport.h"
#include "tests/shell/WindowFixture.h"
#include "viewer/ViewerCommands.h"

using shelltest::kPassword;
using shelltest::kPhone;
using shelltest::WindowFixture;

namespace {

QStringList captions(const QList<QAction*>& actions) {
    QStringList out;
    for (const QAction* a : actions) out << a->text();
    return out;
}

bool enabledState(TFrmMain& w, const char* name) {
    QObject* o = w.pnlDoc->findChild<QObject*>(QString::fromLatin1(name));
    EXPECT_NE(o, nullptr) << name;
    return o && o->property("enabled").toBool();
}

}  // namespace

using MainWindow = WindowFixture;

TEST_F(MainWindow, OpensWithItsTitleSizePanesToolbarAndStatusBar) {
    TFrmMain& w = open();
    EXPECT_EQ(w.windowTitle(), "OrvaneCAD");
    EXPECT_EQ(w.size(), QSize(1285, 639));
    EXPECT_TRUE(w.pnlDoc->isHidden());
    EXPECT_TRUE(w.spl1->isHidden());
    EXPECT_TRUE(w.pnlRight->isHidden());
    EXPECT_EQ(w.pnlRight->width(), 329);
    EXPECT_EQ(w.pnlDoc->width(), 321);
    EXPECT_EQ(captions(w.tbtlbr1->actions()),
              QStringList({"网盘", "打开", "本地", "缩放", "移动", "画线", "文字", "测量", "旋转",
                           "底色", "图层", "打印", "任务", "在线帮助"}));
    for (QAction* a : w.tbtlbr1->actions())
        EXPECT_FALSE(a->icon().isNull()) << a->text().toStdString();
    EXPECT_EQ(w.tbtlbr1->iconSize(), QSize(48, 48));
    EXPECT_EQ(w.tbtlbr1->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(captions(w.tbxsbmntmzoom->menu()->actions()),
              QStringList({"局部放大", "放大", "缩小", "适应"}));
    EXPECT_EQ(captions(w.tbxsbmntmText->menu()->actions()),
              QStringList({"输入红字", "方形文本框", "云状文本框", "椭圆文本框", "圆角文本框"}));
    EXPECT_TRUE(w.TBXSubmenuItem1->menu()->actions().isEmpty());
    EXPECT_EQ(w.statusText(), "登录之后，您将拥有网盘和评审功能");
    EXPECT_EQ(w.statusPanel1->sizeHint().width(), 800);
    EXPECT_EQ(w.statusPanel2->sizeHint().width(), 300);
    EXPECT_TRUE(w.statusPanel2->text().isEmpty());
    EXPECT_NE(w.Viewer, nullptr);
    EXPECT_FALSE(w.Viewer->ShowToobar());
    EXPECT_FALSE(w.Viewer->EnableContextMenu());
    EXPECT_FALSE(w.Viewer->ShowLayoutBar());
    EXPECT_TRUE(w.Viewer->FontPath().endsWith(QStringLiteral("DWGViewX_32bit") + QDir::separator() +
                                              "Fonts"));
    for (const char* name :
         {"pnlDoc",   "pnlLogin",    "spl1",      "pnl1",     "tbdck1",          "tbtlbr1",
          "pnlRight", "tbxstsbr1",   "tbtmFiles", "tbtmOpen", "TBXSubmenuItem1", "tbtmZoomWindow",
          "tbtmFit",  "tbtmMovePan", "tbtmRect",  "tbtmcl",   "tbtmPrint",       "tbtm2",
          "tv1",      "edt1",        "btn1"})
        EXPECT_NE(w.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(MainWindow, ShowingStartsThePollerOnceWithTheAccountTextAndTheMessageDate) {
    platform::IniFile ini(iniPath());
    ini.writeString("user", "chk", "1");
    ini.writeString("user", "name", kPhone);
    ini.writeString("user", "msgDate", "2025-01-02 03:04:05");
    TFrmMain& w = open();
    w.show();
    w.hide();
    w.show();
    EXPECT_EQ(pollerStarts, QStringList({kPhone + "|2025-01-02 03:04:05"}));
}

TEST_F(MainWindow, ARememberedLoginFillsTheBoxesButDoesNotLogIn) {
    platform::IniFile ini(iniPath());
    ini.writeString("user", "chk", "1");
    ini.writeString("user", "name", kPhone);
    ini.writeString("user", "pwd", kPassword);
    TFrmMain& w = open();
    EXPECT_EQ(w.pnlLogin->edt1->text(), kPhone);
    EXPECT_EQ(w.pnlLogin->edt2->text(), kPassword);
    EXPECT_TRUE(w.pnlLogin->tbxchckbx1->isChecked());
    EXPECT_TRUE(ucm::CurrentUserId().isEmpty());
    EXPECT_EQ(w.statusText(), "登录之后，您将拥有网盘和评审功能");
}

TEST_F(MainWindow, PressingTheLibraryButtonTwiceShowsAndHidesPaneAndSplitterTogether) {
    TFrmMain& w = open();
    w.tbtmFiles->trigger();
    EXPECT_FALSE(w.pnlDoc->isHidden());
    EXPECT_FALSE(w.spl1->isHidden());
    EXPECT_FALSE(w.pnlLogin->isHidden());
    EXPECT_FALSE(enabledState(w, "bbAdd"));
    EXPECT_FALSE(enabledState(w, "tbtmUser"));
    EXPECT_FALSE(enabledState(w, "bbPost"));
    EXPECT_TRUE(w.pnlDoc->findChild<QWidget*>("tv1")->isHidden());
    w.tbtmFiles->trigger();
    EXPECT_TRUE(w.pnlDoc->isHidden());
    EXPECT_TRUE(w.spl1->isHidden());
}

TEST_F(MainWindow, LoggingInSwitchesThePaneShowsTheSpaceAndMakesTheUserFolder) {
    TFrmMain& w = open();
    w.tbtmFiles->trigger();
    logIn();
    EXPECT_EQ(dialogs.boxTexts().first(), "登录成功。");
    EXPECT_TRUE(
        QRegularExpression("^您拥有的网盘空间剩余：\\d+MB$").match(w.statusText()).hasMatch())
        << w.statusText().toStdString();
    EXPECT_EQ(ucm::CurrentUserName(), "Tester");
    EXPECT_TRUE(w.pnlLogin->isHidden());
    EXPECT_TRUE(enabledState(w, "bbAdd"));
    EXPECT_TRUE(enabledState(w, "tbtmUser"));
    EXPECT_TRUE(enabledState(w, "bbAddFile"));
    EXPECT_FALSE(w.pnlDoc->findChild<QWidget*>("tv1")->isHidden());
    EXPECT_FALSE(w.pnlDoc->findChild<QWidget*>("rg1")->isHidden());
    EXPECT_EQ(w.UserFolder, ucm::UserFolder());
    EXPECT_TRUE(QDir(w.UserFolder).exists());
    // Hidden and shown again, the pane keeps the library and not the login panel.
    w.tbtmFiles->trigger();
    w.tbtmFiles->trigger();
    EXPECT_TRUE(w.pnlLogin->isHidden());
    EXPECT_FALSE(w.pnlDoc->findChild<QWidget*>("tv1")->isHidden());
}

TEST_F(MainWindow, AWrongPasswordShowsTheServiceRefusalAndChangesNothing) {
    TFrmMain& w = open();
    w.pnlLogin->edt1->setText(kPhone);
    w.pnlLogin->edt2->setText("wrong-password");
    w.pnlLogin->btn1->click();
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_TRUE(dialogs.lastBox()->text.startsWith("登录失败："))
        << dialogs.lastBox()->text.toStdString();
    EXPECT_TRUE(ucm::CurrentUserId().isEmpty());
    EXPECT_EQ(w.statusText(), "登录之后，您将拥有网盘和评审功能");
}

TEST_F(MainWindow, ClosingWithoutALoginUploadsNothingAndWritesTheSettings) {
    platform::IniFile ini(iniPath());
    ini.writeString("user", "name", "kept");
    TFrmMain& w = open();
    const QString date = w.MessageDate;
    w.close();
    EXPECT_TRUE(dialogs.boxes().empty()) << dialogs.boxTexts().join("|").toStdString();
    EXPECT_EQ(ini.readString("user", "chk", "?"), "0");
    EXPECT_EQ(ini.readString("user", "msgDate", "?"), date);
    EXPECT_EQ(ini.readString("user", "AutoCADPath", "?"), "");
    EXPECT_EQ(ini.readString("user", "name", "?"), "kept");
    EXPECT_EQ(w.SettingsFile, nullptr);
    // The file may hold a password: nobody but its owner reads it.
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(iniPath()) & others, 0);
}

TEST_F(MainWindow, ClosingAfterALoginWithTheTickRemembersTheLoginAsTyped) {
    TFrmMain& w = open();
    logIn();
    w.pnlLogin->tbxchckbx1->setChecked(true);
    w.close();
    platform::IniFile ini(iniPath());
    EXPECT_EQ(ini.readString("user", "chk", "?"), "1");
    EXPECT_EQ(ini.readString("user", "name", "?"), kPhone);
    EXPECT_EQ(ini.readString("user", "pwd", "?"), kPassword);
}

TEST_F(MainWindow, ALocalFolderThatCannotBeMadeShowsTheReminderOnceAndTheWindowStillOpens) {
    const QString blocker = makeFile("blocker");
    ucm::setLocalRoot(blocker + QDir::separator() + "sub" + QDir::separator());
    TFrmMain& w = open();
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.lastBox()->text, "为了保证能使用本地存储，请用管理员权限运行。");
    EXPECT_EQ(dialogs.lastBox()->caption, "提醒");
    EXPECT_NE(w.Viewer, nullptr);
    // Writing the settings at exit then fails into the default error report.
    w.close();
    ASSERT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_TRUE(dialogs.lastBox()->text.startsWith("Unable to write to "))
        << dialogs.lastBox()->text.toStdString();
    EXPECT_EQ(dialogs.lastBox()->caption, "OrvaneCAD");
    EXPECT_EQ(dialogs.lastBox()->icon, platform::Icon::Error);
}

TEST_F(MainWindow, OnlineHelpOpensTheProductSiteThroughTheShell) {
    TFrmMain& w = open();
    w.tbtm2->trigger();
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, platform::testing::ShellCall::Kind::Open);
    EXPECT_TRUE(shell.calls()[0].target.contains("orvanecad"))
        << shell.calls()[0].target.toStdString();
}

TEST_F(MainWindow, TheTaskButtonAsksForALoginFirstAndThenTogglesThePane) {
    TFrmMain& w = open();
    w.tbtmTaskMsg->trigger();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"请先登录。云存储的图纸才能使用任务管理。"}));
    EXPECT_EQ(dialogs.lastBox()->caption, "提示");
    EXPECT_TRUE(w.pnlRight->isHidden());
    logIn();
    w.tbtmTaskMsg->trigger();
    EXPECT_FALSE(w.pnlRight->isHidden());
    EXPECT_TRUE(w.taskPaneVisible());
    w.tbtmTaskMsg->trigger();
    EXPECT_TRUE(w.pnlRight->isHidden());
}

TEST_F(MainWindow, AnErrorNoHandlerCatchesReachesTheErrorBoxWithTheDotRule) {
    const QString broken = makeFile("broken.dwg");
    platform::IniFile(iniPath()).writeString("df", "df1", broken);
    TFrmMain& w = open();
    QList<QAction*> items = w.TBXSubmenuItem1->menu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->objectName(), "tbitem0");
    EXPECT_EQ(items[0]->text(), broken);
    items[0]->trigger();  // the "本地" path catches nothing
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    const auto& box = *dialogs.lastBox();
    EXPECT_EQ(box.caption, "OrvaneCAD");
    EXPECT_EQ(box.icon, platform::Icon::Error);
    // The box shows the viewer's own error text under the "." rule.
    QString own;
    try {
        w.Viewer->OpenDrawing(broken);
    } catch (const std::exception& e) {
        own = QString::fromUtf8(e.what());
    }
    ASSERT_FALSE(own.isEmpty());
    EXPECT_EQ(box.text, shell::errorReportText(own));
    EXPECT_EQ(w.viewerCommands().recentFiles().paths(), QStringList({broken}));

    // Any handler connected through guarded() reports the same way.
    dialogs.clear();
    shell::guarded([] { throw std::runtime_error("磁盘已满"); })();
    shell::guarded([] { throw std::runtime_error("Done!"); })();
    EXPECT_EQ(dialogs.boxTexts(), QStringList({"磁盘已满.", "Done!"}));
}
