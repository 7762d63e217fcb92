// Decodes every drawing of the shared corpus and compares entity counts by type (model
// space and all) and layer names with the facts another reader gives for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "MiniJson.h"
#include "dwgviewx/dwg/Decoder.h"

namespace {

namespace fs = std::filesystem;

// The entity kinds this decoder reads; counts of other kinds are not compared because
// the other reader names classes it cannot decode differently ("UNKNOWN_ENT").
const std::set<std::string> kCompared = {"LINE",
                                         "CIRCLE",
                                         "ARC",
                                         "ELLIPSE",
                                         "POINT",
                                         "LWPOLYLINE",
                                         "POLYLINE_2D",
                                         "POLYLINE_3D",
                                         "POLYLINE_PFACE",
                                         "POLYLINE_MESH",
                                         "VERTEX_2D",
                                         "VERTEX_3D",
                                         "VERTEX_MESH",
                                         "VERTEX_PFACE",
                                         "VERTEX_PFACE_FACE",
                                         "SEQEND",
                                         "SPLINE",
                                         "TEXT",
                                         "MTEXT",
                                         "ATTRIB",
                                         "ATTDEF",
                                         "INSERT",
                                         "MINSERT",
                                         "DIMENSION_LINEAR",
                                         "DIMENSION_ALIGNED",
                                         "DIMENSION_ANG2LN",
                                         "DIMENSION_ANG3PT",
                                         "DIMENSION_RADIUS",
                                         "DIMENSION_DIAMETER",
                                         "DIMENSION_ORDINATE",
                                         "HATCH",
                                         "SOLID",
                                         "TRACE",
                                         "3DFACE",
                                         "LEADER",
                                         "RAY",
                                         "XLINE",
                                         "VIEWPORT",
                                         "BLOCK",
                                         "ENDBLK",
                                         "SHAPE"};

fs::path corpusDir() {
    const char* env = std::getenv("ORVANE_SHARED_DIR");
    return fs::path(env && *env ? env : ORVANE_SHARED_DIR) / "dwg";
}

struct FileFacts {
    std::string file, magic;
    dwgtest::Json facts;
};

std::vector<FileFacts> loadFacts() {
    std::vector<FileFacts> out;
    std::ifstream in(corpusDir() / "reference.json");
    if (!in) return out;
    std::stringstream ss;
    ss << in.rdbuf();
    dwgtest::Json root;
    if (!dwgtest::parseJson(ss.str(), root)) return out;
    const dwgtest::Json* files = root.find("files");
    if (!files) return out;
    for (const auto& f : files->items) {
        const auto* name = f.find("file");
        const auto* magic = f.find("version_magic");
        if (name && magic) out.push_back({name->text, magic->text, f});
    }
    return out;
}

std::map<std::string, int> countsOf(const dwgtest::Json* obj) {
    std::map<std::string, int> m;
    if (!obj) return m;
    for (const auto& [k, v] : obj->fields) m[k] = static_cast<int>(v.number);
    return m;
}

void compareCounts(const std::string& what, const std::map<std::string, int>& expected,
                   const std::map<std::string, int>& actual) {
    for (const auto& type : kCompared) {
        auto e = expected.find(type);
        auto a = actual.find(type);
        const int ev = e == expected.end() ? 0 : e->second;
        const int av = a == actual.end() ? 0 : a->second;
        EXPECT_EQ(av, ev) << what << " count of " << type;
    }
}

bool flatVersion(const std::string& magic) {
    return magic == "AC1012" || magic == "AC1014" || magic == "AC1015";
}

class Corpus : public ::testing::TestWithParam<FileFacts> {};

TEST_P(Corpus, DecodesLikeTheReferenceReader) {
    const FileFacts& ff = GetParam();
    const fs::path path = corpusDir() / ff.file;
    if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
    auto result = dwg::readFile(path.string());
    if (!result) {
        // Versions whose container is not built yet must say so plainly; the flat
        // versions must always load.
        EXPECT_FALSE(flatVersion(ff.magic)) << result.error();
        EXPECT_EQ(result.error(), "unsupported version " + ff.magic);
        return;
    }
    const dwg::Drawing& d = result.value();
    EXPECT_EQ(d.header.versionMagic, ff.magic);
    compareCounts("model space", countsOf(ff.facts.find("entities_model_space")),
                  d.report.modelSpaceByType);
    compareCounts("all", countsOf(ff.facts.find("entities_all")), d.report.entitiesByType);

    std::multiset<std::string> expectedLayers, actualLayers;
    if (const auto* layers = ff.facts.find("layer_names_json")) {
        for (const auto& l : layers->items) expectedLayers.insert(l.text);
    }
    for (const auto& l : d.layers) actualLayers.insert(l.name);
    EXPECT_EQ(actualLayers, expectedLayers);
    // Header extents and units, where the reference reader has them.
    if (const auto* header = ff.facts.find("header")) {
        auto near = [](double expected, double actual) {
            return std::fabs(expected - actual) <= 1e-9 * std::max(1.0, std::fabs(expected));
        };
        const dwg::Vec3& mn = d.header.extents.min;
        const dwg::Vec3& mx = d.header.extents.max;
        if (const auto* e = header->find("EXTMIN"); e && e->items.size() == 3) {
            EXPECT_TRUE(near(e->items[0].number, mn.x) && near(e->items[1].number, mn.y) &&
                        near(e->items[2].number, mn.z))
                << "EXTMIN " << mn.x << " " << mn.y << " " << mn.z;
        }
        if (const auto* e = header->find("EXTMAX"); e && e->items.size() == 3) {
            EXPECT_TRUE(near(e->items[0].number, mx.x) && near(e->items[1].number, mx.y) &&
                        near(e->items[2].number, mx.z))
                << "EXTMAX " << mx.x << " " << mx.y << " " << mx.z;
        }
        if (const auto* u = header->find("INSUNITS")) {
            EXPECT_EQ(d.header.insUnits, static_cast<int>(u->number));
        }
        if (const auto* lim = header->find("LIMMAX"); lim && lim->items.size() == 2) {
            EXPECT_TRUE(near(lim->items[0].number, d.header.limitsMax.x) &&
                        near(lim->items[1].number, d.header.limitsMax.y));
        }
    }
    // Every object of these drawings decodes, and their header and classes read cleanly.
    EXPECT_EQ(d.report.brokenObjects, 0)
        << (d.report.messages.empty() ? "" : d.report.messages.front());
    for (const auto& w : d.report.warnings) {
        EXPECT_NE(w.rfind("header variables", 0), 0u) << w;
        EXPECT_NE(w.rfind("classes", 0), 0u) << w;
    }
    ASSERT_NE(d.modelSpace(), nullptr);
}

std::string nameOf(const ::testing::TestParamInfo<FileFacts>& info) {
    std::string n = info.param.file;
    for (char& c : n) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return n;
}

INSTANTIATE_TEST_SUITE_P(SharedDrawings, Corpus, ::testing::ValuesIn(loadFacts()), nameOf);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Corpus);

