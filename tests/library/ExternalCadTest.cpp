// Editing drawings in the external CAD program: choosing it once (also through a
// shortcut), launching it on the local file, and marking the drawing changed.
#include <QAction>
#include <QDir>
#include <QFile>

#include "library/ExternalCad.h"
#include "tests/library/PaneFixture.h"
#include "tests/library/ShellLinkWriter.h"

using platform::Answer;
using platform::testing::ShellCall;
using testlib::PaneTest;

TEST_F(PaneTest, FirstEditAsksForTheProgramUsesItAtOnceAndRemembersIt) {
    addDrawing("", "plan.dwg");
    load();
    const QString program = makeDwg("cad/cad.exe");
    dialogs.answerNext(Answer::Ok);
    dialogs.openNext({program});
    select("plan.dwg");
    trigger("tbtmModify");
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].text, "此前您没有进行图纸编辑，请先选择CAD的应用程序。");
    EXPECT_EQ(dialogs.boxes()[0].caption, "选择");
    EXPECT_EQ(dialogs.boxes()[0].buttons, platform::Buttons::OkCancel);
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(dialogs.openRequests()[0].filter, "Autodesk CAD软件|*.exe");
    EXPECT_FALSE(dialogs.openRequests()[0].multiSelect);
    EXPECT_EQ(host.cadProgram, program);

    library::TFiles* plan = entryNamed("plan.dwg");
    EXPECT_EQ(plan->LocalState, 3);  // downloaded first
    EXPECT_TRUE(plan->LocalModified);
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].kind, ShellCall::Kind::Run);
    EXPECT_EQ(shell.calls()[0].target, program);
    EXPECT_EQ(shell.calls()[0].parameters, '"' + plan->LocalPath + '"');

    trigger("N1");  // not asked again
    EXPECT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(shell.calls().size(), 2u);
}

TEST_F(PaneTest, CancellingThePromptOrTheDialogDoesNothing) {
    addDrawing("", "plan.dwg");
    load();
    select("plan.dwg");
    trigger("tbtmModify");  // the prompt is cancelled
    dialogs.answerNext(Answer::Ok);
    trigger("tbtmModify");  // the file dialog is cancelled
    EXPECT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_TRUE(host.cadProgram.isEmpty());
    EXPECT_EQ(entryNamed("plan.dwg")->LocalState, 2);
    EXPECT_TRUE(shell.calls().empty());
}

TEST_F(PaneTest, ShortcutWhoseTargetOnlyExistsWithoutX86IsTakenWithout) {
    const QString real = makeDwg("Program Files/CAD/cad.exe");
    const QString recorded = disk.path() + "/Program Files (x86)/CAD/cad.exe";
    testlnk::LinkSpec spec;
    spec.localBaseAnsi = recorded;
    const QString link = disk.filePath("CAD.lnk");
    ASSERT_TRUE(testlnk::writeFile(link, testlnk::makeShellLink(spec)));
    EXPECT_EQ(library::ExternalCad::programFromChoice(link), real);

    // A target that exists as recorded is taken as it is.
    const QString x86 = makeDwg("Program Files (x86)/Other/tool.exe");
    spec.localBaseAnsi = x86;
    ASSERT_TRUE(testlnk::writeFile(link, testlnk::makeShellLink(spec)));
    EXPECT_EQ(library::ExternalCad::programFromChoice(link), x86);

    // Neither form exists, or the shortcut is broken: no program.
    spec.localBaseAnsi = disk.path() + "/Program Files (x86)/Gone/cad.exe";
    ASSERT_TRUE(testlnk::writeFile(link, testlnk::makeShellLink(spec)));
    EXPECT_TRUE(library::ExternalCad::programFromChoice(link).isEmpty());
    ASSERT_TRUE(testlnk::writeFile(link, "not a shortcut"));
    EXPECT_TRUE(library::ExternalCad::programFromChoice(link).isEmpty());
    // Only ".exe" exactly counts as a program; ".EXE" is read as a shortcut.
    EXPECT_TRUE(library::ExternalCad::programFromChoice(makeDwg("UPPER.EXE")).isEmpty());
}

TEST_F(PaneTest, EditThroughAShortcutLaunchesItsTarget) {
    addDrawing("", "plan.dwg");
    load();
    const QString real = makeDwg("Program Files/CAD/cad.exe");
    testlnk::LinkSpec spec;
    spec.localBaseAnsi = disk.path() + "/Program Files (x86)/CAD/cad.exe";
    const QString link = disk.filePath("CAD 2014.lnk");
    ASSERT_TRUE(testlnk::writeFile(link, testlnk::makeShellLink(spec)));
    dialogs.answerNext(Answer::Ok);
    dialogs.openNext({link});
    select("plan.dwg");
    trigger("tbtmModify");
    EXPECT_EQ(host.cadProgram, real);
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].target, real);
}

TEST_F(PaneTest, UnreadableShortcutLeavesNoProgramAndAsksAgainNextTime) {
    addDrawing("", "plan.dwg");
    load();
    const QString link = makeDwg("broken.lnk", "garbage");
    dialogs.answerNext(Answer::Ok);
    dialogs.openNext({link});
    select("plan.dwg");
    trigger("tbtmModify");
    EXPECT_TRUE(host.cadProgram.isEmpty());
    // The launch is attempted all the same and the drawing is marked.
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_TRUE(entryNamed("plan.dwg")->LocalModified);
    trigger("tbtmModify");
    EXPECT_EQ(dialogs.boxes().size(), 2u);
}

TEST_F(PaneTest, ImportedDrawingIsEditedInPlaceWithoutDownload) {
    load();
    host.cadProgram = makeDwg("cad.exe");
    const QString mine = makeDwg("mine.dwg");
    selectNothing();
    pane->ImportFiles({mine});
    select("mine.dwg");
    trigger("tbtmModify");
    ASSERT_EQ(shell.calls().size(), 1u);
    EXPECT_EQ(shell.calls()[0].parameters, '"' + mine + '"');
    EXPECT_EQ(entryNamed("mine.dwg")->LocalState, 1);
    EXPECT_TRUE(entryNamed("mine.dwg")->LocalModified);
}

TEST_F(PaneTest, FailedDownloadLaunchesNothingAndMarksNothing) {
    addDrawing("", "plan.dwg");
    load();
    host.cadProgram = makeDwg("cad.exe");
    server->stop();
    select("plan.dwg");
    trigger("tbtmModify");
    EXPECT_TRUE(shell.calls().empty());
    EXPECT_FALSE(entryNamed("plan.dwg")->LocalModified);
}
