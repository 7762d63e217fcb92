// The renderer's geometry, checked on pixels at known transforms.
#include <gtest/gtest.h>

#include "TestDrawings.h"
#include "dwgviewx/render/SceneBuilder.h"

using namespace dwgviewx::render;
using namespace testdraw;

TEST(Renderer, PutsTheEndsOfALineOnTheExpectedPixels) {
    dwg::Drawing d = emptyDrawing();
    add(d, line(0, 0, 100, 0));
    const Scene s = buildScene(d);
    // 2 px per unit, world (50, 0) in the middle of a 400 x 200 view: x 100..300, y 100.
    const ViewTransform v(QSize(400, 200), QPointF(50, 0), 2.0);
    const QRect box = inkBox(renderAt(s, v));
    EXPECT_NEAR(box.left(), 100, 1);
    EXPECT_NEAR(box.right(), 300, 1);
    EXPECT_NEAR(box.top(), 100, 1);
    EXPECT_NEAR(box.bottom(), 100, 1);
}

TEST(Renderer, DrawsACircleWithinItsBoundingBox) {
    dwg::Drawing d = emptyDrawing();
    dwg::Circle c;
    c.center = {10, 10, 0};
    c.radius = 20;
    add(d, c);
    const Scene s = buildScene(d);
    const ViewTransform v(QSize(300, 300), QPointF(10, 10), 5.0);  // radius 100 px
    const QRect box = inkBox(renderAt(s, v));
    EXPECT_NEAR(box.left(), 50, 1);
    EXPECT_NEAR(box.right(), 250, 1);
    EXPECT_NEAR(box.top(), 50, 1);
    EXPECT_NEAR(box.bottom(), 250, 1);
}

TEST(Renderer, TurnsTheViewClockwise) {
    dwg::Drawing d = emptyDrawing();
    add(d, line(0, 0, 50, 0));  // pointing right from the centre
    const Scene s = buildScene(d);
    const ViewTransform v(QSize(200, 200), QPointF(0, 0), 1.0, 90.0);
    const QRect box = inkBox(renderAt(s, v));
    // Turned a quarter clockwise on screen, it points down from the centre.
    EXPECT_NEAR(box.left(), 100, 1);
    EXPECT_NEAR(box.right(), 100, 1);
    EXPECT_NEAR(box.top(), 100, 1);
    EXPECT_NEAR(box.bottom(), 150, 1);
}

TEST(Renderer, DrawsColourSevenAsTheContrastOfTheBackground) {
    dwg::Drawing d = emptyDrawing();  // layer 0 has colour 7
    add(d, line(-10, 0, 10, 0));
    const Scene s = buildScene(d);
    const ViewTransform v(QSize(100, 100), QPointF(), 2.0);
    EXPECT_GT(countColour(renderAt(s, v, Qt::black), Qt::white), 30);
    EXPECT_GT(countColour(renderAt(s, v, Qt::white), Qt::black), 30);
}

TEST(Renderer, HidesEntitiesOfLayersThatAreOffOrFrozen) {
    dwg::Drawing d = emptyDrawing();
    addLayer(d, 0x20, "A", 1);
    addLayer(d, 0x21, "B", 3);
    add(d, line(-10, 5, 10, 5), 0x20);
    add(d, line(-10, -5, 10, -5), 0x21);
    const Scene s = buildScene(d);
    const ViewTransform v(QSize(100, 100), QPointF(), 2.0);
    std::vector<SceneLayer> layers = s.layers;
    EXPECT_GT(countColour(renderAt(s, v, Qt::black, &layers), Qt::red), 30);
    layers[1].on = false;
    EXPECT_EQ(countColour(renderAt(s, v, Qt::black, &layers), Qt::red), 0);
    EXPECT_GT(countColour(renderAt(s, v, Qt::black, &layers), Qt::green), 30);
    layers[2].frozen = true;
    EXPECT_TRUE(inkBox(renderAt(s, v, Qt::black, &layers)).isNull());
}

TEST(Renderer, SkipsWhatLiesOutsideTheView) {
    dwg::Drawing d = emptyDrawing();
    for (int i = 0; i < 100; ++i) add(d, line(i * 10, 0, i * 10 + 5, 0));
    const Scene s = buildScene(d);
    QImage img(100, 100, QImage::Format_RGB32);
    QPainter p(&img);
    const RenderStats st = renderScene(p, s, ViewTransform(QSize(100, 100), QPointF(2, 0), 4), {});
    EXPECT_LE(st.candidates, 5u);
    EXPECT_GE(st.candidates, 1u);
}

