// The files the writer makes hold together the way strict readers check them: every
// object's checksum, every reference, the objects other readers look up by name, and
// control objects whose data stream ends exactly where they say it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/dwg/Crc.h"
#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/dwg/ObjectMap.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {

struct Object {
    dwg::Handle handle = 0;
    int type = 0;
    const std::uint8_t* body = nullptr;  // after the size
    std::size_t size = 0;
    std::size_t endBit = 0;  // where the data stream ends and the handle stream starts
    bool checksumOk = false;
};

// The file and every object its map lists, parsed without the decoder's leniency.
class WrittenFile {
public:
    explicit WrittenFile(const dwg::Drawing& d) {
        auto out = dwg::writer::writeR2000(d);
        EXPECT_TRUE(out.ok()) << out.error();
        bytes_ = out.take();
        auto sections = dwg::readSections(bytes_);
        EXPECT_TRUE(sections.ok()) << sections.error();
        EXPECT_TRUE(sections->warnings.empty());
        std::vector<std::string> warnings;
        for (const auto& loc : dwg::readObjectMap(sections->handles, warnings)) add(loc);
        EXPECT_TRUE(warnings.empty());
    }

    const std::map<dwg::Handle, Object>& objects() const { return objects_; }
    std::vector<const Object*> ofType(int type) const {
        std::vector<const Object*> out;
        for (const auto& [h, o] : objects_) {
            if (o.type == type) out.push_back(&o);
        }
        return out;
    }
    // A reader positioned at the first type-specific field of a non-entity object.
    static dwg::BitReader objectData(const Object& o) {
        dwg::BitReader r(o.body, o.size);
        r.setLimit(o.endBit);
        r.BS();
        r.RL();
        r.H();
        EXPECT_EQ(r.BS(), 0);  // no extended data
        EXPECT_EQ(r.BL(), 0);  // no reactors
        return r;
    }
    // Every handle of the object's handle stream (the padding's null handles included).
    static std::vector<dwg::Handle> references(const Object& o) {
        dwg::BitReader r(o.body, o.size);
        r.seek(o.endBit);
        std::vector<dwg::Handle> out;
        while (r.remaining() >= 8) {
            const dwg::Handle h = r.H(o.handle);
            if (r.failed()) break;
            out.push_back(h);
        }
        return out;
    }

private:
    void add(const dwg::ObjectLocation& loc) {
        dwg::BitReader size(bytes_.data() + loc.offset, bytes_.size() - loc.offset);
        Object o;
        o.handle = loc.handle;
        o.size = size.MS();
        const std::size_t head = size.position() / 8;
        ASSERT_LE(loc.offset + head + o.size + 2, bytes_.size());
        o.body = bytes_.data() + loc.offset + head;
        const std::uint8_t* crc = o.body + o.size;
        o.checksumOk = dwg::crc16(0xC0C1, bytes_.data() + loc.offset, head + o.size) ==
                       static_cast<std::uint16_t>(crc[0] | crc[1] << 8);
        dwg::BitReader r(o.body, o.size);
        o.type = r.BS();
        o.endBit = static_cast<std::uint32_t>(r.RL());
        EXPECT_LE(o.endBit, o.size * 8) << std::hex << loc.handle;
        EXPECT_EQ(r.H().value, loc.handle);
        objects_[loc.handle] = o;
    }

    std::vector<std::uint8_t> bytes_;
    std::map<dwg::Handle, Object> objects_;
};

std::string name(dwg::BitReader& r) {
    return r.T();
}

std::vector<std::string> dictionaryKeys(const Object& o) {
    auto r = WrittenFile::objectData(o);
    const int n = r.BL();
    r.BS();
    r.RC();
    std::vector<std::string> keys;
    for (int i = 0; i < n && !r.failed(); ++i) keys.push_back(r.T());
    return keys;
}

}  // namespace

TEST(DwgWriterStructure, EveryObjectHasItsChecksumAndEveryReferenceResolves) {
    for (const auto& [title, drawing] : {std::pair{"floor plan", dwggen::floorPlan()},
                                         {"site plan", dwggen::sitePlan()},
                                         {"synthetic", dwggen::synthetic(3000, 7)}}) {
        SCOPED_TRACE(title);
        WrittenFile f(drawing);
        ASSERT_GT(f.objects().size(), 40u);
        int dangling = 0, badChecksums = 0;
        for (const auto& [h, o] : f.objects()) {
            badChecksums += !o.checksumOk;
            for (dwg::Handle ref : WrittenFile::references(o)) {
                if (ref != 0 && !f.objects().count(ref)) {
                    ++dangling;
                    ADD_FAILURE() << std::hex << "object " << h << " refers to missing " << ref;
                }
            }
        }
        EXPECT_EQ(badChecksums, 0);
        EXPECT_EQ(dangling, 0);
    }
}

