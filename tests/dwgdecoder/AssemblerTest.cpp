// Assembling decoded objects into blocks: which block each entity lands in, in which
// order, with which owner; vertices and attributes under their parents; the counts of
// the report. Objects are built by hand so each case shows one rule.
#include "dwgviewx/dwg/Assembler.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace dwg;

namespace {

constexpr Handle kModel = 0x1F, kPaper = 0x1E, kPart = 0x20;

DecodedObject blockHeader(Handle h, const std::string& name) {
    DecodedObject o;
    o.head.type = type::BlockHeader;
    o.head.typeName = "BLOCK_HEADER";
    o.head.handle = h;
    BlockHeaderData bh;
    bh.block.handle = h;
    bh.block.name = name;
    o.payload = std::move(bh);
    return o;
}

DecodedObject entity(Handle h, Handle owner, int t, const char* name, Geometry g, int entmode = 0) {
    DecodedObject o;
    o.head.type = t;
    o.head.typeName = name;
    o.head.isEntity = true;
    o.head.handle = h;
    o.head.owner = owner;
    o.head.entmode = entmode;
    Entity e;
    e.handle = h;
    e.type = name;
    e.geometry = std::move(g);
    o.payload = std::move(e);
    return o;
}

DecodedObject line(Handle h, Handle owner, int entmode = 0) {
    const double x = static_cast<double>(h);
    return entity(h, owner, type::Line, "LINE", Line{{x, 0, 0}, {x, 1, 0}}, entmode);
}

DecodedObject insert(Handle h, Handle owner) {
    Insert i;
    i.block = kPart;
    return entity(h, owner, type::Insert, "INSERT", i);
}

DecodedObject attrib(Handle h, Handle insert) {
    Text t;
    t.tag = "TAG" + std::to_string(h);
    return entity(h, insert, type::Attrib, "ATTRIB", t);
}

DecodedObject vertex(Handle h, Handle owner, int t, double x, int flags = 0) {
    DecodedObject o;
    o.head.type = t;
    o.head.typeName = "VERTEX_2D";
    o.head.isEntity = true;
    o.head.handle = h;
    o.head.owner = owner;
    VertexData v;
    v.vertex.position = {x, 0, 99};
    v.flags = flags;
    o.payload = v;
    return o;
}

std::vector<Handle> handlesOf(const Block& b) {
    std::vector<Handle> out;
    for (const Entity& e : b.entities) out.push_back(e.handle);
    return out;
}

const Block& block(const Drawing& d, Handle h) {
    const Block* b = d.findBlock(h);
    EXPECT_NE(b, nullptr) << "no block " << h;
    static const Block none;
    return b ? *b : none;
}

Drawing assemble(std::vector<DecodedObject> objects, Handle modelSpace = kModel) {
    Drawing d;
    d.header.modelSpace = modelSpace;
    d.header.paperSpace = kPaper;
    Assembler a(d, objects.size());
    for (auto& o : objects) a.add(std::move(o));
    a.finish();
    return d;
}

std::vector<DecodedObject> blocks() {
    std::vector<DecodedObject> v;
    v.push_back(blockHeader(kPaper, "*Paper_Space"));
    v.push_back(blockHeader(kModel, "*Model_Space"));
    v.push_back(blockHeader(kPart, "PART"));
    return v;
}

}  // namespace

TEST(Assembler, EntitiesOfInterleavedBlocksLandInTheirOwnBlockInHandleOrder) {
    auto objects = blocks();
    std::vector<Handle> model, part, paper;
    for (Handle h = 0x100; h < 0x100 + 3000; ++h) {
        switch (h % 7) {
            case 0:
                objects.push_back(line(h, kPart));
                part.push_back(h);
                break;
            case 1:
                objects.push_back(line(h, 0, 1));  // paper space by entity mode
                paper.push_back(h);
                break;
            case 2:
                objects.push_back(line(h, 0x999));  // owner is no block: dropped
                break;
            case 3:
                objects.push_back(line(h, kModel));  // model space by owner handle
                model.push_back(h);
                break;
            default:
                objects.push_back(line(h, 0, 2));  // model space by entity mode
                model.push_back(h);
        }
    }
    const Drawing d = assemble(std::move(objects));
    EXPECT_EQ(handlesOf(block(d, kModel)), model);
    EXPECT_EQ(handlesOf(block(d, kPart)), part);
    EXPECT_EQ(handlesOf(block(d, kPaper)), paper);
    for (const Entity& e : block(d, kModel).entities) {
        EXPECT_EQ(e.owner, kModel);
        const auto* l = std::get_if<Line>(&e.geometry);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(l->start.x, static_cast<double>(e.handle));  // geometry moved intact
    }
    for (const Entity& e : block(d, kPaper).entities) EXPECT_EQ(e.owner, kPaper);
}

