// Drawings the writer makes read back through the decoder with the same content.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/tools/dwggen/DrawingBuilder.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {

std::map<std::string, int> countByType(const dwg::Block& b) {
    std::map<std::string, int> out;
    for (const auto& e : b.entities) ++out[e.type];
    return out;
}

const dwg::Block* findBlock(const dwg::Drawing& d, const std::string& name) {
    for (const auto& b : d.blocks) {
        if (b.name == name) return &b;
    }
    return nullptr;
}

dwg::Drawing roundTrip(const dwg::Drawing& in) {
    dwg::writer::WriteStats stats;
    auto bytes = dwg::writer::writeR2000(in, &stats);
    EXPECT_TRUE(bytes.ok()) << bytes.error();
    EXPECT_EQ(stats.skippedEntities, 0);
    auto out = dwg::readBytes(bytes.value());
    EXPECT_TRUE(out.ok()) << out.error();
    EXPECT_EQ(out->report.brokenObjects, 0);
    EXPECT_EQ(out->report.checksumMismatches, 0);
    EXPECT_EQ(out->header.versionMagic, "AC1015");
    return out.take();
}

template <class T>
const T& only(const dwg::Block& b) {
    for (const auto& e : b.entities) {
        if (auto* g = std::get_if<T>(&e.geometry)) return *g;
    }
    ADD_FAILURE() << "no such entity";
    static T none{};
    return none;
}

}  // namespace

TEST(DwgWriter, DemoDrawingsReadBackWithTheSameEntitiesLayersAndBlocks) {
    for (const auto& demo : dwggen::demoDrawings()) {
        SCOPED_TRACE(demo.fileName);
        const dwg::Drawing back = roundTrip(demo.drawing);
        std::set<std::string> layersIn, layersOut;
        for (const auto& l : demo.drawing.layers) layersIn.insert(l.name);
        for (const auto& l : back.layers) layersOut.insert(l.name);
        EXPECT_EQ(layersIn, layersOut);
        for (const auto& b : demo.drawing.blocks) {
            const dwg::Block* got = findBlock(back, b.name);
            ASSERT_NE(got, nullptr) << b.name;
            EXPECT_EQ(countByType(b), countByType(*got)) << b.name;
        }
        EXPECT_EQ(back.report.modelSpaceByType, countByType(demo.drawing.blocks[0]));
    }
}

TEST(DwgWriter, GeometryTextAndReferencesSurviveTheRoundTrip) {
    dwggen::DrawingBuilder b;
    const auto dashed = b.lineType("DASHED", "Dashed", {5, -2.5});
    const auto red = b.layer("红色 Red", 1, dashed);
    const auto block = b.beginBlock("MARK", {1, 2, 0});
    b.circle(0, 0, 1);
    b.endBlock();
    b.setLayer(red);
    b.setColor(3);
    b.line(1.25, -2, 1e6, 3.5);
    b.arc(10, 20, 5, 30, 120);
    b.polyline({{0, 0}, {10, 0}, {10, 10}}, true, {0, 0.5, -1});
    b.text(5, 6, 2.5, "图纸 Drawing", 30);
    b.mtext(1, 2, 3, 40, "第一行\\PSecond line");
    b.insert(block, 100, 200, 2, 90);
    b.ellipse(0, 0, 10, 0, 0.5);
    b.solidHatch({{0, 0}, {4, 0}, {4, 4}});
    const dwg::Drawing back = roundTrip(b.take());

    const dwg::Block* model = back.modelSpace();
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->entities.size(), 8u);
    const dwg::Layer* layer = back.findLayer(model->entities[0].layer);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->name, "红色 Red");
    EXPECT_EQ(layer->color.index, 1);
    const dwg::LineType* lt = back.findLineType(layer->lineType);
    ASSERT_NE(lt, nullptr);
    EXPECT_EQ(lt->name, "DASHED");
    EXPECT_EQ(lt->dashes, (std::vector<double>{5, -2.5}));
    EXPECT_EQ(model->entities[0].color.index, 3);

    const auto& line = only<dwg::Line>(*model);
    EXPECT_EQ(line.start.x, 1.25);
    EXPECT_EQ(line.end.x, 1e6);
    EXPECT_EQ(line.end.y, 3.5);
    const auto& arc = only<dwg::Arc>(*model);
    EXPECT_NEAR(arc.startAngle, M_PI / 6, 1e-12);
    EXPECT_EQ(arc.radius, 5);
    const auto& poly = only<dwg::Polyline>(*model);
    ASSERT_EQ(poly.vertices.size(), 3u);
    EXPECT_TRUE(poly.closed);
    EXPECT_EQ(poly.vertices[2].bulge, -1);
    EXPECT_EQ(poly.vertices[1].position.x, 10);
    const auto& text = only<dwg::Text>(*model);
    EXPECT_EQ(text.value, "图纸 Drawing");
    EXPECT_NEAR(text.rotation, M_PI / 6, 1e-12);
    EXPECT_EQ(only<dwg::MText>(*model).value, "第一行\\PSecond line");
    const auto& ins = only<dwg::Insert>(*model);
    EXPECT_EQ(ins.scale.x, 2);
    const dwg::Block* mark = back.findBlock(ins.block);
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->name, "MARK");
    EXPECT_EQ(mark->basePoint.y, 2);
    EXPECT_EQ(only<dwg::Ellipse>(*model).axisRatio, 0.5);
    const auto& hatch = only<dwg::Hatch>(*model);
    EXPECT_TRUE(hatch.solid);
    ASSERT_EQ(hatch.loops.size(), 1u);
    EXPECT_EQ(hatch.loops[0].polyline.size(), 3u);
}

TEST(DwgWriter, SyntheticDrawingsAreDeterministicForASeedAndLoadWhole) {
    const auto a = dwg::writer::writeR2000(dwggen::synthetic(3000, 11));
    const auto b = dwg::writer::writeR2000(dwggen::synthetic(3000, 11));
    const auto c = dwg::writer::writeR2000(dwggen::synthetic(3000, 12));
    ASSERT_TRUE(a.ok() && b.ok() && c.ok());
    EXPECT_EQ(a.value(), b.value());
    EXPECT_NE(a.value(), c.value());
    auto back = dwg::readBytes(a.value());
    ASSERT_TRUE(back.ok()) << back.error();
    int total = 0;
    for (const auto& [type, n] : back->report.modelSpaceByType) total += n;
    EXPECT_EQ(total, 3000);
    EXPECT_EQ(back->report.brokenObjects, 0);
}

TEST(DwgWriter, AFailedFileWriteReportsItAndLeavesNothingBehind) {
    const auto dir = std::filesystem::temp_directory_path() / "orvane-writer-test-missing";
    std::filesystem::remove_all(dir);
    const std::string path = (dir / "x.dwg").string();
    const std::string error = dwg::writer::writeR2000File(dwggen::sitePlan(), path);
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}