TEST(CorpusFacts, AreAvailableOrTheTestsSaySoPlainly) {
    if (!fs::exists(corpusDir() / "reference.json")) GTEST_SKIP() << "no corpus at " << corpusDir();
    EXPECT_GE(loadFacts().size(), 30u);
}

TEST(CorpusContent, KeepsGeometryAndTextOfASmallDrawing) {
    const fs::path path = corpusDir() / "sample_2000.dwg";
    if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
    auto result = dwg::readFile(path.string());
    ASSERT_TRUE(result) << result.error();
    const dwg::Block* ms = result->modelSpace();
    ASSERT_NE(ms, nullptr);
    int lines = 0, texts = 0, circles = 0;
    for (const auto& e : ms->entities) {
        EXPECT_NE(result->findLayer(e.layer), nullptr) << e.type << " has an unknown layer";
        if (const auto* l = std::get_if<dwg::Line>(&e.geometry)) {
            ++lines;
            EXPECT_TRUE(std::isfinite(l->start.x) && std::isfinite(l->end.y));
        } else if (const auto* t = std::get_if<dwg::Text>(&e.geometry)) {
            ++texts;
            EXPECT_FALSE(t->value.empty());
            EXPECT_GT(t->height, 0);
        } else if (const auto* c = std::get_if<dwg::Circle>(&e.geometry)) {
            ++circles;
            EXPECT_GT(c->radius, 0);
        } else if (const auto* p = std::get_if<dwg::Polyline>(&e.geometry)) {
            EXPECT_GE(p->vertices.size(), 2u);
        }
    }
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(texts, 1);
    EXPECT_EQ(circles, 1);
    // Header extents agree with the reference reader's.
    EXPECT_NEAR(result->header.extents.min.x, -50.32104400256765, 1e-9);
    EXPECT_NEAR(result->header.extents.max.y, 194.70231685659655, 1e-9);
    EXPECT_EQ(result->header.insUnits, 4);
}

