// The files the writer makes hold together the way strict readers check them: every
// object's checksum, every reference, the objects other readers look up by name, and
// control objects whose data stream ends exactly where they say it ends.
#include <gtest/gtest.h>

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
