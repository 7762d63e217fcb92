#pragma once
// One object's streams and common data. Every object is split into a data stream, a
// string stream (R2007+: at the end of the data) and a handle stream (after the data).
// The reader parses the common object or entity part and leaves the data stream at the
// first type-specific field. Not thread-safe; one per object.
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/dwg/Classes.h"
#include "dwgviewx/dwg/CodePage.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

// Fixed object type numbers used by the decoder.
namespace type {
constexpr int Text = 1, Attrib = 2, Attdef = 3, Block = 4, Endblk = 5, Seqend = 6, Insert = 7,
              Minsert = 8, Vertex2d = 10, Vertex3d = 11, VertexMesh = 12, VertexPface = 13,
              VertexPfaceFace = 14, Polyline2d = 15, Polyline3d = 16, Arc = 17, Circle = 18,
              Line = 19, DimOrdinate = 20, DimLinear = 21, DimAligned = 22, DimAng3Pt = 23,
              DimAng2Ln = 24, DimRadius = 25, DimDiameter = 26, Point = 27, Face3d = 28,
              PolylinePface = 29, PolylineMesh = 30, Solid = 31, Trace = 32, Shape = 33,
              Viewport = 34, Ellipse = 35, Spline = 36, Region = 37, Solid3d = 38, Body = 39,
              Ray = 40, Xline = 41, Dictionary = 42, OleFrame = 43, MText = 44, Leader = 45,
              Tolerance = 46, MLine = 47, BlockControl = 48, BlockHeader = 49, LayerControl = 50,
              Layer = 51, StyleControl = 52, Style = 53, LTypeControl = 56, LType = 57,
              DimStyle = 69, Ole2Frame = 74, LwPolyline = 77, Hatch = 78, ProxyEntity = 0x1F2;
}  // namespace type

// The DWG type name of a fixed type ("LINE", "DIMENSION_LINEAR", ...) or "" if none.
const char* fixedTypeName(int type);
// True for fixed types that are entities.
bool isFixedEntityType(int type);

struct ObjectHead {
    int type = 0;
    std::string typeName;
    bool isEntity = false;
    Handle handle = 0;
    // Entities only:
    int entmode = 0;  // 0 owner stored, 1 paper space, 2 model space
    Handle owner = 0;
    Handle layer = 0, lineType = 0;
    int lineTypeFlags = 0;  // 0 bylayer, 1 byblock, 2 continuous, 3 handle
    Handle prevEntity = 0, nextEntity = 0;
    Color color;
    double lineTypeScale = 1;
    bool invisible = false;
    int lineWeight = LwByLayer;
};

class ObjectReader {
public:
    ObjectReader(const std::uint8_t* object, std::size_t size, Version version,
                 const ClassTable& classes, CodePageConverter& cp);

    // Parses the common part. False (with `error()`) when the object is unreadable.
    // `handleBits` is the size of the handle stream that R2010+ files store before the
    // object's data (ignored for earlier versions).
    bool begin(std::uint64_t handleBits = 0);
    const ObjectHead& head() const { return head_; }
    ObjectHead& head() { return head_; }
    const std::string& error() const { return error_; }

    BitReader& data() { return data_; }
    BitReader& handles() { return handles_; }
    Version version() const { return version_; }
    bool atLeast(Version v) const { return version_ >= v; }
    // A text field, from the string stream for R2007+, as UTF-8.
    std::string text();
    // The next handle of the handle stream, resolved against this object.
    Handle handle() { return handles_.H(head_.handle); }
    // True when every stream is still sound.
    bool sound() const { return !data_.failed() && !strings_.failed() && !handles_.failed(); }

private:
    bool beginEntity();
    void beginObject();
    bool locateStrings(std::size_t endBit);
    void entityHandles(int reactors, bool xdicMissing, bool noLinks, bool r14ByLayer,
                       std::uint32_t colorFlags, int plotFlags, int materialFlags,
                       int visualStyles);

    const std::uint8_t* object_;
    std::size_t size_;
    Version version_;
    const ClassTable& classes_;
    CodePageConverter& cp_;
    BitReader data_, strings_, handles_;
    std::size_t endBit_ = 0;
    ObjectHead head_;
    std::string error_;
};

// Line weight from its stored index (R2000+).
int lineWeightFromIndex(int index);

}  // namespace dwg
