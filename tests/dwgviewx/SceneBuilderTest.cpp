// How a drawing becomes a scene: colours, inserts, coordinate systems, text, tables.
#include <gtest/gtest.h>

#include <QFile>
#include <cmath>

#include "TestDrawings.h"
#include "dwgviewx/render/AciColors.h"
#include "dwgviewx/render/SceneBuilder.h"

using namespace dwgviewx::render;
using namespace testdraw;

namespace {

constexpr dwg::Handle kRedLayer = 0x20, kBlockA = 0x30, kBlockB = 0x31;

dwg::Insert insertOf(dwg::Handle block, dwg::Vec3 at, double rot = 0, dwg::Vec3 scale = {1, 1, 1}) {
    dwg::Insert ins;
    ins.block = block;
    ins.insertion = at;
    ins.rotation = rot;
    ins.scale = scale;
    return ins;
}

const Primitive& onlyPolyline(const Scene& s) {
    EXPECT_EQ(s.prims.size(), 1u);
    return s.prims.at(0);
}

}  // namespace

TEST(AciColors, FollowTheTableBuildingRule) {
    EXPECT_EQ(aciToRgb(1), 0xFF0000u);
    EXPECT_EQ(aciToRgb(5), 0x0000FFu);
    EXPECT_EQ(aciToRgb(8), 0x808080u);
    EXPECT_EQ(aciToRgb(99), 0x132613u);  // 19,38,19
    EXPECT_EQ(aciToRgb(250), 0x333333u);
    EXPECT_EQ(aciToRgb(0), 0xFFFFFFu);
    EXPECT_EQ(aciToRgb(999), 0xFFFFFFu);
}

