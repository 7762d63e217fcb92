// The viewer's interactive modes, driven with synthetic mouse and key events.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include "TestDrawings.h"
#include "dwgviewx/TDwgViewX.h"

using namespace dwgviewx;
using namespace testdraw;

namespace {

struct ViewerInput : ::testing::Test {
    void SetUp() override {
        dwg::Drawing d = emptyDrawing();
        add(d, line(0, 0, 100, 0));
        add(d, line(0, 0, 0, 75));
        v.resize(400, 300);
        v.show();
        v.showDrawing(d);
        // A known view: 2 px per unit, world (50, 37.5) in the middle.
        v.setView(render::ViewTransform(QSize(400, 300), QPointF(50, 37.5), 2.0));
    }
    void drag(Qt::MouseButton b, QPoint from, QPoint to) {
        QTest::mousePress(&v, b, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), v.mapToGlobal(QPointF(to)), Qt::NoButton,
                         b, Qt::NoModifier);
        QApplication::sendEvent(&v, &move);
        QTest::mouseRelease(&v, b, Qt::NoModifier, to);
    }
    TDwgViewX v;
};

}  // namespace

TEST_F(ViewerInput, WheelZoomsAboutTheCursor) {
    const QPointF cursor(300, 100);
    const QPointF before = v.view().toWorld(cursor);
    QWheelEvent wheel(cursor, v.mapToGlobal(cursor), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v, &wheel);
    EXPECT_NEAR(v.view().scale(), 2.5, 1e-9);
    const QPointF after = v.view().toWorld(cursor);
    EXPECT_NEAR(after.x(), before.x(), 1e-9);
    EXPECT_NEAR(after.y(), before.y(), 1e-9);
}

TEST_F(ViewerInput, MiddleButtonPansInEveryModeAndPanModeDragsWithTheLeft) {
    v.Measure();
    drag(Qt::MiddleButton, QPoint(200, 150), QPoint(240, 150));
    EXPECT_EQ(v.mode(), TDwgViewX::Mode::Measure);
    EXPECT_NEAR(v.view().centre().x(), 30, 1e-9);  // 40 px at 2 px per unit
    EXPECT_FALSE(v.measurement());
    v.Pan();
    drag(Qt::LeftButton, QPoint(200, 150), QPoint(200, 190));
    EXPECT_NEAR(v.view().centre().y(), 57.5, 1e-9);  // dragging down shows what lies above
}

TEST_F(ViewerInput, ZoomWindowShowsTheDraggedRectangle) {
    v.ZoomWindow();
    drag(Qt::LeftButton, QPoint(100, 100), QPoint(200, 175));  // a quarter of the view
    EXPECT_NEAR(v.view().scale(), 8.0, 1e-9);
    const QPointF c =
        render::ViewTransform(QSize(400, 300), QPointF(50, 37.5), 2.0).toWorld(QPointF(150, 137.5));
    EXPECT_NEAR(v.view().centre().x(), c.x(), 1e-6);
    EXPECT_NEAR(v.view().centre().y(), c.y(), 1e-6);
    EXPECT_EQ(v.mode(), TDwgViewX::Mode::None);
}

TEST_F(ViewerInput, MeasureReportsDistanceDeltasAndAngleUntilTheNextCommand) {
    v.Measure();
    const QPoint a = v.view().toDevice(QPointF(0, 0)).toPoint();
    const QPoint b = v.view().toDevice(QPointF(30, 40)).toPoint();
    QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, b);
    ASSERT_TRUE(v.measurement());
    EXPECT_NEAR(v.measurement()->distance(), 50, 1e-9);
    EXPECT_NEAR(v.measurement()->dx(), 30, 1e-9);
    EXPECT_NEAR(v.measurement()->dy(), 40, 1e-9);
    EXPECT_NEAR(v.measurement()->angleDeg(), 53.13, 0.01);
    EXPECT_TRUE(v.measurement()->summary().contains("50.0000"));
    v.ZoomIn();
    EXPECT_FALSE(v.measurement());
}

TEST_F(ViewerInput, MarkUpStaysOnTheDrawingAcrossZoomAndPan) {
    v.MarkLine();
    drag(Qt::LeftButton, QPoint(100, 100), QPoint(300, 100));
    ASSERT_EQ(v.marks().size(), 1u);
    const MarkItem m = v.marks()[0];
    v.ZoomIn();
    v.setView(render::ViewTransform(QSize(400, 300), v.view().centre() + QPointF(7, 3),
                                    v.view().scale(), 30));
    ASSERT_EQ(v.marks().size(), 1u);
    EXPECT_EQ(v.marks()[0].a, m.a);
    EXPECT_EQ(v.marks()[0].b, m.b);
    // And it is painted where the drawing point now shows.
    const QPointF mid = v.view().toDevice((m.a + m.b) / 2);
    const QImage shot = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int red = 0;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) {
            const QColor c = shot.pixelColor(mid.toPoint() + QPoint(dx, dy));
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    EXPECT_GT(red, 0);
}

TEST_F(ViewerInput, TextBoxesTakeTheirTextTypedInPlace) {
    v.MarkCloudTextBox();
    drag(Qt::LeftButton, QPoint(50, 50), QPoint(250, 120));
    auto* editor = v.findChild<QLineEdit*>("markupEditor");
    ASSERT_NE(editor, nullptr);
    editor->insert(QStringLiteral("此处尺寸有误"));  // what an input method delivers
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_EQ(v.marks().size(), 1u);
    EXPECT_EQ(v.marks()[0].kind, MarkKind::CloudBox);
    EXPECT_EQ(v.marks()[0].text, QStringLiteral("此处尺寸有误"));
    EXPECT_NEAR(v.marks()[0].a.x(), v.view().toWorld(QPointF(50, 50)).x(), 1e-9);

    v.MarkRedText();
    QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, QPoint(60, 200));
    editor = v.findChild<QLineEdit*>("markupEditor");
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);  // nothing typed: nothing added
    EXPECT_EQ(v.marks().size(), 1u);
}

TEST_F(ViewerInput, EscapeLeavesAnyModeAndDropsWhatWasUnfinished) {
    v.MarkRectTextBox();
    drag(Qt::LeftButton, QPoint(50, 50), QPoint(150, 100));
    ASSERT_NE(v.findChild<QLineEdit*>("markupEditor"), nullptr);
    QTest::keyClick(&v, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(v.mode(), TDwgViewX::Mode::None);
    EXPECT_TRUE(v.marks().empty());
    v.Measure();
    QTest::mouseClick(&v, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::keyClick(&v, Qt::Key_Escape);
    EXPECT_EQ(v.mode(), TDwgViewX::Mode::None);
    EXPECT_FALSE(v.measurement());
}
