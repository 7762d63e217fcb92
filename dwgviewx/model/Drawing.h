#pragma once
// The drawing as the renderer and the writer see it: tables, blocks and entities in
// their block's own coordinates (2D entities keep their OCS data: elevation and
// extrusion), independent of the DWG version they came from. Plain C++, no Qt.
// Strings are UTF-8. Handles are the file's absolute handles (0 = none).
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

namespace dwg {

using Handle = std::uint64_t;

struct Vec2 {
    double x = 0, y = 0;
};
struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// Colour as stored: an index (0 = BYBLOCK, 256 = BYLAYER, 1..255 ACI), optionally
// overridden by a true colour (0xRRGGBB).
struct Color {
    static constexpr int ByBlock = 0;
    static constexpr int ByLayer = 256;
    int index = ByLayer;
    std::optional<std::uint32_t> rgb;
};

// Line weight in 1/100 mm; negative values are the special ones.
enum LineWeight : int { LwByLayer = -1, LwByBlock = -2, LwDefault = -3 };

struct Layer {
    Handle handle = 0;
    std::string name;
    Color color;       // never BYLAYER/BYBLOCK
    bool off = false;  // the file stores "off" as a negative colour index
    bool frozen = false;
    bool locked = false;
    Handle lineType = 0;
    int lineWeight = LwDefault;
};

struct LineType {
    Handle handle = 0;
    std::string name;  // "CONTINUOUS", "BYLAYER", "BYBLOCK", ...
    std::string description;
    double patternLength = 0;
    std::vector<double> dashes;  // >0 dash, <0 gap, 0 dot (drawing units)
};

struct TextStyle {
    Handle handle = 0;
    std::string name;
    std::string fontFile;     // e.g. "txt.shx", "simsun.ttf"
    std::string bigFontFile;  // e.g. "gbcbig.shx"
    double fixedHeight = 0;
    double widthFactor = 1;
    double obliqueAngle = 0;  // radians
    bool isShapeFile = false;
};

struct DimStyle {
    Handle handle = 0;
    std::string name;
    double textHeight = 2.5;
    double arrowSize = 2.5;
    double scale = 1;
};

// ---- entities --------------------------------------------------------------

struct Line {
    Vec3 start, end;
};
struct Circle {
    Vec3 center;
    double radius = 0;
};
struct Arc {
    Vec3 center;
    double radius = 0, startAngle = 0, endAngle = 0;
};  // radians, CCW
struct Ellipse {
    Vec3 center;
    Vec3 majorAxis;  // WCS vector from centre to the end of the major axis
    double axisRatio = 1;
    double startParam = 0, endParam = 6.283185307179586;
};
struct Point {
    Vec3 position;
    double xAxisAngle = 0;
};

struct PolyVertex {
    Vec3 position;  // OCS for 2D polylines (z unused), WCS for 3D
    double bulge = 0;
    double startWidth = -1, endWidth = -1;  // -1: use the polyline's widths
};
// LWPOLYLINE, POLYLINE_2D and POLYLINE_3D all become this.
struct Polyline {
    std::vector<PolyVertex> vertices;
    bool closed = false;
    bool is3d = false;
    double constantWidth = 0;
    double elevation = 0;
};

struct Spline {
    int degree = 3;
    bool closed = false, periodic = false, rational = false;
    std::vector<double> knots;
    std::vector<Vec3> controlPoints;
    std::vector<double> weights;  // empty when not rational
    std::vector<Vec3> fitPoints;  // used when there are no control points
};

enum class HAlign { Left = 0, Center = 1, Right = 2, Aligned = 3, Middle = 4, Fit = 5 };
enum class VAlign { Baseline = 0, Bottom = 1, Middle = 2, Top = 3 };

struct Text {           // TEXT, ATTRIB and ATTDEF
    std::string value;  // UTF-8
    Vec3 insertion;     // first alignment point (OCS)
    Vec3 alignment;     // second alignment point (OCS), when not Left/Baseline
    double height = 1, rotation = 0, widthFactor = 1, oblique = 0;  // radians
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Baseline;
    bool mirrorX = false, mirrorY = false;
    Handle style = 0;
    std::string tag;         // ATTRIB/ATTDEF only
    bool invisible = false;  // ATTRIB/ATTDEF flag
    bool isAttDef = false;
};

struct MText {
    std::string value;    // with the inline codes, UTF-8
    Vec3 insertion;       // WCS
    Vec3 xAxis{1, 0, 0};  // WCS direction of the text
    double height = 1, rectWidth = 0, lineSpacingFactor = 1;
    int attachment = 1;  // 1..9: top-left .. bottom-right
    int drawingDirection = 1;
    Handle style = 0;
};

struct Insert {        // INSERT and MINSERT
    Handle block = 0;  // BLOCK_HEADER handle
    Vec3 insertion;    // OCS
    Vec3 scale{1, 1, 1};
    double rotation = 0;  // radians
    int columns = 1, rows = 1;
    double columnSpacing = 0, rowSpacing = 0;
    // ATTRIB entities follow their INSERT in the same block, with owner = the insert.
};

struct Dimension {
    int kind = 0;      // 0 rotated/linear .. 6 ordinate (the DXF type & 7)
    Handle block = 0;  // the anonymous block that holds its picture
    Vec3 textMidpoint;
    Vec3 defPoints[4];
    double measurement = 0;
    std::string text;
    Handle style = 0;
};

struct HatchEdge {
    enum Kind { LineEdge = 1, ArcEdge = 2, EllipseEdge = 3, SplineEdge = 4 } kind = LineEdge;
    Vec2 p1, p2;    // line
    Vec2 center;    // arc / ellipse
    Vec2 majorEnd;  // ellipse: end of major axis relative to centre
    double radius = 0, ratio = 1, startAngle = 0, endAngle = 0;
    bool ccw = true;
    Spline spline;  // spline edge (2D points in x,y)
};
struct HatchLoop {
    bool isPolyline = false;
    bool closed = true;
    std::vector<PolyVertex> polyline;  // when isPolyline
    std::vector<HatchEdge> edges;      // otherwise
};
struct HatchPatternLine {
    double angle = 0;  // radians
    Vec2 base, offset;
    std::vector<double> dashes;
};
struct Hatch {
    std::string patternName;
    bool solid = false;
    double elevation = 0;
    double patternAngle = 0, patternScale = 1;
    std::vector<HatchLoop> loops;
    std::vector<HatchPatternLine> patternLines;
    std::optional<std::uint32_t> gradientRgb;  // first gradient colour, when a gradient
};

struct Solid {  // SOLID and TRACE (2D, OCS) and 3DFACE (WCS)
    Vec3 corners[4];
    bool is3dFace = false;
    int invisibleEdges = 0;  // 3DFACE edge flags
};

struct Leader {
    std::vector<Vec3> points;
    bool arrowHead = true;
    bool spline = false;
};

struct Ray {
    Vec3 base, direction;
    bool infinite = false;
};  // RAY (false), XLINE (true)

struct Viewport {
    Vec3 center;
    double width = 0, height = 0;
    Vec2 viewCenter;
    double viewHeight = 0;
    double twist = 0;
    int id = 0;
};

using Geometry = std::variant<Line, Circle, Arc, Ellipse, Point, Polyline, Spline, Text, MText,
                              Insert, Dimension, Hatch, Solid, Leader, Ray, Viewport>;

struct Entity {
    Handle handle = 0;
    Handle owner = 0;
    std::string type;  // the DWG type name: "LINE", "LWPOLYLINE", "POLYLINE_2D", ...
    Handle layer = 0;
    Handle lineType = 0;  // 0: BYLAYER
    bool lineTypeByBlock = false;
    double lineTypeScale = 1;
    Color color;
    int lineWeight = LwByLayer;
    bool invisible = false;
    double thickness = 0;
    Vec3 extrusion{0, 0, 1};  // OCS normal for 2D entities
    Geometry geometry;
};

struct Block {
    Handle handle = 0;  // BLOCK_HEADER handle
    std::string name;   // "*Model_Space", "*Paper_Space", "*D12", ...
    Vec3 basePoint;
    bool isLayout = false;
    bool isAnonymous = false;
    bool isXref = false;
    std::vector<Entity> entities;  // in file order, block coordinates
};

struct Extents {
    Vec3 min{1e20, 1e20, 1e20}, max{-1e20, -1e20, -1e20};
    bool valid() const { return min.x <= max.x && min.y <= max.y; }
};

struct Header {
    std::string versionMagic;  // "AC1015", ...
    int codePage = 0;          // DWGCODEPAGE
    Extents extents;           // EXTMIN/EXTMAX as stored (may be unset)
    Vec2 limitsMin, limitsMax;
    int insUnits = 0;
    int lunits = 2, luprec = 4;
    double ltscale = 1, textSize = 2.5;
    int pdmode = 0;
    double pdsize = 0;
    bool lwdisplay = false;
    Handle currentLayer = 0, textStyle = 0, currentLineType = 0, dimStyle = 0;
    Handle blockControl = 0, layerControl = 0, styleControl = 0, lineTypeControl = 0;
    Handle modelSpace = 0, paperSpace = 0;
};

// What the decoder read and could not read: skipped (unknown kind) and broken objects.
struct DecodeReport {
    int objectsTotal = 0;
    int skippedObjects = 0;  // entities of kinds the decoder does not draw, skipped by size
    int brokenObjects = 0;   // objects that failed to decode (any kind)
    int checksumMismatches = 0;
    std::map<std::string, int> skippedByType;
    std::map<std::string, int> entitiesByType;    // every entity object in the file, by type
                                                  // (BLOCK, ENDBLK, VERTEX_2D, ... included)
    std::map<std::string, int> modelSpaceByType;  // entities owned by model space
    std::vector<std::string> messages;            // first few problems, for tools and logs
    std::vector<std::string> warnings;            // recoverable damage of the file's sections
};

struct Drawing {
    Header header;
    std::vector<Layer> layers;
    std::vector<LineType> lineTypes;
    std::vector<TextStyle> textStyles;
    std::vector<DimStyle> dimStyles;
    std::vector<Block> blocks;  // includes model and paper space
    DecodeReport report;

    // Lookups by handle, O(1) through an index built by the decoder. Code that changes
    // the vectors afterwards calls rebuildIndex(); a stale index is detected and the
    // lookup falls back to a linear search, so results are always correct.
    const Block* modelSpace() const;
    const Block* findBlock(Handle h) const;
    const Layer* findLayer(Handle h) const;
    const LineType* findLineType(Handle h) const;
    const TextStyle* findTextStyle(Handle h) const;
    const DimStyle* findDimStyle(Handle h) const;
    // A layer by name, ignoring ASCII case (layer names are case-insensitive).
    const Layer* findLayerByName(const std::string& name) const;
    void rebuildIndex();

private:
    std::unordered_map<Handle, std::size_t> blockIndex_, layerIndex_, lineTypeIndex_, styleIndex_,
        dimStyleIndex_;
};

}  // namespace dwg
