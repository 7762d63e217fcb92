#include "SceneBuilder.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "AciColors.h"
#include "BuildContext.h"
#include "CurveMath.h"
#include "FillBuilder.h"
#include "TextLayout.h"

namespace dwgviewx::render {

QTransform planeToWorld(const Affine3& xf, double z) {
    return QTransform(xf.l[0][0], xf.l[1][0], xf.l[0][1], xf.l[1][1], xf.l[0][2] * z + xf.t[0],
                      xf.l[1][2] * z + xf.t[1]);
}

namespace {

constexpr int kMaxInsertDepth = 16;
constexpr long kMaxArrayCells = 100'000;
constexpr long long kMaxEntityVisits = 30'000'000;
constexpr double kTwoPi = 6.283185307179586;

QPointF xy(const dwg::Vec3& v) {
    return {v.x, v.y};
}

class Builder {
public:
    Builder(const dwg::Drawing& d, Scene& s) : d_(d), s_(s), out_(s) {}
    void run();

private:
    void indexTables();
    void walkBlock(const dwg::Block& block, const BuildContext& ctx);
    void entity(const dwg::Entity& e, const BuildContext& ctx);
    PrimStyle styleFor(const dwg::Entity& e, const BuildContext& ctx) const;
    void colourOf(const dwg::Color& c, std::uint32_t layer, const BuildContext& ctx,
                  PrimStyle& st) const;

    void insert(const dwg::Entity& e, const dwg::Insert& ins, const BuildContext& ctx,
                const PrimStyle& st);
    void expandBlock(dwg::Handle block, const Affine3& xf, const dwg::Entity& owner,
                     const BuildContext& ctx, const PrimStyle& st);
    void polyline(const dwg::Entity& e, const dwg::Polyline& pl, const Affine3& xf,
                  const PrimStyle& st);
    void solid(const dwg::Solid& so, const Affine3& xf, const PrimStyle& st);
    void leader(const dwg::Leader& le, const Affine3& xf, const PrimStyle& st);
    void conic(const dwg::Vec3& c, const dwg::Vec3& u, const dwg::Vec3& v, double t0, double t1,
               const Affine3& xf, const PrimStyle& st);
    std::vector<QPointF> project(const std::vector<dwg::Vec3>& pts, const Affine3& xf) const;