TEST(CorpusContent, ConvertsChineseLayerNamesToUtf8) {
    const fs::path path = corpusDir() / "autodim_test.dwg";
    if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
    auto result = dwg::readFile(path.string());
    ASSERT_TRUE(result) << result.error();
    EXPECT_NE(result->findLayerByName("\xE7\xB2\x97\xE5\xAE\x9E\xE7\xBA\xBF"), nullptr);  // 粗实线
}

TEST(CorpusContent, AttachesVerticesToTheirPolylinesAndAttributesToTheirInserts) {
    const fs::path path = corpusDir() / "example_r13.dwg";
    if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
    auto result = dwg::readFile(path.string());
    ASSERT_TRUE(result) << result.error();
    std::size_t vertices = 0, attribs = 0;
    for (const auto& b : result->blocks) {
        for (std::size_t i = 0; i < b.entities.size(); ++i) {
            const auto& e = b.entities[i];
            if (e.type == "POLYLINE_2D")
                vertices += std::get<dwg::Polyline>(e.geometry).vertices.size();
            if (e.type == "ATTRIB") {
                ++attribs;
                EXPECT_NE(e.owner, b.handle);  // owned by the insert just before it
            }
        }
    }
    EXPECT_EQ(vertices, 3712u);
    EXPECT_EQ(attribs, 2u);
}

}  // namespace

namespace {

void checkLayerProperties(const std::string& file, bool hasTrueColour) {
    const fs::path path = corpusDir() / file;
    if (!fs::exists(path)) GTEST_SKIP() << "corpus file missing: " << path;
    auto result = dwg::readFile(path.string());
    ASSERT_TRUE(result) << result.error();
    const dwg::Drawing& d = result.value();
    auto layer = [&](const char* name) {
        const dwg::Layer* l = d.findLayerByName(name);
        EXPECT_NE(l, nullptr) << name;
        return l ? *l : dwg::Layer{};
    };
    EXPECT_TRUE(layer("Layer_Off").off);
    EXPECT_FALSE(layer("Layer_Off").frozen);
    EXPECT_TRUE(layer("Layer_Freeze").frozen);
    EXPECT_TRUE(layer("Layer_Lock").locked);
    EXPECT_FALSE(layer("Layer1").off || layer("Layer1").frozen || layer("Layer1").locked);
    EXPECT_EQ(layer("Layer_color_80").color.index, 80);
    EXPECT_EQ(layer("Layer_lw_035").lineWeight, 35);
    EXPECT_EQ(layer("Layer_lw_050").lineWeight, 50);
    if (hasTrueColour) {
        EXPECT_EQ(layer("Layer_true_color").color.rgb.value_or(0), 0x1192EEu);
    }
    const dwg::LineType* dashed = d.findLineType(layer("Layer_Lt_dash").lineType);
    ASSERT_NE(dashed, nullptr);
    EXPECT_EQ(dashed->name, "ACAD_ISO02W100");
    EXPECT_EQ(dashed->dashes, (std::vector<double>{12, -3}));
    EXPECT_DOUBLE_EQ(dashed->patternLength, 15);
}

}  // namespace

TEST(CorpusContent, ReadsLayerStatesColoursWeightsAndLineTypesOfR2000) {
    checkLayerProperties("acadsharp_sample_AC1015.dwg", false);
}

TEST(CorpusContent, ReadsLayerStatesColoursWeightsAndLineTypesOfR2013) {
    checkLayerProperties("acadsharp_sample_AC1027.dwg", true);
}