TEST(DwgWriterStructure, TheObjectsOtherReadersLookUpByNameArePresent) {
    WrittenFile f(dwggen::floorPlan());
    std::map<int, std::set<std::string>> names;  // table record type -> names
    for (int type : {51, 53, 57, 65, 67, 69}) {
        for (const Object* o : f.ofType(type)) {
            auto r = WrittenFile::objectData(*o);
            names[type].insert(name(r));
        }
    }
    EXPECT_TRUE(names[65].count("*Active"));
    EXPECT_TRUE(names[69].count("Standard"));
    EXPECT_TRUE(names[51].count("0"));
    EXPECT_TRUE(names[53].count("STANDARD") || names[53].count("Standard"));
    EXPECT_TRUE(names[67].count("ACAD"));
    for (const char* lt : {"ByBlock", "ByLayer", "Continuous"}) EXPECT_TRUE(names[57].count(lt));

    // The multiline style and plot style the header and every layer point at.
    ASSERT_EQ(f.ofType(73).size(), 1u);
    auto ml = WrittenFile::objectData(*f.ofType(73).front());
    EXPECT_EQ(name(ml), "Standard");

    // Two layouts, listed by the layout dictionary, each tied to its space's block record.
    std::set<std::string> layoutKeys;
    for (const Object* d : f.ofType(42)) {
        for (const auto& k : dictionaryKeys(*d)) layoutKeys.insert(k);
    }
    EXPECT_TRUE(layoutKeys.count("Model"));
    EXPECT_TRUE(layoutKeys.count("Layout1"));
    EXPECT_TRUE(layoutKeys.count("ACAD_LAYOUT"));
    EXPECT_TRUE(layoutKeys.count("Normal"));
    std::set<dwg::Handle> layouts;
    for (const auto& [h, o] : f.objects()) {
        if (o.type >= 500 && WrittenFile::references(o).size() >= 3) layouts.insert(h);
    }
    int spacesWithLayout = 0;
    for (const Object* bh : f.ofType(49)) {
        auto refs = WrittenFile::references(*bh);
        // owner, extension dictionary, null, BLOCK, first, last, ENDBLK, layout
        ASSERT_GE(refs.size(), 8u);
        if (refs[7] != 0) {
            EXPECT_TRUE(layouts.count(refs[7]));
            ++spacesWithLayout;
        }
    }
    EXPECT_EQ(spacesWithLayout, 2);
}

TEST(DwgWriterStructure, ControlObjectsEndTheirDataStreamExactlyAfterTheirCounts) {
    WrittenFile f(dwggen::floorPlan());
    int controls = 0;
    for (int type : {48, 50, 52, 56, 60, 62, 64, 66, 68, 70}) {
        for (const Object* o : f.ofType(type)) {
            SCOPED_TRACE(type);
            auto r = WrittenFile::objectData(*o);
            r.BL();
            // The dimension style control also counts extra owned handles; readers
            // that read it fail on a control that lacks it.
            if (type == 68) {
                EXPECT_EQ(r.RC(), 0);
            }
            EXPECT_FALSE(r.failed());
            EXPECT_EQ(r.position(), o->endBit);
            ++controls;
        }
    }
    EXPECT_EQ(controls, 10);
}