TEST(AciColors, MatchEveryRowOfTheReferenceTableWhenItIsThere) {
    QFile f(QStringLiteral(ORVANE_SHARED_DIR "/reference/aci-colors.csv"));
    if (!f.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "reference table not found at " ORVANE_SHARED_DIR;
    f.readLine();  // header
    int rows = 0;
    while (!f.atEnd()) {
        const QList<QByteArray> c = f.readLine().trimmed().split(',');
        if (c.size() != 4) continue;
        const int i = c[0].toInt();
        const std::uint32_t want = (c[1].toUInt() << 16) | (c[2].toUInt() << 8) | c[3].toUInt();
        EXPECT_EQ(aciToRgb(i), want) << "index " << i;
        ++rows;
    }
    EXPECT_EQ(rows, 255);
}

TEST(SceneBuilder, ResolvesByLayerAndByBlockThroughNestedInserts) {
    dwg::Drawing d = emptyDrawing();
    addLayer(d, kRedLayer, "RED", 1);
    dwg::Block& inner = addBlock(d, kBlockB, "INNER");
    add(inner, line(0, 0, 1, 0)).color.index = dwg::Color::ByBlock;  // takes the outer's
    add(inner, line(0, 1, 1, 1)).color.index = dwg::Color::ByLayer;  // layer 0: the insert's
    dwg::Block& outer = addBlock(d, kBlockA, "OUTER");
    add(outer, insertOf(kBlockB, {0, 0, 0})).color.index = dwg::Color::ByBlock;
    dwg::Entity& top = add(d, insertOf(kBlockA, {0, 0, 0}), kRedLayer);
    top.color.index = 3;  // green
    const Scene s = buildScene(d);
    ASSERT_EQ(s.prims.size(), 2u);
    EXPECT_EQ(s.prims[0].rgb, 0x00FF00u);  // BYBLOCK → BYBLOCK → green
    EXPECT_FALSE(s.prims[0].contrast);
    EXPECT_EQ(s.prims[1].rgb, 0xFF0000u);  // layer 0 inside → the insert's layer RED
}

TEST(SceneBuilder, GivesByBlockAtTopLevelAndColourSevenTheContrastColour) {
    dwg::Drawing d = emptyDrawing();
    add(d, line(0, 0, 1, 0)).color.index = dwg::Color::ByBlock;
    add(d, line(0, 0, 1, 0)).color.index = 7;
    dwg::Entity& tc = add(d, line(0, 0, 1, 0));
    tc.color.rgb = 0x123456;
    const Scene s = buildScene(d);
    ASSERT_EQ(s.prims.size(), 3u);
    EXPECT_TRUE(s.prims[0].contrast);
    EXPECT_TRUE(s.prims[1].contrast);
    EXPECT_FALSE(s.prims[2].contrast);
    EXPECT_EQ(s.prims[2].rgb, 0x123456u);
}

TEST(SceneBuilder, PlacesBlocksByBasePointScaleRotationAndArrays) {
    dwg::Drawing d = emptyDrawing();
    dwg::Block& b = addBlock(d, kBlockA, "B", {1, 0, 0});
    add(b, line(1, 0, 2, 0));  // from the base point, one unit along x
    add(d, insertOf(kBlockA, {10, 10, 0}, M_PI / 2, {3, 3, 1}));
    Scene s = buildScene(d);
    const Primitive& p = onlyPolyline(s);
    const QPointF a = s.points[p.first], e = s.points[p.first + 1];
    EXPECT_NEAR(a.x(), 10, 1e-9);
    EXPECT_NEAR(a.y(), 10, 1e-9);
    EXPECT_NEAR(e.x(), 10, 1e-9);  // rotated a quarter turn, scaled 3
    EXPECT_NEAR(e.y(), 13, 1e-9);

    dwg::Drawing arr = emptyDrawing();
    dwg::Block& cell = addBlock(arr, kBlockA, "CELL");
    add(cell, line(0, 0, 1, 0));
    dwg::Insert m = insertOf(kBlockA, {0, 0, 0});
    m.columns = 3, m.rows = 2, m.columnSpacing = 10, m.rowSpacing = 5;
    add(arr, m);
    s = buildScene(arr);
    EXPECT_EQ(s.prims.size(), 6u);
    EXPECT_NEAR(s.extents.right(), 21, 1e-9);
    EXPECT_NEAR(s.extents.bottom(), 5, 1e-9);
}

TEST(SceneBuilder, SurvivesBlocksThatInsertThemselves) {
    dwg::Drawing d = emptyDrawing();
    dwg::Block& a = addBlock(d, kBlockA, "A");
    add(a, line(0, 0, 1, 0));
    add(a, insertOf(kBlockB, {1, 0, 0}));
    dwg::Block& b = addBlock(d, kBlockB, "B");
    add(b, insertOf(kBlockA, {1, 0, 0}));
    add(d, insertOf(kBlockA, {0, 0, 0}));
    add(d, insertOf(0xDEAD, {0, 0, 0}));  // a block that does not exist
    const Scene s = buildScene(d);
    EXPECT_GE(s.prims.size(), 1u);
    EXPECT_LE(s.prims.size(), 20u);
}

TEST(SceneBuilder, MirrorsArcsWhoseExtrusionPointsDown) {
    dwg::Drawing d = emptyDrawing();
    dwg::Arc arc;
    arc.center = {5, 0, 0};  // OCS x runs along world -x when the normal is -z
    arc.radius = 1;
    arc.startAngle = 0;
    arc.endAngle = M_PI / 2;
    add(d, arc).extrusion = {0, 0, -1};
    const Scene s = buildScene(d);
    ASSERT_EQ(s.conics.size(), 1u);
    const Conic& c = s.conics[0];
    EXPECT_NEAR(c.c.x(), -5, 1e-9);
    const QPointF start = c.c + c.u * std::cos(c.t0) + c.v * std::sin(c.t0);
    EXPECT_NEAR(start.x(), -6, 1e-9);
    EXPECT_NEAR(s.extents.left(), -6, 1e-9);
    EXPECT_NEAR(s.extents.right(), -5, 1e-9);
}

TEST(SceneBuilder, TessellatesBulgesAndKeepsPolylineWidths) {
    dwg::Drawing d = emptyDrawing();
    dwg::Polyline pl;
    dwg::PolyVertex a, b;
    a.position = {0, 0, 0};
    a.bulge = 1;  // a half circle to (2, 0), bulging below the chord
    b.position = {2, 0, 0};
    pl.vertices = {a, b};
    pl.constantWidth = 0.5;
    add(d, pl);
    const Scene s = buildScene(d);
    const Primitive& p = onlyPolyline(s);
    EXPECT_EQ(p.kind, PrimKind::WidePolyline);
    EXPECT_FLOAT_EQ(p.width, 0.5f);
    EXPECT_GT(p.count, 8u);
    EXPECT_NEAR(s.extents.top(), -1.25, 1e-6);  // radius 1 plus half the width
}

TEST(SceneBuilder, AssignsLineTypesScaledByTheLineTypeScales) {
    dwg::Drawing d = emptyDrawing();
    dwg::LineType dashed;
    dashed.handle = 0x40;
    dashed.name = "DASHED";
    dashed.dashes = {0.5, -0.25};
    d.lineTypes.push_back(dashed);
    d.header.ltscale = 2;
    dwg::Entity& e = add(d, line(0, 0, 10, 0));
    e.lineType = 0x40;
    e.lineTypeScale = 3;
    const Scene s = buildScene(d);
    ASSERT_EQ(s.dashes.size(), 1u);
    EXPECT_EQ(s.prims[0].lineType, 0);
    EXPECT_FLOAT_EQ(s.prims[0].lineTypeScale, 6.0f);
}

TEST(SceneBuilder, AlignsTextByItsAlignmentPoint) {
    dwg::Drawing d = emptyDrawing();
    dwg::Text left;
    left.value = "ABC";
    left.height = 2;
    left.insertion = {0, 0, 0};
    add(d, left);
    dwg::Text right = left;
    right.hAlign = dwg::HAlign::Right;
    right.alignment = {0, 10, 0};
    add(d, right);
    const Scene s = buildScene(d);
    ASSERT_EQ(s.prims.size(), 2u);
    const QRectF l = s.prims[0].bounds, r = s.prims[1].bounds;
    EXPECT_NEAR(l.left(), 0, 0.2);
    EXPECT_GT(l.width(), 2);
    EXPECT_NEAR(r.right(), 0, 0.2);  // ends at the alignment point
    EXPECT_NEAR(l.width(), r.width(), 1e-6);
    EXPECT_NEAR(l.bottom() - l.top(), r.bottom() - r.top(), 1e-6);
}

TEST(SceneBuilder, BreaksMultiLineTextAtParagraphsAndAttachesIt) {
    dwg::Drawing d = emptyDrawing();
    dwg::MText mt;
    mt.value = "{\\fSimSun|b0;第一行}\\P\\H2.5;second";
    mt.height = 2;
    mt.insertion = {0, 0, 0};
    mt.attachment = 1;  // top left: the text hangs below the point
    add(d, mt);
    const Scene s = buildScene(d);
    ASSERT_EQ(s.texts.size(), 2u);
    EXPECT_EQ(s.texts[0].text, QStringLiteral("第一行"));
    EXPECT_EQ(s.texts[1].text, QStringLiteral("second"));
    EXPECT_LE(s.extents.bottom(), 1.5);  // only the ascent above the top line
    EXPECT_LT(s.extents.top(), -3);      // the second line is a line spacing lower
}

TEST(SceneBuilder, IgnoresCoordinatesThatAreNotNumbers) {
    dwg::Drawing d = emptyDrawing();
    add(d, line(0, 0, std::nan(""), 1));
    add(d, line(0, 0, 1e300, 1));
    add(d, line(0, 0, 1, 1));
    const Scene s = buildScene(d);
    EXPECT_EQ(s.prims.size(), 1u);
    EXPECT_NEAR(s.extents.width(), 1, 1e-12);
}

TEST(SceneBuilder, EvaluatesSplinesFromKnotsAndThroughFitPoints) {
    dwg::Drawing d = emptyDrawing();
    dwg::Spline s;
    s.degree = 2;
    s.controlPoints = {{0, 0, 0}, {5, 10, 0}, {10, 0, 0}};
    s.knots = {0, 0, 0, 1, 1, 1};
    add(d, s);
    dwg::Spline fit;
    fit.controlPoints.clear();
    fit.fitPoints = {{20, 0, 0}, {25, 5, 0}, {30, 0, 0}};
    add(d, fit);
    dwg::Spline broken = s;
    broken.knots = {3, 2, 1};  // unusable: replaced by uniform knots
    add(d, broken);
    const Scene sc = buildScene(d);
    ASSERT_EQ(sc.prims.size(), 3u);
    const Primitive& p = sc.prims[0];
    const QPointF first = sc.points[p.first], last = sc.points[p.first + p.count - 1];
    EXPECT_NEAR(first.x(), 0, 1e-9);
    EXPECT_NEAR(last.x(), 10, 1e-6);
    EXPECT_NEAR(p.bounds.bottom(), 5, 1e-3);  // a quadratic reaches half its control height
    EXPECT_NEAR(sc.prims[1].bounds.bottom(), 5, 1e-6);  // passes through the fit point
    EXPECT_NEAR(sc.prims[2].bounds.bottom(), 5, 1e-3);
}

TEST(SceneBuilder, CentresOnConstructionLinesWhenThereIsNothingElse) {
    dwg::Drawing d = emptyDrawing();
    dwg::Ray r;
    r.base = {100, 200, 0};
    r.direction = {1, 1, 0};
    r.infinite = true;
    add(d, r);
    const Scene s = buildScene(d);
    ASSERT_EQ(s.prims.size(), 1u);
    EXPECT_EQ(s.prims[0].kind, PrimKind::InfiniteLine);
    EXPECT_NEAR(s.extents.center().x(), 100, 1e-9);
    EXPECT_NEAR(s.extents.center().y(), 200, 1e-9);
}
