// The rotation input, the background toggle, where a drop lands and the recent files.
#include <gtest/gtest.h>

#include "viewer/RecentFiles.h"
#include "viewer/ViewerRules.h"

using viewer::classifyDrop;
using viewer::nextBackground;
using viewer::parseRotationInput;
using viewer::rotationAngle;

namespace {

float rotateFor(const QString& input) {
    const auto n = parseRotationInput(input);
    EXPECT_TRUE(n.has_value()) << input.toStdString();
    return n ? rotationAngle(*n) : -1.0f;
}

}  // namespace

TEST(RotationInput, WholeNumbersRotateByTheirValueOrItsRemainderAbove360) {
    EXPECT_FLOAT_EQ(rotateFor("90"), 90.0f);
    EXPECT_FLOAT_EQ(rotateFor("400"), 40.0f);
    EXPECT_FLOAT_EQ(rotateFor("720"), 0.0f);
    EXPECT_FLOAT_EQ(rotateFor("360"), 360.0f);
    EXPECT_FLOAT_EQ(rotateFor("-45"), -45.0f);
    EXPECT_FLOAT_EQ(rotateFor("-400"), -400.0f);
    EXPECT_FLOAT_EQ(rotateFor("+30"), 30.0f);
    EXPECT_FLOAT_EQ(rotateFor("2147483647"), 2147483647 % 360);
}

TEST(RotationInput, FractionsWordsBlanksAndOverflowAreNotWholeNumbers) {
    for (const char* bad : {"4.5", "abc", "", " ", "-", "12a", " 90", "90 ", "2147483648",
                            "-2147483649", "1e3", "0x10"})
        EXPECT_FALSE(parseRotationInput(QString::fromLatin1(bad)).has_value()) << bad;
    EXPECT_EQ(parseRotationInput("-2147483648"), -2147483647 - 1);
}

TEST(BackgroundToggle, ZeroBecomes255AndAnythingElseBecomesZero) {
    EXPECT_EQ(nextBackground(0), 255);
    EXPECT_EQ(nextBackground(255), 0);
    EXPECT_EQ(nextBackground(7), 0);
    EXPECT_EQ(nextBackground(-1), 0);
}

TEST(DropGeometry, PointerInsideTheViewerPanelOpensAndEdgesAreExclusive) {
    const QPoint window(100, 50);
    const QRect panel(325, 0, 960, 600);
    const QRect tree(0, 140, 321, 400);
    EXPECT_TRUE(classifyDrop({100 + 400, 50 + 300}, window, panel, tree).viewer);
    EXPECT_FALSE(classifyDrop({100 + 325, 50 + 300}, window, panel, tree).viewer);
    EXPECT_TRUE(classifyDrop({100 + 326, 50 + 1}, window, panel, tree).viewer);
    EXPECT_FALSE(classifyDrop({100 + 1285, 50 + 300}, window, panel, tree).viewer);
    EXPECT_FALSE(classifyDrop({100 + 400, 50 + 600}, window, panel, tree).viewer);
}

TEST(DropGeometry, TheTreeIsTested30PixelsLowerThanItLies) {
    const QPoint window(0, 0);
    const QRect panel(325, 0, 960, 600);
    const QRect tree(0, 140, 321, 400);
    EXPECT_FALSE(classifyDrop({50, 141}, window, panel, tree).tree);
    EXPECT_FALSE(classifyDrop({50, 170}, window, panel, tree).tree);
    EXPECT_TRUE(classifyDrop({50, 171}, window, panel, tree).tree);
    EXPECT_TRUE(classifyDrop({50, 569}, window, panel, tree).tree);
    EXPECT_FALSE(classifyDrop({50, 570}, window, panel, tree).tree);
    const auto elsewhere = classifyDrop({50, 20}, window, panel, tree);
    EXPECT_FALSE(elsewhere.tree);
    EXPECT_FALSE(elsewhere.viewer);
}

TEST(RecentFilesList, ReopeningInAnotherLetterCaseMovesTheFirstMatchToTheHeadAsSpelt) {
    viewer::RecentFiles list({"/d/A.dwg", "/d/b.dwg", "/d/a.DWG"});
    list.touch("/D/a.dwg");
    EXPECT_EQ(list.paths(), QStringList({"/D/a.dwg", "/d/b.dwg", "/d/a.DWG"}));
    list.touch("/d/new.dwg");
    EXPECT_EQ(list.paths().first(), "/d/new.dwg");
    EXPECT_EQ(list.size(), 4);
}
