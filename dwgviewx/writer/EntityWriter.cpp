// Block records, BLOCK/ENDBLK and the entities of every block of an R2000 file.
#include <cmath>

#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

namespace {

void grow(Extents& x, const Vec3& p) {
    x.min.x = std::min(x.min.x, p.x);
    x.min.y = std::min(x.min.y, p.y);
    x.min.z = std::min(x.min.z, p.z);
    x.max.x = std::max(x.max.x, p.x);
    x.max.y = std::max(x.max.y, p.y);
    x.max.z = std::max(x.max.z, p.z);
}

bool isWritable(const Geometry& g) {
    return std::holds_alternative<Line>(g) || std::holds_alternative<Circle>(g) ||
           std::holds_alternative<Arc>(g) || std::holds_alternative<Ellipse>(g) ||
           std::holds_alternative<Point>(g) ||
           (std::holds_alternative<Polyline>(g) && !std::get<Polyline>(g).is3d) ||
           std::holds_alternative<Text>(g) || std::holds_alternative<MText>(g) ||
           std::holds_alternative<Insert>(g) ||
           (std::holds_alternative<Solid>(g) && !std::get<Solid>(g).is3dFace) ||
           std::holds_alternative<Hatch>(g);
}

struct TypeOf {
    int operator()(const Line&) const { return 19; }
    int operator()(const Circle&) const { return 18; }
    int operator()(const Arc&) const { return 17; }
    int operator()(const Ellipse&) const { return 35; }
    int operator()(const Point&) const { return 27; }
    int operator()(const Polyline&) const { return kClassLwPolyline; }
    int operator()(const Text&) const { return 1; }
    int operator()(const MText&) const { return 44; }
    int operator()(const Insert&) const { return 7; }
    int operator()(const Solid&) const { return 31; }
    int operator()(const Hatch&) const { return kClassHatch; }
    int operator()(const auto&) const { return 0; }
};

int typeOf(const Geometry& g) {
    return std::visit(TypeOf{}, g);
}

class GeometryWriter {
public:
    GeometryWriter(WriterContext& ctx, ObjectWriter& o, const Entity& e, bool track)
        : ctx_(ctx), d_(o.data()), h_(o.handles()), e_(e), track_(track) {}