namespace {

// The second file header as this test reads it, independently of the writer.
struct SecondHeaderView {
    bool found = false, crcOk = false;
    std::uint32_t sentinelAt = 0, size = 0, location = 0;
    std::string magic;
    int codePage = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sections;
    std::map<int, dwg::Handle> handles;
};

SecondHeaderView readSecondHeader(const std::vector<std::uint8_t>& file) {
    static const std::uint8_t start[16] = {0xD4, 0x7B, 0x21, 0xCE, 0x28, 0x93, 0x9F, 0xBF,
                                           0x53, 0x24, 0x40, 0x09, 0x12, 0x3C, 0xAA, 0x01};
    SecondHeaderView v;
    auto it = std::search(file.begin(), file.end(), start, start + 16);
    if (it == file.end()) return v;
    v.sentinelAt = static_cast<std::uint32_t>(it - file.begin());
    const std::uint8_t* p = file.data() + v.sentinelAt + 16;
    const std::size_t avail = file.size() - v.sentinelAt - 16;
    dwg::BitReader r(p, avail);
    v.size = static_cast<std::uint32_t>(r.RL());
    v.location = static_cast<std::uint32_t>(r.BL());
    for (int i = 0; i < 6; ++i) v.magic.push_back(static_cast<char>(r.RC()));
    for (int i = 0; i < 7; ++i) r.RC();
    r.BS();
    v.codePage = r.RC();
    v.codePage |= r.RC() << 8;
    const int n = r.BS();
    for (int i = 0; i < n && i < 16; ++i) {
        EXPECT_EQ(r.RC(), i);
        const auto at = static_cast<std::uint32_t>(r.BL());
        v.sections.emplace_back(at, static_cast<std::uint32_t>(r.BL()));
    }
    const int count = r.BS();
    for (int i = 0; i < count && i < 32 && !r.failed(); ++i) {
        const int bytes = r.RC();
        const int index = r.RC();
        dwg::Handle h = 0;
        for (int k = 0; k < bytes && k < 8; ++k) h = h << 8 | r.RC();
        v.handles[index] = h;
    }
    r.alignToByte();
    const std::size_t crcAt = r.position() / 8;
    if (r.failed() || crcAt + 2 > avail || v.size > avail) return v;
    v.found = true;
    v.crcOk =
        dwg::crc16(0xC0C1, p, crcAt) == static_cast<std::uint16_t>(p[crcAt] | p[crcAt + 1] << 8);
    return v;
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

}  // namespace

TEST(DwgWriterStructure, TheSecondHeaderRepeatsTheLocatorsAndPointsAtTheTables) {
    const auto drawing = dwggen::sitePlan();
    auto bytes = dwg::writer::writeR2000(drawing);
    ASSERT_TRUE(bytes.ok());
    const std::vector<std::uint8_t>& file = bytes.value();
    const SecondHeaderView v = readSecondHeader(file);
    ASSERT_TRUE(v.found);
    EXPECT_TRUE(v.crcOk);
    EXPECT_EQ(v.location, v.sentinelAt);
    EXPECT_EQ(v.magic, "AC1015");
    EXPECT_EQ(v.codePage, file[0x13] | file[0x14] << 8);
    static const std::uint8_t end[16] = {0x2B, 0x84, 0xDE, 0x31, 0xD7, 0x6C, 0x60, 0x40,
                                         0xAC, 0xDB, 0xBF, 0xF6, 0xED, 0xC3, 0x55, 0xFE};
    ASSERT_LE(v.sentinelAt + 16 + v.size + 16, file.size());
    EXPECT_TRUE(std::equal(end, end + 16, file.begin() + v.sentinelAt + 16 + v.size));

    const std::uint32_t locators = le32(file, 0x15);
    ASSERT_EQ(v.sections.size(), locators);
    for (std::uint32_t i = 0; i + 1 < locators; ++i) {
        EXPECT_EQ(v.sections[i].first, le32(file, 0x19 + i * 9 + 1)) << i;
        EXPECT_EQ(v.sections[i].second, le32(file, 0x19 + i * 9 + 5)) << i;
    }

    WrittenFile f(drawing);
    const int expectedTypes[14] = {0, 48, 50, 52, 56, 60, 62, 64, 66, 68, 70, 42, 42, 42};
    ASSERT_EQ(v.handles.size(), 14u);
    for (const auto& [h, o] : f.objects()) EXPECT_LT(h, v.handles.at(0)) << "handle seed";
    for (int i = 1; i < 14; ++i) {
        auto it = f.objects().find(v.handles.at(i));
        ASSERT_NE(it, f.objects().end()) << i;
        EXPECT_EQ(it->second.type, expectedTypes[i]) << i;
    }
}

TEST(DwgWriterStructure, TheSecondHeaderReadingAgreesWithRealFiles) {
    const std::filesystem::path dir = std::filesystem::path(ORVANE_SHARED_DIR) / "dwg";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no drawing corpus at " << dir;
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), {});
        if (file.size() < 0x80 || std::string(file.begin(), file.begin() + 6) != "AC1015") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const SecondHeaderView v = readSecondHeader(file);
        ASSERT_TRUE(v.found);
        EXPECT_TRUE(v.crcOk);
        EXPECT_EQ(v.location, v.sentinelAt);
        EXPECT_EQ(v.sections.at(0).first, le32(file, 0x19 + 1));
        EXPECT_EQ(v.handles.at(1), 1u);  // the block control
        ++checked;
    }
    EXPECT_GT(checked, 0);
}