TEST(Renderer, DrawsEntitiesSmallerThanAPixelAsDots) {
    dwg::Drawing d = emptyDrawing();
    for (int i = 0; i < 50; ++i) {
        dwg::Circle c;
        c.center = {i * 100.0, 0, 0};
        c.radius = 0.5;
        add(d, c);
    }
    const Scene s = buildScene(d);
    QImage img(200, 100, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    ViewTransform v(QSize(200, 100), QPointF(), 1);
    v.fit(s.extents);
    const RenderStats st = renderScene(p, s, v, {});
    EXPECT_EQ(st.dots, 50u);
    EXPECT_EQ(st.drawn, 0u);
}

TEST(Renderer, FillsASolidHatch) {
    dwg::Drawing d = emptyDrawing();
    dwg::Hatch h;
    h.solid = true;
    dwg::HatchLoop loop;
    loop.isPolyline = true;
    for (auto [x, y] : {std::pair{0.0, 0.0}, {10.0, 0.0}, {10.0, 10.0}, {0.0, 10.0}}) {
        dwg::PolyVertex pv;
        pv.position = {x, y, 0};
        loop.polyline.push_back(pv);
    }
    h.loops.push_back(loop);
    add(d, h).color.index = 1;
    const Scene s = buildScene(d);
    const QImage img = renderAt(s, ViewTransform(QSize(100, 100), QPointF(5, 5), 5));
    EXPECT_NEAR(countColour(img, Qt::red), 2500, 150);  // 50 x 50 px
}

TEST(Renderer, DrawsPatternHatchLinesOnlyInsideTheBoundary) {
    dwg::Drawing d = emptyDrawing();
    dwg::Hatch h;
    h.patternName = "ANSI31";
    h.patternScale = 1;
    dwg::HatchLoop loop;
    for (auto [a, b] : {std::pair{dwg::Vec2{0, 0}, dwg::Vec2{20, 0}},
                        {{20, 0}, {20, 20}},
                        {{20, 20}, {0, 20}},
                        {{0, 20}, {0, 0}}}) {
        dwg::HatchEdge e;
        e.p1 = a;
        e.p2 = b;
        loop.edges.push_back(e);
    }
    h.loops.push_back(loop);
    add(d, h);
    const Scene s = buildScene(d);
    const QImage img = renderAt(s, ViewTransform(QSize(200, 200), QPointF(10, 10), 5));
    const QRect box = inkBox(img);
    ASSERT_FALSE(box.isNull());
    EXPECT_GE(box.left(), 49);
    EXPECT_LE(box.right(), 151);
    EXPECT_GE(box.top(), 49);
    EXPECT_LE(box.bottom(), 151);
    EXPECT_GT(countColour(img, Qt::white), 300);  // several 45° lines
}

TEST(Renderer, DrawsNothingForAnEmptyDrawing) {
    const Scene s = buildScene(emptyDrawing());
    EXPECT_TRUE(s.empty());
    EXPECT_TRUE(s.extents.isNull());
    EXPECT_TRUE(inkBox(renderAt(s, ViewTransform(QSize(50, 50), QPointF(), 1))).isNull());
}

TEST(ViewTransform, ZoomsAboutThePointUnderTheCursor) {
    ViewTransform v(QSize(400, 300), QPointF(0, 0), 1.0);
    const QPointF cursor(300, 50);
    const QPointF before = v.toWorld(cursor);
    v.zoomAbout(cursor, 3.0);
    EXPECT_NEAR(v.scale(), 3.0, 1e-12);
    const QPointF after = v.toWorld(cursor);
    EXPECT_NEAR(before.x(), after.x(), 1e-9);
    EXPECT_NEAR(before.y(), after.y(), 1e-9);
}

TEST(ViewTransform, FitsExtentsWithAMarginAndPansByPixels) {
    ViewTransform v(QSize(200, 100), QPointF(), 1.0);
    v.fit(QRectF(0, 0, 100, 10), 0.0);
    EXPECT_NEAR(v.scale(), 2.0, 1e-12);
    EXPECT_NEAR(v.centre().x(), 50, 1e-9);
    v.panBy(QPointF(20, 0));  // drawing moves right: the centre moves left in the world
    EXPECT_NEAR(v.centre().x(), 40, 1e-9);
    v.rotateBy(-90);
    EXPECT_NEAR(v.rotation(), 270, 1e-12);
}

TEST(Renderer, DashesLinesByTheirLineTypeAndDrawsDensePatternsSolid) {
    dwg::Drawing d = emptyDrawing();
    dwg::LineType dashed;
    dashed.handle = 0x40;
    dashed.name = "DASHED";
    dashed.dashes = {10, -10};
    d.lineTypes.push_back(dashed);
    d.layers[0].lineType = 0x40;  // the layer's line type, taken BYLAYER
    add(d, line(0, 0, 200, 0));
    const Scene s = buildScene(d);
    const QImage img = renderAt(s, ViewTransform(QSize(220, 20), QPointF(100, 0), 1.0));
    const int lit = countColour(img, Qt::white);
    EXPECT_GT(lit, 80);
    EXPECT_LT(lit, 130);  // about half of the 200 pixels
    const QImage dense = renderAt(s, ViewTransform(QSize(220, 20), QPointF(100, 0), 0.1));
    EXPECT_GE(countColour(dense, Qt::white), 19);  // 20 px long and solid
}