TEST(Assembler, AttributesFollowTheirInsertInTheOrderTheInsertListsThem) {
    for (const Handle where : {kModel, kPart}) {
        auto objects = blocks();
        // Enough lines that `where` holds the most entities, or the fewest.
        const int lines = where == kModel ? 50 : 5;
        for (int i = 0; i < lines; ++i) objects.push_back(line(0x100 + i, kModel));
        for (int i = 0; i < 10; ++i) objects.push_back(line(0x180 + i, kPart));
        auto ins = insert(0x200, where);
        ins.owned = {0x203, 0x201, 0x202};  // the insert's own order wins over handles
        objects.push_back(std::move(ins));
        objects.push_back(attrib(0x201, 0x200));
        objects.push_back(attrib(0x202, 0x200));
        objects.push_back(attrib(0x203, 0x200));
        objects.push_back(line(0x204, where));
        const Drawing d = assemble(std::move(objects));
        const auto h = handlesOf(block(d, where));
        auto at = std::find(h.begin(), h.end(), Handle{0x200});
        ASSERT_NE(at, h.end());
        ASSERT_GE(h.end() - at, 5);
        EXPECT_EQ(std::vector<Handle>(at, at + 5),
                  (std::vector<Handle>{0x200, 0x203, 0x201, 0x202, 0x204}));
        for (const Entity& e : block(d, where).entities) {
            if (e.type == "ATTRIB") {
                EXPECT_EQ(e.owner, Handle{0x200});
                EXPECT_EQ(std::get<Text>(e.geometry).tag, "TAG" + std::to_string(e.handle));
            } else {
                EXPECT_EQ(e.owner, where);
            }
        }
        EXPECT_EQ(block(d, kModel).entities.size() + block(d, kPart).entities.size(),
                  static_cast<std::size_t>(lines + 10 + 5));
    }
}

TEST(Assembler, AttributesWithoutAListFollowTheInsertInHandleOrderInsideModelSpace) {
    auto objects = blocks();
    objects.push_back(line(0x100, kModel));
    objects.push_back(insert(0x101, kModel));
    objects.push_back(attrib(0x102, 0x101));
    objects.push_back(attrib(0x103, 0x101));
    objects.push_back(line(0x104, kModel));
    objects.push_back(line(0x105, kPart));
    const Drawing d = assemble(std::move(objects));
    EXPECT_EQ(handlesOf(block(d, kModel)),
              (std::vector<Handle>{0x100, 0x101, 0x102, 0x103, 0x104}));
    EXPECT_EQ(handlesOf(block(d, kPart)), (std::vector<Handle>{0x105}));
}

TEST(Assembler, AttributesStoredBeforeTheirInsertStillFollowItInTheLargestBlock) {
    auto objects = blocks();
    for (Handle h = 0x100; h < 0x120; ++h) objects.push_back(line(h, kModel));
    objects.push_back(attrib(0x150, 0x160));
    objects.push_back(attrib(0x151, 0x160));
    objects.push_back(insert(0x160, kModel));
    objects.push_back(line(0x170, kModel));
    objects.push_back(line(0x180, kPart));
    const Drawing d = assemble(std::move(objects));
    auto h = handlesOf(block(d, kModel));
    ASSERT_EQ(h.size(), 0x20u + 4);
    EXPECT_EQ(std::vector<Handle>(h.end() - 4, h.end()),
              (std::vector<Handle>{0x160, 0x150, 0x151, 0x170}));
    EXPECT_EQ(std::get<Text>(block(d, kModel).entities[0x21].geometry).tag, "TAG336");
    EXPECT_EQ(handlesOf(block(d, kPart)), (std::vector<Handle>{0x180}));
}

TEST(Assembler, PolylineVerticesAreAttachedWithoutFaceRecordsOrFramePoints) {
    auto objects = blocks();
    Polyline p;
    p.elevation = 5;
    objects.push_back(entity(0x100, kModel, type::Polyline2d, "POLYLINE_2D", p));
    objects.push_back(vertex(0x101, 0x100, type::Vertex2d, 1));
    objects.push_back(vertex(0x102, 0x100, type::Vertex2d, 2, 16));  // spline frame point
    objects.push_back(vertex(0x103, 0x100, type::VertexPfaceFace, 3));
    objects.push_back(vertex(0x104, 0x100, type::Vertex2d, 4));
    objects.push_back(vertex(0x105, 0x777, type::Vertex2d, 5));  // its parent is missing
    const Drawing d = assemble(std::move(objects));
    ASSERT_EQ(block(d, kModel).entities.size(), 1u);
    const auto& poly = std::get<Polyline>(block(d, kModel).entities[0].geometry);
    ASSERT_EQ(poly.vertices.size(), 2u);
    EXPECT_EQ(poly.vertices[0].position.x, 1);
    EXPECT_EQ(poly.vertices[1].position.x, 4);
    EXPECT_EQ(poly.vertices[0].position.z, 5);  // 2D: the polyline's elevation
}

