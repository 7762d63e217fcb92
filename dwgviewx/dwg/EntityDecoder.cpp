// Type-specific entity data, with the version conditions of each field.
#include <algorithm>
#include <cmath>

#include "dwgviewx/dwg/DecodedObject.h"

namespace dwg {

namespace {

// Upper bound on counts inside one entity, beyond what any real drawing holds; counts
// are also checked against the bits left before anything is allocated.
constexpr std::int64_t kMaxItems = 10'000'000;

bool countOk(BitReader& b, std::int64_t n, std::size_t minBits) {
    if (n < 0 || n > kMaxItems) {
        b.fail();
        return false;
    }
    return b.canHold(static_cast<std::uint64_t>(n), minBits);
}

Vec3 DD3(BitReader& b, const Vec3& def) {
    Vec3 v;
    v.x = b.DD(def.x);
    v.y = b.DD(def.y);
    v.z = b.DD(def.z);
    return v;
}

Vec3 withZ(Vec2 p, double z) {
    return Vec3{p.x, p.y, z};
}

void readText(ObjectReader& r, Text& t, Entity& e) {
    BitReader& b = r.data();
    if (!r.atLeast(Version::R2000)) {
        const double elevation = b.BD();
        t.insertion = withZ(b.RD2(), elevation);
        t.alignment = withZ(b.RD2(), elevation);
        e.extrusion = b.BD3();
        e.thickness = b.BD();
        t.oblique = b.BD();
        t.rotation = b.BD();
        t.height = b.BD();
        t.widthFactor = b.BD();
        t.value = r.text();
        const int generation = b.BS();
        t.mirrorX = generation & 2;
        t.mirrorY = generation & 4;
        t.hAlign = static_cast<HAlign>(std::clamp<int>(b.BS(), 0, 5));
        t.vAlign = static_cast<VAlign>(std::clamp<int>(b.BS(), 0, 3));
    } else {
        const int flags = b.RC();
        const double elevation = (flags & 0x01) ? 0.0 : b.RD();
        const Vec2 ins = b.RD2();
        t.insertion = withZ(ins, elevation);
        if (!(flags & 0x02)) {
            Vec2 al;
            al.x = b.DD(ins.x);
            al.y = b.DD(ins.y);
            t.alignment = withZ(al, elevation);
        } else {
            t.alignment = t.insertion;
        }
        e.extrusion = b.BE();
        e.thickness = b.BT();
        t.oblique = (flags & 0x04) ? 0.0 : b.RD();
        t.rotation = (flags & 0x08) ? 0.0 : b.RD();
        t.height = b.RD();
        t.widthFactor = (flags & 0x10) ? 1.0 : b.RD();
        t.value = r.text();
        const int generation = (flags & 0x20) ? 0 : b.BS();
        t.mirrorX = generation & 2;
        t.mirrorY = generation & 4;
        t.hAlign = static_cast<HAlign>(std::clamp<int>((flags & 0x40) ? 0 : b.BS(), 0, 5));
        t.vAlign = static_cast<VAlign>(std::clamp<int>((flags & 0x80) ? 0 : b.BS(), 0, 3));
    }
    t.style = r.handle();
}

bool readAttribute(ObjectReader& r, Text& t, Entity& e, bool isDef) {
    BitReader& b = r.data();
    readText(r, t, e);
    t.isAttDef = isDef;
    if (r.atLeast(Version::R2010)) b.RC();  // version
    int kind = 1;
    if (r.atLeast(Version::R2018)) kind = b.RC();
    if (kind != 1) {
        // Multi-line attributes embed an MTEXT; its first line is already in `value`.
        return b.failed() ? false : true;
    }
    t.tag = r.text();
    b.BS();  // field length
    const int flags = b.RC();
    t.invisible = flags & 1;
    if (r.atLeast(Version::R2007)) b.B();  // lock position
    if (isDef) {
        if (r.atLeast(Version::R2010)) b.RC();
        r.text();  // prompt
    }
    return true;
}

// The sub-entities an insert or polyline owns (attributes, vertices) and the closing
// SEQEND: R13-R2000 store the first and last of the chain, later versions every one.
void readOwned(ObjectReader& r, DecodedObject& out, std::int32_t ownedCount) {
    if (!r.atLeast(Version::R2004)) {
        out.firstOwned = r.handle();
        out.lastOwned = r.handle();
    } else if (countOk(r.handles(), ownedCount, 8)) {
        out.owned.reserve(static_cast<std::size_t>(ownedCount));
        for (int i = 0; i < ownedCount; ++i) out.owned.push_back(r.handle());
    }
    r.handle();  // SEQEND
}

// A polyline's owned vertices, counted in the data from R2004, and its geometry.
void finishPolyline(ObjectReader& r, DecodedObject& out, Entity& e, Polyline p) {
    const std::int32_t owned = r.atLeast(Version::R2004) ? r.data().BL() : 0;
    readOwned(r, out, owned);
    e.geometry = std::move(p);
}

void readInsert(ObjectReader& r, DecodedObject& out, Insert& ins, Entity& e, bool multiple) {
    BitReader& b = r.data();
    ins.insertion = b.BD3();
    if (!r.atLeast(Version::R2000)) {
        ins.scale = b.BD3();
    } else {
        switch (b.BB()) {
            case 3:
                ins.scale = {1, 1, 1};
                break;
            case 1:
                ins.scale.x = 1;
                ins.scale.y = b.DD(1);
                ins.scale.z = b.DD(1);
                break;
            case 2:
                ins.scale.x = b.RD();
                ins.scale.y = ins.scale.z = ins.scale.x;
                break;
            default:
                ins.scale.x = b.RD();
                ins.scale.y = b.DD(ins.scale.x);
                ins.scale.z = b.DD(ins.scale.x);
        }
    }
    ins.rotation = b.BD();
    e.extrusion = b.BD3();
    const bool hasAttribs = b.B();
    std::int32_t ownedCount = 0;
    // The count of owned attributes is only stored when there are attributes (real
    // files disagree with the format notes, which list it unconditionally).
    if (r.atLeast(Version::R2004) && hasAttribs) ownedCount = b.BL();
    if (multiple) {
        ins.columns = b.BS();
        ins.rows = b.BS();
        ins.columnSpacing = b.BD();
        ins.rowSpacing = b.BD();
    }
    ins.block = r.handle();
    if (hasAttribs) readOwned(r, out, ownedCount);
}

void readDimension(ObjectReader& r, Dimension& d, Entity& e) {
    BitReader& b = r.data();
    if (r.atLeast(Version::R2010)) b.RC();
    e.extrusion = b.BD3();
    const Vec2 mid = b.RD2();
    const double elevation = b.BD();
    d.textMidpoint = withZ(mid, elevation);
    b.RC();  // flags 1
    d.text = r.text();
    b.BD();   // text rotation
    b.BD();   // horizontal direction
    b.BD3();  // insertion scale
    b.BD();   // insertion rotation
    if (r.atLeast(Version::R2000)) {
        b.BS();
        b.BS();
        b.BD();
        d.measurement = b.BD();
    }
    if (r.atLeast(Version::R2007)) {
        b.B();
        b.B();
        b.B();
    }
    b.RD2();  // 12-pt
    const int t = r.head().type;
    switch (t) {
        case type::DimOrdinate:
            d.kind = 6;
            d.defPoints[0] = b.BD3();
            d.defPoints[1] = b.BD3();
            d.defPoints[2] = b.BD3();
            b.RC();
            break;
        case type::DimLinear:
        case type::DimAligned:
            d.kind = t == type::DimLinear ? 0 : 1;
            d.defPoints[1] = b.BD3();
            d.defPoints[2] = b.BD3();
            d.defPoints[0] = b.BD3();
            b.BD();
            if (t == type::DimLinear) b.BD();
            break;
        case type::DimAng3Pt:
            d.kind = 5;
            for (auto& p : d.defPoints) p = b.BD3();
            break;
        case type::DimAng2Ln: {
            d.kind = 2;
            const Vec2 p16 = b.RD2();
            d.defPoints[1] = b.BD3();
            d.defPoints[2] = b.BD3();
            d.defPoints[3] = b.BD3();
            d.defPoints[0] = b.BD3();
            (void)p16;
            break;
        }
        case type::DimRadius:
        case type::DimDiameter:
            d.kind = t == type::DimRadius ? 4 : 3;
            if (t == type::DimRadius) {
                d.defPoints[0] = b.BD3();
                d.defPoints[3] = b.BD3();
            } else {
                d.defPoints[3] = b.BD3();
                d.defPoints[0] = b.BD3();
            }
            b.BD();
            break;
    }
    d.style = r.handle();
    d.block = r.handle();
}

bool readSpline(ObjectReader& r, Spline& s) {
    BitReader& b = r.data();
    int scenario = b.BL();
    if (r.atLeast(Version::R2013)) {
        const int flags1 = b.BL();
        const int knotParam = b.BL();
        scenario = (knotParam == 15 || !(flags1 & 1)) ? 1 : 2;
        if (flags1 & 4) s.closed = true;
    }
    s.degree = b.BL();
    std::int32_t knots = 0, controls = 0, fits = 0;
    bool weighted = false;
    if (scenario == 2) {
        b.BD();
        b.BD3();
        b.BD3();
        fits = b.BL();
    } else if (scenario == 1) {
        s.rational = b.B();
        s.closed = b.B() || s.closed;
        s.periodic = b.B();
        b.BD();
        b.BD();
        knots = b.BL();
        controls = b.BL();
        weighted = b.B();
    } else {
        b.fail();
        return false;
    }
    if (!countOk(b, knots, 2) || !countOk(b, controls, 6) || !countOk(b, fits, 6)) return false;
    s.knots.reserve(static_cast<std::size_t>(knots));
    for (int i = 0; i < knots; ++i) s.knots.push_back(b.BD());
    s.controlPoints.reserve(static_cast<std::size_t>(controls));
    for (int i = 0; i < controls; ++i) {
        s.controlPoints.push_back(b.BD3());
        if (weighted) s.weights.push_back(b.BD());
    }
    s.fitPoints.reserve(static_cast<std::size_t>(fits));
    for (int i = 0; i < fits; ++i) s.fitPoints.push_back(b.BD3());
    if (!weighted) s.rational = false;
    return !b.failed();
}

void readMText(ObjectReader& r, MText& m, Entity& e) {
    BitReader& b = r.data();
    m.insertion = b.BD3();
    e.extrusion = b.BD3();
    m.xAxis = b.BD3();
    m.rectWidth = b.BD();
    if (r.atLeast(Version::R2007)) b.BD();
    m.height = b.BD();
    m.attachment = std::clamp<int>(b.BS(), 1, 9);
    m.drawingDirection = b.BS();
    b.BD();
    b.BD();
    m.value = r.text();
    if (r.atLeast(Version::R2000)) {
        b.BS();
        m.lineSpacingFactor = b.BD();
        b.B();
    }
    m.style = r.handle();
}

bool readLwPolyline(ObjectReader& r, Polyline& p, Entity& e) {
    BitReader& b = r.data();
    const int flags = b.BS();
    if (flags & 4) p.constantWidth = b.BD();
    if (flags & 8) p.elevation = b.BD();
    if (flags & 2) e.thickness = b.BD();
    if (flags & 1) e.extrusion = b.BD3();
    const std::int32_t points = b.BL();
    const std::int32_t bulges = (flags & 16) ? b.BL() : 0;
    const std::int32_t ids = (r.atLeast(Version::R2010) && (flags & 1024)) ? b.BL() : 0;
    const std::int32_t widths = (flags & 32) ? b.BL() : 0;
    p.closed = flags & 512;
    if (!countOk(b, points, 4) || !countOk(b, bulges, 2) || !countOk(b, ids, 2) ||
        !countOk(b, widths, 4))
        return false;
    p.vertices.resize(static_cast<std::size_t>(points));
    for (int i = 0; i < points; ++i) {
        Vec3& v = p.vertices[static_cast<std::size_t>(i)].position;
        if (i == 0 || !r.atLeast(Version::R2000)) {
            const Vec2 q = b.RD2();
            v.x = q.x;
            v.y = q.y;
        } else {
            const Vec3& prev = p.vertices[static_cast<std::size_t>(i - 1)].position;
            v.x = b.DD(prev.x);
            v.y = b.DD(prev.y);
        }
        v.z = p.elevation;
    }
    for (int i = 0; i < bulges; ++i) {
        const double bulge = b.BD();
        if (i < points) p.vertices[static_cast<std::size_t>(i)].bulge = bulge;
    }
    for (int i = 0; i < ids; ++i) b.BL();
    for (int i = 0; i < widths; ++i) {
        const double sw = b.BD();
        const double ew = b.BD();
        if (i < points) {
            p.vertices[static_cast<std::size_t>(i)].startWidth = sw;
            p.vertices[static_cast<std::size_t>(i)].endWidth = ew;
        }
    }
    return !b.failed();
}

bool readHatchEdge(ObjectReader& r, HatchEdge& edge) {
    BitReader& b = r.data();
    const int kind = b.RC();
    switch (kind) {
        case 1:
            edge.kind = HatchEdge::LineEdge;
            edge.p1 = b.RD2();
            edge.p2 = b.RD2();
            return true;
        case 2:
            edge.kind = HatchEdge::ArcEdge;
            edge.center = b.RD2();
            edge.radius = b.BD();
            edge.startAngle = b.BD();
            edge.endAngle = b.BD();
            edge.ccw = b.B();
            return true;
        case 3:
            edge.kind = HatchEdge::EllipseEdge;
            edge.center = b.RD2();
            edge.majorEnd = b.RD2();
            edge.ratio = b.BD();
            edge.startAngle = b.BD();
            edge.endAngle = b.BD();
            edge.ccw = b.B();
            return true;
        case 4: {
            edge.kind = HatchEdge::SplineEdge;
            Spline& s = edge.spline;
            s.degree = b.BL();
            s.rational = b.B();
            s.periodic = b.B();
            const std::int32_t knots = b.BL();
            const std::int32_t controls = b.BL();
            if (!countOk(b, knots, 2) || !countOk(b, controls, 128)) return false;
            for (int i = 0; i < knots; ++i) s.knots.push_back(b.BD());
            for (int i = 0; i < controls; ++i) {
                s.controlPoints.push_back(withZ(b.RD2(), 0));
                if (s.rational) s.weights.push_back(b.BD());
            }
            if (r.atLeast(Version::R2010)) {
                const std::int32_t fits = b.BL();
                if (!countOk(b, fits, 128)) return false;
                for (int i = 0; i < fits; ++i) s.fitPoints.push_back(withZ(b.RD2(), 0));
                if (fits > 0) {
                    b.RD2();
                    b.RD2();
                }
            }
            return !b.failed();
        }
        default:
            b.fail();
            return false;
    }
}

bool readHatch(ObjectReader& r, Hatch& h, Entity& e) {
    BitReader& b = r.data();
    if (r.atLeast(Version::R2004)) {
        const std::int32_t gradient = b.BL();
        b.BL();
        b.BD();
        b.BD();
        b.BL();
        b.BD();
        const std::int32_t colors = b.BL();
        if (!countOk(b, colors, 16)) return false;
        for (int i = 0; i < colors; ++i) {
            b.BD();
            b.BS();
            const auto rgb = static_cast<std::uint32_t>(b.BL());
            b.RC();
            if (gradient && i == 0) h.gradientRgb = rgb & 0xFFFFFF;
        }
        r.text();  // gradient name
    }
    h.elevation = b.BD();
    e.extrusion = b.BD3();
    h.patternName = r.text();
    h.solid = b.B();
    b.B();  // associative
    const std::int32_t paths = b.BL();
    if (!countOk(b, paths, 8)) return false;
    bool pixelSize = false;
    std::int64_t boundaryHandles = 0;
    h.loops.resize(static_cast<std::size_t>(paths));
    for (auto& loop : h.loops) {
        const std::int32_t flags = b.BL();
        if (flags & 4) pixelSize = true;
        if (!(flags & 2)) {
            const std::int32_t segs = b.BL();
            if (!countOk(b, segs, 8)) return false;
            loop.edges.resize(static_cast<std::size_t>(segs));
            for (auto& edge : loop.edges) {
                if (!readHatchEdge(r, edge)) return false;
            }
        } else {
            loop.isPolyline = true;
            const bool bulges = b.B();
            loop.closed = b.B();
            const std::int32_t segs = b.BL();
            if (!countOk(b, segs, 128)) return false;
            loop.polyline.resize(static_cast<std::size_t>(segs));
            for (auto& v : loop.polyline) {
                v.position = withZ(b.RD2(), h.elevation);
                if (bulges) v.bulge = b.BD();
            }
        }
        boundaryHandles += b.BL();
        if (b.failed()) return false;
    }
    b.BS();  // style
    b.BS();  // pattern type
    if (!h.solid) {
        h.patternAngle = b.BD();
        h.patternScale = b.BD();
        b.B();
        const int lines = static_cast<std::uint16_t>(b.BS());
        if (!countOk(b, lines, 10)) return false;
        h.patternLines.resize(static_cast<std::size_t>(lines));
        for (auto& pl : h.patternLines) {
            pl.angle = b.BD();
            pl.base = b.BD2();
            pl.offset = b.BD2();
            const int dashes = static_cast<std::uint16_t>(b.BS());
            if (!countOk(b, dashes, 2)) return false;
            for (int i = 0; i < dashes; ++i) pl.dashes.push_back(b.BD());
        }
    }
    if (pixelSize) b.BD();
    const std::int32_t seeds = b.BL();
    if (!countOk(b, seeds, 128)) return false;
    for (int i = 0; i < seeds; ++i) b.RD2();
    (void)boundaryHandles;
    return !b.failed();
}

bool readViewport(ObjectReader& r, Viewport& v) {
    BitReader& b = r.data();
    v.center = b.BD3();
    v.width = b.BD();
    v.height = b.BD();
    if (r.atLeast(Version::R2000)) {
        b.BD3();
        b.BD3();
        v.twist = b.BD();
        v.viewHeight = b.BD();
        b.BD();
        b.BD();
        b.BD();
        b.BD();
        v.viewCenter = b.RD2();
    }
    return !b.failed();
}

bool readLeader(ObjectReader& r, Leader& l) {
    BitReader& b = r.data();
    b.B();
    b.BS();
    l.spline = b.BS() == 1;
    const std::int32_t n = b.BL();
    if (!countOk(b, n, 6)) return false;
    l.points.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) l.points.push_back(b.BD3());
    b.BD3();
    b.BD3();
    b.BD3();
    b.BD3();
    if (r.atLeast(Version::R14)) b.BD3();
    if (!r.atLeast(Version::R2000)) b.BD();
    b.BD();
    b.BD();
    b.B();
    l.arrowHead = b.B();
    return !b.failed();
}

bool readFace(ObjectReader& r, Solid& s) {
    BitReader& b = r.data();
    s.is3dFace = true;
    if (!r.atLeast(Version::R2000)) {
        for (auto& c : s.corners) c = b.BD3();
        s.invisibleEdges = b.BS();
        return !b.failed();
    }
    const bool noFlags = b.B();
    const bool zZero = b.B();
    s.corners[0].x = b.RD();
    s.corners[0].y = b.RD();
    s.corners[0].z = zZero ? 0.0 : b.RD();
    for (int i = 1; i < 4; ++i) s.corners[i] = DD3(b, s.corners[i - 1]);
    if (!noFlags) s.invisibleEdges = b.BS();
    return !b.failed();
}

bool readSolid(ObjectReader& r, Solid& s, Entity& e) {
    BitReader& b = r.data();
    e.thickness = b.BT();
    const double elevation = b.BD();
    for (auto& c : s.corners) c = withZ(b.RD2(), elevation);
    e.extrusion = b.BE();
    return !b.failed();
}

bool readVertex(ObjectReader& r, DecodedObject& out) {
    BitReader& b = r.data();
    VertexData vd;
    const int t = r.head().type;
    if (t == type::VertexPfaceFace) {
        for (int& i : vd.faceIndices) i = b.BS();
    } else {
        vd.flags = b.RC();
        vd.vertex.position = b.BD3();
        if (t == type::Vertex2d) {
            double sw = b.BD();
            double ew = 0;
            if (sw < 0) {
                sw = ew = std::fabs(sw);
            } else {
                ew = b.BD();
            }
            vd.vertex.startWidth = sw;
            vd.vertex.endWidth = ew;
            vd.vertex.bulge = b.BD();
            if (r.atLeast(Version::R2010)) b.BL();
            b.BD();
        }
    }
    out.payload = vd;
    return !b.failed();
}

// Entities that carry drawable geometry.
bool decodeGeometry(ObjectReader& r, DecodedObject& out, Entity& e) {
    BitReader& b = r.data();
    const int t = r.head().type;
    const std::string& name = r.head().typeName;
    switch (t) {
        case type::Text: {
            Text text;
            readText(r, text, e);
            e.geometry = std::move(text);
            break;
        }
        case type::Attrib:
        case type::Attdef: {
            Text text;
            if (!readAttribute(r, text, e, t == type::Attdef)) return false;
            e.geometry = std::move(text);
            break;
        }
        case type::Insert:
        case type::Minsert: {
            Insert ins;
            readInsert(r, out, ins, e, t == type::Minsert);
            e.geometry = ins;
            break;
        }
        case type::Polyline2d: {
            Polyline p;
            const int flags = b.BS();
            b.BS();
            p.constantWidth = b.BD();
            b.BD();
            e.thickness = b.BT();
            p.elevation = b.BD();
            e.extrusion = b.BE();
            p.closed = flags & 1;
            finishPolyline(r, out, e, std::move(p));
            break;
        }
        case type::Polyline3d: {
            Polyline p;
            p.is3d = true;
            b.RC();
            p.closed = b.RC() & 1;
            finishPolyline(r, out, e, std::move(p));
            break;
        }
        case type::PolylinePface:
        case type::PolylineMesh: {
            Polyline p;
            p.is3d = true;
            if (t == type::PolylineMesh) {
                p.closed = b.BS() & 1;
                for (int i = 0; i < 5; ++i) b.BS();
            } else {
                b.BS();
                b.BS();
            }
            finishPolyline(r, out, e, std::move(p));
            break;
        }
        case type::Arc: {
            Arc a;
            a.center = b.BD3();
            a.radius = b.BD();
            e.thickness = b.BT();
            e.extrusion = b.BE();
            a.startAngle = b.BD();
            a.endAngle = b.BD();
            e.geometry = a;
            break;
        }
        case type::Circle: {
            Circle c;
            c.center = b.BD3();
            c.radius = b.BD();
            e.thickness = b.BT();
            e.extrusion = b.BE();
            e.geometry = c;
            break;
        }
        case type::Line: {
            Line l;
            if (!r.atLeast(Version::R2000)) {
                l.start = b.BD3();
                l.end = b.BD3();
            } else {
                const bool zZero = b.B();
                l.start.x = b.RD();
                l.end.x = b.DD(l.start.x);
                l.start.y = b.RD();
                l.end.y = b.DD(l.start.y);
                if (!zZero) {
                    l.start.z = b.RD();
                    l.end.z = b.DD(l.start.z);
                }
            }
            e.thickness = b.BT();
            e.extrusion = b.BE();
            e.geometry = l;
            break;
        }
        case type::DimOrdinate:
        case type::DimLinear:
        case type::DimAligned:
        case type::DimAng3Pt:
        case type::DimAng2Ln:
        case type::DimRadius:
        case type::DimDiameter: {
            Dimension d;
            readDimension(r, d, e);
            e.geometry = std::move(d);
            break;
        }
        case type::Point: {
            Point p;
            p.position = b.BD3();
            e.thickness = b.BT();
            e.extrusion = b.BE();
            p.xAxisAngle = b.BD();
            e.geometry = p;
            break;
        }
        case type::Face3d: {
            Solid s;
            if (!readFace(r, s)) return false;
            e.geometry = s;
            break;
        }
        case type::Solid:
        case type::Trace: {
            Solid s;
            if (!readSolid(r, s, e)) return false;
            e.geometry = s;
            break;
        }
        case type::Viewport: {
            Viewport v;
            if (!readViewport(r, v)) return false;
            e.geometry = v;
            break;
        }
        case type::Ellipse: {
            Ellipse el;
            el.center = b.BD3();
            el.majorAxis = b.BD3();
            e.extrusion = b.BD3();
            el.axisRatio = b.BD();
            el.startParam = b.BD();
            el.endParam = b.BD();
            e.geometry = el;
            break;
        }
        case type::Spline: {
            Spline s;
            if (!readSpline(r, s)) return false;
            e.geometry = std::move(s);
            break;
        }
        case type::Ray:
        case type::Xline: {
            Ray ray;
            ray.base = b.BD3();
            ray.direction = b.BD3();
            ray.infinite = t == type::Xline;
            e.geometry = ray;
            break;
        }
        case type::MText: {
            MText m;
            readMText(r, m, e);
            e.geometry = std::move(m);
            break;
        }
        case type::Leader: {
            Leader l;
            if (!readLeader(r, l)) return false;
            e.geometry = std::move(l);
            break;
        }
        default:
            if (t == type::LwPolyline || name == "LWPOLYLINE") {
                Polyline p;
                if (!readLwPolyline(r, p, e)) return false;
                e.geometry = std::move(p);
            } else if (t == type::Hatch || name == "HATCH") {
                Hatch h;
                if (!readHatch(r, h, e)) return false;
                e.geometry = std::move(h);
            } else {
                out.skipped = true;
                return true;
            }
    }
    return r.sound();
}

}  // namespace

bool decodeEntity(ObjectReader& r, DecodedObject& out) {
    const ObjectHead& h = r.head();
    switch (h.type) {
        case type::Block:
            r.text();  // the name lives in the block header as well
            out.payload = StructureMark{};
            return r.sound();
        case type::Endblk:
        case type::Seqend:
            out.payload = StructureMark{};
            return r.sound();
        case type::Vertex2d:
        case type::Vertex3d:
        case type::VertexMesh:
        case type::VertexPface:
        case type::VertexPfaceFace:
            return readVertex(r, out);
        default:
            break;
    }
    Entity e;
    e.handle = h.handle;
    e.owner = h.owner;
    e.type = h.typeName;
    e.layer = h.layer;
    e.lineType = h.lineTypeFlags == 3 ? h.lineType : 0;
    e.lineTypeByBlock = h.lineTypeFlags == 1;
    e.lineTypeScale = h.lineTypeScale;
    e.color = h.color;
    e.lineWeight = h.lineWeight;
    e.invisible = h.invisible;
    if (!decodeGeometry(r, out, e)) return false;
    if (!out.skipped) out.payload = std::move(e);
    return true;
}

}  // namespace dwg