    const dwg::Drawing& d_;
    Scene& s_;
    SceneEmitter out_;
    FontResolver fonts_;
    std::unordered_map<dwg::Handle, std::uint32_t> layerIdx_;
    std::unordered_map<dwg::Handle, std::int32_t> lineTypeIdx_;
    std::unordered_map<dwg::Handle, const dwg::Block*> blocks_;
    std::vector<std::int32_t> layerLineType_;
    std::vector<float> layerWeight_;
    std::uint32_t layerZero_ = 0;
    dwg::Handle byLayerLineType_ = ~dwg::Handle{0}, byBlockLineType_ = ~dwg::Handle{0};
    long long visits_ = 0;
    double arrowSize_ = 2.5;
};

void Builder::indexTables() {
    for (const dwg::LineType& lt : d_.lineTypes) {
        if (lt.name == "BYLAYER" || lt.name == "ByLayer") byLayerLineType_ = lt.handle;
        if (lt.name == "BYBLOCK" || lt.name == "ByBlock") byBlockLineType_ = lt.handle;
        double len = 0;
        bool anyGap = false, sane = lt.dashes.size() <= 64;
        for (double v : lt.dashes) {
            sane = sane && std::isfinite(v);
            len += std::fabs(v);
            anyGap = anyGap || v < 0;
        }
        if (!sane || !anyGap || !(len > 0) || !std::isfinite(len)) continue;  // continuous
        lineTypeIdx_[lt.handle] = static_cast<std::int32_t>(s_.dashes.size());
        s_.dashes.push_back({lt.dashes, len});
    }
    for (const dwg::Layer& l : d_.layers) {
        SceneLayer sl;
        sl.name = l.name;
        if (l.color.rgb) {
            sl.rgb = *l.color.rgb & 0xFFFFFF;
        } else {
            const int idx = std::abs(l.color.index);
            sl.contrast = idx == 7 || idx < 1 || idx > 255;
            sl.rgb = aciToRgb(idx);
        }
        sl.on = !l.off;
        sl.frozen = l.frozen;
        layerIdx_[l.handle] = static_cast<std::uint32_t>(s_.layers.size());
        if (l.name == "0") layerZero_ = static_cast<std::uint32_t>(s_.layers.size());
        auto lt = lineTypeIdx_.find(l.lineType);
        layerLineType_.push_back(lt == lineTypeIdx_.end() ? -1 : lt->second);
        layerWeight_.push_back(l.lineWeight >= 0 ? static_cast<float>(l.lineWeight) / 100.f : 0.f);
        s_.layers.push_back(sl);
    }
    if (s_.layers.empty()) {
        // A drawing without a layer table still needs somewhere to hang its entities.
        s_.layers.push_back({"0", 0xFFFFFF, true, true, false});
        layerLineType_.push_back(-1);
        layerWeight_.push_back(0);
    }
    for (const dwg::Block& b : d_.blocks) blocks_[b.handle] = &b;
    if (!d_.dimStyles.empty() && d_.dimStyles[0].arrowSize > 0)
        arrowSize_ = d_.dimStyles[0].arrowSize * std::max(d_.dimStyles[0].scale, 1e-9);
}

void Builder::run() {
    indexTables();
    s_.pdmode = d_.header.pdmode;
    s_.pdsize = d_.header.pdsize;
    s_.lineWeights = d_.header.lwdisplay;
    const dwg::Block* ms = nullptr;
    auto it = blocks_.find(d_.header.modelSpace);
    if (it != blocks_.end()) ms = it->second;
    for (const dwg::Block& b : d_.blocks) {
        if (!ms && b.name.size() == 12 && (b.name == "*Model_Space" || b.name == "*MODEL_SPACE"))
            ms = &b;
    }
    if (ms) {
        BuildContext ctx;
        ctx.layer = ctx.gateLayer = layerZero_;
        ctx.byBlock.contrast = true;
        ctx.path.push_back(ms->handle);
        walkBlock(*ms, ctx);
    }
    out_.finish();
}

void Builder::walkBlock(const dwg::Block& block, const BuildContext& ctx) {
    for (const dwg::Entity& e : block.entities) {
        if (++visits_ > kMaxEntityVisits || !out_.budgetLeft()) return;
        entity(e, ctx);
    }
}

void Builder::colourOf(const dwg::Color& c, std::uint32_t layer, const BuildContext& ctx,
                       PrimStyle& st) const {
    if (c.rgb) {
        st.rgb = *c.rgb & 0xFFFFFF;
        st.contrast = false;
    } else if (c.index == dwg::Color::ByBlock) {
        st.rgb = ctx.byBlock.rgb;
        st.contrast = ctx.byBlock.contrast;
    } else if (c.index == dwg::Color::ByLayer || c.index < 0 || c.index > 256) {
        st.rgb = s_.layers[layer].rgb;
        st.contrast = s_.layers[layer].contrast;
    } else {
        st.rgb = aciToRgb(c.index);
        st.contrast = c.index == 7;
    }
}

PrimStyle Builder::styleFor(const dwg::Entity& e, const BuildContext& ctx) const {
    PrimStyle st;
    auto li = layerIdx_.find(e.layer);
    std::uint32_t layer = li == layerIdx_.end() ? layerZero_ : li->second;
    if (ctx.nested && layer == layerZero_) layer = ctx.layer;  // layer 0 takes the insert's
    st.layer = layer;
    st.gateLayer = ctx.nested ? ctx.gateLayer : layer;
    colourOf(e.color, layer, ctx, st);
    if (e.lineTypeByBlock) {
        st.lineType = ctx.byBlock.lineType;
    } else if (e.lineType == 0) {
        st.lineType = layerLineType_[layer];
    } else {
        // A handle to the BYLAYER or BYBLOCK line type record means the same as the flags.
        auto lt = lineTypeIdx_.find(e.lineType);
        if (e.lineType == byLayerLineType_)
            st.lineType = layerLineType_[layer];
        else if (e.lineType == byBlockLineType_)
            st.lineType = ctx.byBlock.lineType;
        else
            st.lineType = lt == lineTypeIdx_.end() ? -1 : lt->second;
    }
    const double lts =
        (std::isfinite(e.lineTypeScale) && e.lineTypeScale > 0 ? e.lineTypeScale : 1.0) *
        (d_.header.ltscale > 0 ? d_.header.ltscale : 1.0) * ctx.xf.xyScale();
    st.lineTypeScale = static_cast<float>(lts);
    if (e.lineWeight >= 0 && e.lineWeight <= 211)
        st.weightMm = static_cast<float>(e.lineWeight) / 100.f;
    else if (e.lineWeight == dwg::LwByBlock)
        st.weightMm = ctx.byBlock.weightMm;
    else if (e.lineWeight == dwg::LwByLayer)
        st.weightMm = layerWeight_[layer];
    return st;
}

std::vector<QPointF> Builder::project(const std::vector<dwg::Vec3>& pts, const Affine3& xf) const {
    std::vector<QPointF> out;
    out.reserve(pts.size());
    for (const auto& p : pts) out.push_back(xy(xf.apply(p)));
    return out;
}

void Builder::conic(const dwg::Vec3& c, const dwg::Vec3& u, const dwg::Vec3& v, double t0,
                    double t1, const Affine3& xf, const PrimStyle& st) {
    Conic k;
    k.c = xy(xf.apply(c));
    k.u = xy(xf.applyLinear(u));
    k.v = xy(xf.applyLinear(v));
    while (t1 <= t0) t1 += kTwoPi;
    if (t1 - t0 > kTwoPi) t1 = t0 + kTwoPi;
    k.t0 = t0, k.t1 = t1;
    out_.conic(k, st);
}

void Builder::entity(const dwg::Entity& e, const BuildContext& ctx) {
    if (e.invisible) return;
    const PrimStyle st = styleFor(e, ctx);
    const Affine3 ocs = ctx.xf * Affine3::ocs(e.extrusion);
    std::visit(
        [&](const auto& g) {
            using G = std::decay_t<decltype(g)>;
            if constexpr (std::is_same_v<G, dwg::Line>) {
                out_.polyline(project({g.start, g.end}, ctx.xf), false, st);
            } else if constexpr (std::is_same_v<G, dwg::Circle>) {
                if (g.radius > 0)
                    conic(g.center, {g.radius, 0, 0}, {0, g.radius, 0}, 0, kTwoPi, ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::Arc>) {
                if (g.radius > 0)
                    conic(g.center, {g.radius, 0, 0}, {0, g.radius, 0}, g.startAngle, g.endAngle,
                          ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::Ellipse>) {
                const dwg::Vec3 minor = cross(normalized(e.extrusion), g.majorAxis);
                const double r = std::isfinite(g.axisRatio) ? g.axisRatio : 1.0;
                conic(g.center, g.majorAxis, {minor.x * r, minor.y * r, minor.z * r}, g.startParam,
                      g.endParam, ctx.xf, st);
            } else if constexpr (std::is_same_v<G, dwg::Point>) {
                out_.point(xy(ctx.xf.apply(g.position)), st);
            } else if constexpr (std::is_same_v<G, dwg::Polyline>) {
                polyline(e, g, g.is3d ? ctx.xf : ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::Spline>) {
                out_.polyline(project(evaluateSpline(g), ctx.xf), g.closed, st);
            } else if constexpr (std::is_same_v<G, dwg::Text>) {
                if (g.isAttDef && ctx.nested) return;  // definitions show only as values
                emitText(out_, fonts_, d_, g, ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::MText>) {
                emitMText(out_, fonts_, d_, g, ctx.xf, e.extrusion, st);
            } else if constexpr (std::is_same_v<G, dwg::Insert>) {
                insert(e, g, ctx, st);
            } else if constexpr (std::is_same_v<G, dwg::Dimension>) {
                expandBlock(g.block, ctx.xf, e, ctx, st);
            } else if constexpr (std::is_same_v<G, dwg::Hatch>) {
                emitHatch(out_, g, ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::Solid>) {
                solid(g, g.is3dFace ? ctx.xf : ocs, st);
            } else if constexpr (std::is_same_v<G, dwg::Leader>) {
                leader(g, ctx.xf, st);
            } else if constexpr (std::is_same_v<G, dwg::Ray>) {
                const dwg::Vec3 dir = ctx.xf.applyLinear(g.direction);
                out_.infiniteLine(xy(ctx.xf.apply(g.base)), xy(dir), g.infinite, st);
            } else {
                ++s_.skippedEntities;  // viewports: paper space only
            }
        },
        e.geometry);
}

void Builder::insert(const dwg::Entity& e, const dwg::Insert& ins, const BuildContext& ctx,
                     const PrimStyle& st) {
    const long cols = std::clamp(ins.columns, 1, 100000);
    const long rows = std::clamp(ins.rows, 1, 100000);
    if (cols * rows > kMaxArrayCells) return;
    const Affine3 place = ctx.xf * Affine3::ocs(e.extrusion) * Affine3::translation(ins.insertion) *
                          Affine3::rotationZ(ins.rotation);
    const dwg::Vec3 sc{std::isfinite(ins.scale.x) ? ins.scale.x : 1.0,
                       std::isfinite(ins.scale.y) ? ins.scale.y : 1.0,
                       std::isfinite(ins.scale.z) ? ins.scale.z : 1.0};
    for (long r = 0; r < rows; ++r) {
        for (long c = 0; c < cols; ++c) {
            const Affine3 cell =
                place *
                Affine3::translation({static_cast<double>(c) * ins.columnSpacing,
                                      static_cast<double>(r) * ins.rowSpacing, 0}) *
                Affine3::scaling(sc);
            expandBlock(ins.block, cell, e, ctx, st);
        }
    }
}

void Builder::expandBlock(dwg::Handle handle, const Affine3& xf, const dwg::Entity& owner,
                          const BuildContext& ctx, const PrimStyle& st) {
    auto it = blocks_.find(handle);
    if (it == blocks_.end() || ctx.path.size() > kMaxInsertDepth) return;
    const dwg::Block& block = *it->second;
    if (std::find(ctx.path.begin(), ctx.path.end(), handle) != ctx.path.end()) return;  // cycle
    BuildContext inner;
    inner.xf =
        xf * Affine3::translation({-block.basePoint.x, -block.basePoint.y, -block.basePoint.z});
    inner.nested = true;
    inner.layer = st.layer;
    inner.gateLayer = ctx.nested ? ctx.gateLayer : st.layer;
    inner.byBlock = st;
    inner.byBlock.lineType = owner.lineTypeByBlock ? ctx.byBlock.lineType : st.lineType;
    inner.path = ctx.path;
    inner.path.push_back(handle);
    walkBlock(block, inner);
}

void Builder::polyline(const dwg::Entity& e, const dwg::Polyline& pl, const Affine3& xf,
                       const PrimStyle& st) {
    (void)e;
    const auto& v = pl.vertices;
    if (v.empty()) return;
    const double z = pl.is3d ? 0 : pl.elevation;
    std::vector<QPointF> local;  // in the polyline's own plane
    local.push_back(xy(v[0].position));
    bool varyingWidth = false;
    const std::size_t n = v.size();
    const std::size_t segs = pl.closed ? n : n - 1;
    for (std::size_t i = 0; i < segs; ++i) {
        const auto& a = v[i];
        const auto& b = v[(i + 1) % n];
        if (pl.is3d) {
            local.push_back(xy(b.position));
        } else {
            appendBulge(local, xy(a.position), xy(b.position), a.bulge);
        }
        if ((a.startWidth >= 0 && a.startWidth != pl.constantWidth) ||
            (a.endWidth >= 0 && a.endWidth != pl.constantWidth))
            varyingWidth = true;
    }
    if (pl.is3d) {
        std::vector<dwg::Vec3> pts;
        for (const auto& p : v) pts.push_back(p.position);
        if (pl.closed) pts.push_back(v[0].position);
        out_.polyline(project(pts, xf), false, st);
        return;
    }
    const QTransform toWorld = planeToWorld(xf, z);
    std::vector<QPointF> world;
    world.reserve(local.size());
    for (const QPointF& p : local) world.push_back(toWorld.map(p));
    if (varyingWidth && n >= 2) {
        emitTaperedPolyline(out_, pl, toWorld, st);
    } else if (pl.constantWidth > 0 && std::isfinite(pl.constantWidth)) {
        out_.widePolyline(world, false, pl.constantWidth * xf.xyScale(), st);
    } else {
        out_.polyline(world, false, st);
    }
}

void Builder::solid(const dwg::Solid& so, const Affine3& xf, const PrimStyle& st) {
    if (so.is3dFace) {
        const dwg::Vec3* c = so.corners;
        for (int i = 0; i < 4; ++i) {
            if (so.invisibleEdges & (1 << i)) continue;
            out_.polyline(project({c[i], c[(i + 1) % 4]}, xf), false, st);
        }
        return;
    }
    // Corners 1, 2, 4, 3 go round the outline; a triangle repeats its third corner.
    QPolygonF poly;
    for (int i : {0, 1, 3, 2}) poly << xy(xf.apply(so.corners[i]));
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addPolygon(poly);
    path.closeSubpath();
    out_.fill(path, st);
}

void Builder::leader(const dwg::Leader& le, const Affine3& xf, const PrimStyle& st) {
    if (le.points.size() < 2) return;
    std::vector<QPointF> pts = project(le.points, xf);
    out_.polyline(pts, false, st);
    if (!le.arrowHead) return;
    const QPointF tip = pts[0], next = pts[1];
    const double len = std::hypot(next.x() - tip.x(), next.y() - tip.y());
    if (len <= 0) return;
    const QPointF dir = (next - tip) / len;
    const QPointF nrm(-dir.y(), dir.x());
    const double size = arrowSize_ * xf.xyScale();
    QPainterPath head;
    head.addPolygon(
        QPolygonF({tip, tip + dir * size + nrm * size / 6, tip + dir * size - nrm * size / 6}));
    head.closeSubpath();
    out_.fill(head, st);
}

}  // namespace

Scene buildScene(const dwg::Drawing& drawing) {
    Scene scene;
    Builder(drawing, scene).run();
    return scene;
}

}  // namespace dwgviewx::render