TEST(Assembler, ObjectsOutOfHandleOrderStillFindTheirParentsAndBlocks) {
    std::vector<DecodedObject> objects;
    objects.push_back(vertex(0x302, 0x300, type::Vertex3d, 2));
    objects.push_back(vertex(0x301, 0x300, type::Vertex3d, 1));
    Polyline p;
    p.is3d = true;
    objects.push_back(entity(0x300, kModel, type::Polyline3d, "POLYLINE_3D", p));
    objects.push_back(line(0x250, kModel));
    for (auto& b : blocks()) objects.push_back(std::move(b));
    const Drawing d = assemble(std::move(objects));
    EXPECT_EQ(handlesOf(block(d, kModel)), (std::vector<Handle>{0x300, 0x250}));
    const auto& poly = std::get<Polyline>(block(d, kModel).entities[0].geometry);
    ASSERT_EQ(poly.vertices.size(), 2u);
    EXPECT_EQ(poly.vertices[0].position.x, 2);   // the order they came in
    EXPECT_EQ(poly.vertices[0].position.z, 99);  // 3D keeps its own z
}

TEST(Assembler, AModelSpaceHandleThatNamesNoBlockFallsBackToTheBlockOfThatName) {
    auto objects = blocks();
    objects.push_back(line(0x100, 0, 2));
    const Drawing d = assemble(std::move(objects), 0x4444);
    EXPECT_EQ(d.header.modelSpace, kModel);
    EXPECT_EQ(handlesOf(block(d, kModel)), (std::vector<Handle>{0x100}));
    ASSERT_NE(d.modelSpace(), nullptr);
    EXPECT_EQ(d.modelSpace()->handle, kModel);
}

TEST(Assembler, TheReportCountsEveryObjectEntityTypeModelSpaceSkippedAndBroken) {
    auto objects = blocks();
    objects.push_back(line(0x100, kModel));
    objects.push_back(line(0x101, kPart));
    objects.push_back(line(0x102, 0, 2));
    DecodedObject skipped = line(0x103, kModel);
    skipped.payload = std::monostate{};
    skipped.skipped = true;
    skipped.head.typeName = "MLINE";
    skipped.head.type = type::MLine;
    objects.push_back(std::move(skipped));
    DecodedObject broken = line(0x104, kModel);
    broken.payload = std::monostate{};
    broken.broken = true;
    objects.push_back(std::move(broken));
    const Drawing d = assemble(std::move(objects));
    const DecodeReport& r = d.report;
    EXPECT_EQ(r.objectsTotal, 8);
    EXPECT_EQ(r.brokenObjects, 1);
    EXPECT_EQ(r.skippedObjects, 1);
    EXPECT_EQ(r.skippedByType.at("MLINE"), 1);
    EXPECT_EQ(r.entitiesByType.at("LINE"), 4);  // the broken one is still a line
    EXPECT_EQ(r.entitiesByType.at("MLINE"), 1);
    EXPECT_EQ(r.modelSpaceByType.at("LINE"), 3);
    EXPECT_EQ(block(d, kModel).entities.size(), 2u);  // neither skipped nor broken is drawn
    EXPECT_EQ(d.layers.size(), 0u);
}

TEST(Assembler, TablesArriveInTheDrawingInFileOrder) {
    auto objects = blocks();
    for (Handle h : {0x10, 0x11, 0x12}) {
        DecodedObject o;
        o.head.type = type::Layer;
        o.head.typeName = "LAYER";
        o.head.handle = h;
        Layer l;
        l.handle = h;
        l.name = "L" + std::to_string(h);
        o.payload = l;
        objects.insert(objects.begin(), std::move(o));
    }
    const Drawing d = assemble(std::move(objects));
    ASSERT_EQ(d.layers.size(), 3u);
    EXPECT_EQ(d.layers[0].handle, Handle{0x12});
    ASSERT_NE(d.findLayer(0x11), nullptr);
    EXPECT_EQ(d.findLayer(0x11)->name, "L17");
}