    void operator()(const Line& l) {
        const bool zZero = l.start.z == 0 && l.end.z == 0;
        d_.B(zZero);
        d_.RD(l.start.x);
        d_.DD(l.end.x, l.start.x);
        d_.RD(l.start.y);
        d_.DD(l.end.y, l.start.y);
        if (!zZero) {
            d_.RD(l.start.z);
            d_.DD(l.end.z, l.start.z);
        }
        d_.BT(e_.thickness);
        d_.BE(e_.extrusion);
        see(l.start);
        see(l.end);
    }
    void operator()(const Circle& c) {
        d_.BD3(c.center);
        d_.BD(c.radius);
        d_.BT(e_.thickness);
        d_.BE(e_.extrusion);
        seeRadius(c.center, c.radius);
    }
    void operator()(const Arc& a) {
        d_.BD3(a.center);
        d_.BD(a.radius);
        d_.BT(e_.thickness);
        d_.BE(e_.extrusion);
        d_.BD(a.startAngle);
        d_.BD(a.endAngle);
        seeRadius(a.center, a.radius);
    }
    void operator()(const Ellipse& el) {
        d_.BD3(el.center);
        d_.BD3(el.majorAxis);
        d_.BD3(e_.extrusion);
        d_.BD(el.axisRatio);
        d_.BD(el.startParam);
        d_.BD(el.endParam);
        seeRadius(el.center, std::hypot(el.majorAxis.x, el.majorAxis.y));
    }
    void operator()(const Point& p) {
        d_.BD3(p.position);
        d_.BT(e_.thickness);
        d_.BE(e_.extrusion);
        d_.BD(p.xAxisAngle);
        see(p.position);
    }
    void operator()(const Polyline& p) {
        bool bulges = false, widths = false;
        for (const auto& v : p.vertices) {
            bulges = bulges || v.bulge != 0;
            widths = widths || v.startWidth > 0 || v.endWidth > 0;
        }
        const bool extruded = !(e_.extrusion.x == 0 && e_.extrusion.y == 0 && e_.extrusion.z == 1);
        int flags = 0;
        if (extruded) flags |= 1;
        if (e_.thickness != 0) flags |= 2;
        if (p.constantWidth != 0) flags |= 4;
        if (p.elevation != 0) flags |= 8;
        if (bulges) flags |= 16;
        if (widths) flags |= 32;
        if (p.closed) flags |= 512;
        d_.BS(static_cast<std::int16_t>(flags));
        if (flags & 4) d_.BD(p.constantWidth);
        if (flags & 8) d_.BD(p.elevation);
        if (flags & 2) d_.BD(e_.thickness);
        if (flags & 1) d_.BD3(e_.extrusion);
        const auto n = static_cast<std::int32_t>(p.vertices.size());
        d_.BL(n);
        if (bulges) d_.BL(n);
        if (widths) d_.BL(n);
        for (std::size_t i = 0; i < p.vertices.size(); ++i) {
            const Vec3& v = p.vertices[i].position;
            if (i == 0) {
                d_.RD(v.x);
                d_.RD(v.y);
            } else {
                d_.DD(v.x, p.vertices[i - 1].position.x);
                d_.DD(v.y, p.vertices[i - 1].position.y);
            }
            see(v);
        }
        if (bulges) {
            for (const auto& v : p.vertices) d_.BD(v.bulge);
        }
        if (widths) {
            for (const auto& v : p.vertices) {
                d_.BD(std::max(0.0, v.startWidth));
                d_.BD(std::max(0.0, v.endWidth));
            }
        }
    }
    void operator()(const Text& t) {
        const bool aligned = t.hAlign != HAlign::Left || t.vAlign != VAlign::Baseline;
        int flags = 0;
        if (t.insertion.z == 0) flags |= 0x01;
        if (!aligned) flags |= 0x02;
        if (t.oblique == 0) flags |= 0x04;
        if (t.rotation == 0) flags |= 0x08;
        if (t.widthFactor == 1) flags |= 0x10;
        const int generation = (t.mirrorX ? 2 : 0) | (t.mirrorY ? 4 : 0);
        if (generation == 0) flags |= 0x20;
        if (t.hAlign == HAlign::Left) flags |= 0x40;
        if (t.vAlign == VAlign::Baseline) flags |= 0x80;
        d_.RC(static_cast<std::uint8_t>(flags));
        if (!(flags & 0x01)) d_.RD(t.insertion.z);
        d_.RD(t.insertion.x);
        d_.RD(t.insertion.y);
        if (!(flags & 0x02)) {
            d_.DD(t.alignment.x, t.insertion.x);
            d_.DD(t.alignment.y, t.insertion.y);
        }
        d_.BE(e_.extrusion);
        d_.BT(e_.thickness);
        if (!(flags & 0x04)) d_.RD(t.oblique);
        if (!(flags & 0x08)) d_.RD(t.rotation);
        d_.RD(t.height);
        if (!(flags & 0x10)) d_.RD(t.widthFactor);
        d_.T(ctx_.encode(t.value));
        if (!(flags & 0x20)) d_.BS(static_cast<std::int16_t>(generation));
        if (!(flags & 0x40)) d_.BS(static_cast<std::int16_t>(t.hAlign));
        if (!(flags & 0x80)) d_.BS(static_cast<std::int16_t>(t.vAlign));
        h_.H(Ref::HardPointer, ctx_.textStyle(t.style));
        see(t.insertion);
        see({t.insertion.x + t.height * 0.6 * static_cast<double>(t.value.size()),
             t.insertion.y + t.height, t.insertion.z});
    }
    void operator()(const MText& m) {
        d_.BD3(m.insertion);
        d_.BD3(e_.extrusion);
        d_.BD3(m.xAxis);
        d_.BD(m.rectWidth);
        d_.BD(m.height);
        d_.BS(static_cast<std::int16_t>(m.attachment));
        d_.BS(static_cast<std::int16_t>(m.drawingDirection));
        d_.BD(m.height);     // extents height (a reader recomputes it)
        d_.BD(m.rectWidth);  // extents width
        d_.T(ctx_.encode(m.value));
        d_.BS(1);  // line spacing style: at least
        d_.BD(m.lineSpacingFactor);
        d_.B(false);
        h_.H(Ref::HardPointer, ctx_.textStyle(m.style));
        see(m.insertion);
    }
    void operator()(const Insert& ins) {
        d_.BD3(ins.insertion);
        const Vec3& s = ins.scale;
        if (s.x == 1 && s.y == 1 && s.z == 1) {
            d_.BB(3);
        } else if (s.x == 1) {
            d_.BB(1);
            d_.DD(s.y, 1);
            d_.DD(s.z, 1);
        } else if (s.y == s.x && s.z == s.x) {
            d_.BB(2);
            d_.RD(s.x);
        } else {
            d_.BB(0);
            d_.RD(s.x);
            d_.DD(s.y, s.x);
            d_.DD(s.z, s.x);
        }
        d_.BD(ins.rotation);
        d_.BD3(e_.extrusion);
        d_.B(false);  // no attributes
        h_.H(Ref::HardPointer, ctx_.block(ins.block));
        see(ins.insertion);
    }
    void operator()(const Solid& s) {
        d_.BT(e_.thickness);
        d_.BD(s.corners[0].z);
        for (const auto& c : s.corners) {
            d_.RD(c.x);
            d_.RD(c.y);
            see(c);
        }
        d_.BE(e_.extrusion);
    }
    void operator()(const Hatch& hatch) {
        d_.BD(hatch.elevation);
        d_.BD3(e_.extrusion);
        d_.T(ctx_.encode(hatch.solid ? std::string("SOLID") : hatch.patternName));
        d_.B(hatch.solid);
        d_.B(false);  // not associative
        d_.BL(static_cast<std::int32_t>(hatch.loops.size()));
        for (const auto& loop : hatch.loops) writeLoop(loop);
        d_.BS(0);  // style: normal
        d_.BS(1);  // pattern type: predefined
        if (!hatch.solid) {
            d_.BD(hatch.patternAngle);
            d_.BD(hatch.patternScale);
            d_.B(false);  // not double
            d_.BS(static_cast<std::int16_t>(hatch.patternLines.size()));
            for (const auto& pl : hatch.patternLines) {
                d_.BD(pl.angle);
                d_.BD2(pl.base);
                d_.BD2(pl.offset);
                d_.BS(static_cast<std::int16_t>(pl.dashes.size()));
                for (double dash : pl.dashes) d_.BD(dash);
            }
        }
        d_.BL(0);  // seed points
    }
    void operator()(const auto&) {}

private:
    void writeLoop(const HatchLoop& loop) {
        if (loop.isPolyline) {
            d_.BL(2 | 1);  // polyline, external
            bool bulges = false;
            for (const auto& v : loop.polyline) bulges = bulges || v.bulge != 0;
            d_.B(bulges);
            d_.B(loop.closed);
            d_.BL(static_cast<std::int32_t>(loop.polyline.size()));
            for (const auto& v : loop.polyline) {
                d_.RD(v.position.x);
                d_.RD(v.position.y);
                if (bulges) d_.BD(v.bulge);
                see(v.position);
            }
        } else {
            d_.BL(1);  // external
            d_.BL(static_cast<std::int32_t>(loop.edges.size()));
            for (const auto& edge : loop.edges) {
                if (edge.kind == HatchEdge::ArcEdge) {
                    d_.RC(2);
                    d_.RD(edge.center.x);
                    d_.RD(edge.center.y);
                    d_.BD(edge.radius);
                    d_.BD(edge.startAngle);
                    d_.BD(edge.endAngle);
                    d_.B(edge.ccw);
                    seeRadius({edge.center.x, edge.center.y, 0}, edge.radius);
                } else {  // lines; other edge kinds are written as their chord
                    d_.RC(1);
                    d_.RD(edge.p1.x);
                    d_.RD(edge.p1.y);
                    d_.RD(edge.p2.x);
                    d_.RD(edge.p2.y);
                    see({edge.p1.x, edge.p1.y, 0});
                }
            }
        }
        d_.BL(0);  // boundary object handles
    }
    void see(const Vec3& p) {
        if (track_) grow(ctx_.extents, p);
    }
    void seeRadius(const Vec3& c, double r) {
        see({c.x - r, c.y - r, c.z});
        see({c.x + r, c.y + r, c.z});
    }

