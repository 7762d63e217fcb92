#include <gtest/gtest.h>

#include "platform/testing/FakeClipboard.h"
#include "platform/testing/FakeDialogs.h"
#include "platform/testing/FakeScreenGrab.h"
#include "platform/testing/FakeShell.h"

namespace {

using namespace platform;
using namespace platform::testing;

TEST(FakeDialogs, AnswersFromItsScriptThenWithTheSafeButton) {
    FakeDialogs fake;
    InstallDialogs installed(fake);
    fake.answerNext(Answer::Yes);
    EXPECT_EQ(dialogs().messageBox("a", "提示", Buttons::YesNo, Icon::Question), Answer::Yes);
    EXPECT_EQ(dialogs().messageBox("b", "提示", Buttons::YesNo, Icon::Question), Answer::No);
    EXPECT_EQ(dialogs().messageBox("c", "提示", Buttons::OkCancel, Icon::None), Answer::Cancel);
    EXPECT_EQ(dialogs().messageBox("d", "OrvaneCAD", Buttons::Ok, Icon::Error), Answer::Ok);
    ASSERT_EQ(fake.boxes().size(), 4u);
    EXPECT_EQ(fake.boxTexts(), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(fake.lastBox()->caption, "OrvaneCAD");
    EXPECT_EQ(fake.lastBox()->icon, Icon::Error);
    EXPECT_EQ(fake.boxes()[0].answer, Answer::Yes);
    EXPECT_TRUE(fake.scriptUsedUp());
}

TEST(FakeDialogs, ScriptsInputBoxesAndOpenFileDialogs) {
    FakeDialogs fake;
    InstallDialogs installed(fake);
    fake.inputNext(QString("new name"));
    fake.inputNext(std::nullopt);
    EXPECT_EQ(dialogs().inputBox("c", "p", "preset"), "new name");
    EXPECT_EQ(dialogs().inputBox("c", "p", "preset"), "preset") << "cancel gives the preset";
    EXPECT_EQ(dialogs().inputQuery("c", "p", "preset"), std::nullopt);
    EXPECT_EQ(fake.inputs().size(), 3u);
    EXPECT_TRUE(fake.inputs()[2].query);

    fake.openNext({"/a.dwg", "/b.dwg"}, 2);
    const OpenFileResult chosen = dialogs().openFiles({"Open", "DWG|*.dwg", true, 1, {}});
    EXPECT_EQ(chosen.files, QStringList({"/a.dwg", "/b.dwg"}));
    EXPECT_EQ(chosen.filterIndex, 2);
    EXPECT_TRUE(dialogs().openFiles({"Open", "DWG|*.dwg", false, 1, {}}).files.isEmpty());
    EXPECT_EQ(fake.openRequests().size(), 2u);
    EXPECT_EQ(fake.openRequests()[0].filter, "DWG|*.dwg");
}

TEST(FakeDialogs, PutsThePreviousInstanceBackWhenTheInstallerEnds) {
    Dialogs* real = &dialogs();
    FakeDialogs outer;
    {
        InstallDialogs a(outer);
        FakeDialogs inner;
        {
            InstallDialogs b(inner);
            EXPECT_EQ(&dialogs(), &inner);
        }
        EXPECT_EQ(&dialogs(), &outer);
    }
    EXPECT_EQ(&dialogs(), real);
}

TEST(FakeShell, RecordsOpensAndProgramStarts) {
    FakeShell fake;
    InstallShell installed(fake);
    EXPECT_TRUE(shell().open("http://example.invalid/"));
    fake.setResult(false);
    EXPECT_FALSE(shell().run("/usr/bin/cad", "\"/tmp/a b.dwg\""));
    ASSERT_EQ(fake.calls().size(), 2u);
    EXPECT_EQ(fake.calls()[1].kind, ShellCall::Kind::Run);
    EXPECT_EQ(fake.calls()[1].parameters, "\"/tmp/a b.dwg\"");
}

TEST(FakeClipboard, HoldsThePictureATestPutsThere) {
    FakeClipboard fake;
    InstallClipboard installed(fake);
    EXPECT_FALSE(clipboard().hasImage());
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    fake.setImage(picture);
    EXPECT_TRUE(clipboard().hasImage());
    EXPECT_EQ(clipboard().image().size(), QSize(4, 3));
}

TEST(FakeScreenGrab, GivesPixelsThatTellWhereTheyCameFromAndBlackOffTheDesktop) {
    FakeScreenGrab fake(QRect(0, 0, 100, 100));
    InstallScreenGrab installed(fake);
    const QImage image = screenGrab().grab(QRect(90, 10, 20, 5));
    ASSERT_EQ(image.size(), QSize(20, 5));
    EXPECT_EQ(image.pixel(0, 0), FakeScreenGrab::pixelAt(90, 10));
    EXPECT_EQ(image.pixel(9, 4), FakeScreenGrab::pixelAt(99, 14));
    EXPECT_EQ(image.pixel(10, 0), qRgb(0, 0, 0));
    EXPECT_EQ(fake.grabs().size(), 1u);
    EXPECT_EQ(screenGrab().desktopRect(), QRect(0, 0, 100, 100));
}

}  // namespace
