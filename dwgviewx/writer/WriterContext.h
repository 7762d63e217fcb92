#pragma once
// State shared by the parts of the R2000 writer: the output handles of the tables,
// the mapping from the input's handles, the text encoding and the finished objects.
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "dwgviewx/model/Drawing.h"
#include "dwgviewx/writer/ObjectWriter.h"

namespace dwg::writer {

// Fixed handles of the objects every file has.
namespace fixed {
constexpr Handle BlockControl = 0x1, LayerControl = 0x2, StyleControl = 0x3, LTypeControl = 0x5,
                 ViewControl = 0x6, UcsControl = 0x7, VportControl = 0x8, AppIdControl = 0x9,
                 DimStyleControl = 0xA, VxControl = 0xB, NamedObjects = 0xC, GroupDict = 0xD,
                 MLineStyleDict = 0xE, Layer0 = 0x10, StyleStandard = 0x11, AppIdAcad = 0x12,
                 LTypeByBlock = 0x13, LTypeByLayer = 0x14, LTypeContinuous = 0x15,
                 LayoutDict = 0x16, PlotSettingsDict = 0x17, PlotStyleDict = 0x18,
                 ActiveVport = 0x19, DimStyleStandard = 0x1A, LayoutModel = 0x1B,
                 LayoutPaper = 0x1C, MLineStyleStandard = 0x1D, PlotStyleNormal = 0x1E,
                 FirstFree = 0x20;
}  // namespace fixed

// Class numbers of the class-based kinds written.
constexpr int kClassLwPolyline = 500;
constexpr int kClassHatch = 501;
constexpr int kClassLayout = 502;
constexpr int kClassPlaceholder = 503;

struct BlockPlan {
    const Block* source = nullptr;  // nullptr for a paper space the input lacks
    std::string name;
    Handle header = 0, blockEntity = 0, endBlock = 0;
    std::vector<Handle> entities;  // output handles of the written entities, in order
    int entmode = 0;
};

class WriterContext {
public:
    explicit WriterContext(const Drawing& d);
    ~WriterContext();
    WriterContext(const WriterContext&) = delete;
    WriterContext& operator=(const WriterContext&) = delete;

    const Drawing& drawing() const { return d_; }
    Handle allocate() { return next_++; }
    Handle handleSeed() const { return next_; }

    // Text in the file's code page.
    int codePage() const { return codePage_; }
    std::string encode(const std::string& utf8) const;

    // Output handles for input references (0 → the defaults).
    Handle layer(Handle input) const;
    Handle lineType(Handle input, int* flags) const;  // flags as an entity stores them
    Handle textStyle(Handle input) const;
    Handle block(Handle input) const;

    // Finished objects live in one buffer: a million small allocations cost more than
    // writing them.
    struct StoredObject {
        Handle handle = 0;
        std::size_t offset = 0, size = 0;
    };
    void add(Handle h, const std::vector<std::uint8_t>& bytes);
    // The objects in handle order (the later of two with one handle wins), and their bytes.
    std::vector<StoredObject> objectsByHandle() const;
    const std::vector<std::uint8_t>& objectBytes() const { return objectBytes_; }

    std::vector<BlockPlan> blocks;  // model space, paper space, then the others
    std::vector<std::pair<const Layer*, Handle>> layers;        // besides layer "0"
    std::vector<std::pair<const LineType*, Handle>> lineTypes;  // the drawing's own
    std::vector<std::pair<const TextStyle*, Handle>> styles;    // besides STANDARD
    const Layer* layerZero = nullptr;
    const TextStyle* standardStyle = nullptr;
    Extents extents;
    int skippedEntities = 0;
    int entities = 0;

private:
    const Drawing& d_;
    Handle next_ = fixed::FirstFree;
    int codePage_ = 30;
    // The UTF-8 to GBK converter, opened on the first text that needs it and kept for
    // the rest: drawings hold hundreds of thousands of texts.
    mutable void* toGbk_ = nullptr;
    std::unordered_map<Handle, Handle> layerMap_, lineTypeMap_, styleMap_, blockMap_;
    std::unordered_map<Handle, int> lineTypeKind_;  // 0 BYLAYER 1 BYBLOCK 2 CONTINUOUS 3 own
    std::vector<StoredObject> objects_;
    std::vector<std::uint8_t> objectBytes_;
};

// The name, 64-flag and xref fields every table record starts with.
void entryName(ObjectWriter& o, const WriterContext& ctx, const std::string& name);

// The parts of the writer. The tables and layouts come after the blocks because the
// active viewport and the layouts frame the model space extents the blocks measure.
void writeBlocks(WriterContext& ctx);
void writeTables(WriterContext& ctx);
void writeViewports(WriterContext& ctx);
void writeDimStyle(WriterContext& ctx);
void writeLayouts(WriterContext& ctx);
void writeStandardObjects(WriterContext& ctx);
std::vector<std::uint8_t> headerSection(const WriterContext& ctx);
std::vector<std::uint8_t> classesSection();

}  // namespace dwg::writer