    WriterContext& ctx_;
    BitWriter& d_;
    BitWriter& h_;
    const Entity& e_;
    bool track_;
};

EntityCommon commonFor(WriterContext& ctx, const Entity& e, const BlockPlan& plan) {
    EntityCommon c;
    c.entmode = plan.entmode;
    c.owner = plan.header;
    c.layer = ctx.layer(e.layer);
    int flags = 0;
    const Handle lt = ctx.lineType(e.lineTypeByBlock ? 0 : e.lineType, &flags);
    c.lineTypeFlags = e.lineTypeByBlock ? 1 : flags;
    c.lineType = lt;
    c.color = (e.color.index >= 0 && e.color.index <= 256) ? e.color.index : Color::ByLayer;
    c.lineTypeScale = e.lineTypeScale;
    c.invisible = e.invisible;
    c.lineWeightIndex = lineWeightIndex(e.lineWeight);
    return c;
}

void writeMarker(WriterContext& ctx, const BlockPlan& plan, int type, Handle self) {
    ObjectWriter o(type, self);
    EntityCommon c;
    c.entmode = plan.entmode;  // the spaces' own markers belong to the space, like entities
    c.owner = plan.header;
    c.layer = fixed::Layer0;
    o.beginEntity(c);
    if (type == 4) o.data().T(ctx.encode(plan.name));
    ctx.add(self, o.finish());
}

void writeBlockHeader(WriterContext& ctx, const BlockPlan& plan) {
    ObjectWriter o(49, plan.header);
    o.beginObject(fixed::BlockControl);
    BitWriter& d = o.data();
    d.T(ctx.encode(plan.name));
    d.B(false);
    d.BS(0);
    d.B(false);
    d.B(!plan.name.empty() && plan.name[0] == '*' && plan.entmode == 0);  // anonymous
    d.B(false);  // has attribute definitions
    d.B(false);  // xref
    d.B(false);  // overlaid
    d.B(false);  // loaded
    d.BD3(plan.source ? plan.source->basePoint : Vec3{});
    d.T("");  // xref path
    d.RC(0);  // no inserts listed
    d.T("");  // description
    d.BL(0);  // no preview
    BitWriter& h = o.handles();
    h.nullHandle(Ref::HardPointer);
    h.H(Ref::HardOwner, plan.blockEntity);
    h.H(Ref::SoftPointer, plan.entities.empty() ? 0 : plan.entities.front());
    h.H(Ref::SoftPointer, plan.entities.empty() ? 0 : plan.entities.back());
    h.H(Ref::HardOwner, plan.endBlock);
    // Only the two spaces have a layout; ordinary blocks have none.
    const bool model = &plan == &ctx.blocks[0], paper = &plan == &ctx.blocks[1];
    h.H(Ref::HardPointer, model ? fixed::LayoutModel : paper ? fixed::LayoutPaper : 0);
    ctx.add(plan.header, o.finish());
}

}  // namespace

void writeBlocks(WriterContext& ctx) {
    for (auto& plan : ctx.blocks) {
        if (!plan.source) continue;
        for (const auto& e : plan.source->entities) {
            if (isWritable(e.geometry)) {
                plan.entities.push_back(ctx.allocate());
            } else {
                ++ctx.skippedEntities;
            }
        }
    }
    for (auto& plan : ctx.blocks) {
        writeMarker(ctx, plan, 4, plan.blockEntity);
        writeMarker(ctx, plan, 5, plan.endBlock);
        writeBlockHeader(ctx, plan);
        if (!plan.source) continue;
        std::size_t k = 0;
        for (const auto& e : plan.source->entities) {
            if (!isWritable(e.geometry)) continue;
            const Handle self = plan.entities[k];
            ObjectWriter o(typeOf(e.geometry), self);
            EntityCommon c = commonFor(ctx, e, plan);
            c.prev = k > 0 ? plan.entities[k - 1] : 0;
            c.next = k + 1 < plan.entities.size() ? plan.entities[k + 1] : 0;
            o.beginEntity(c);
            std::visit(GeometryWriter(ctx, o, e, plan.entmode == 2), e.geometry);
            ctx.add(self, o.finish());
            ++ctx.entities;
            ++k;
        }
    }
}

}  // namespace dwg::writer
