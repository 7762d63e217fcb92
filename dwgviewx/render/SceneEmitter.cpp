#include "SceneEmitter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace dwgviewx::render {
namespace {

// Coordinates beyond this are garbage from a damaged file, not geometry.
constexpr double kMaxCoordinate = 1e15;
constexpr std::size_t kMaxPoints = 40'000'000;
constexpr std::size_t kMaxPrims = 8'000'000;
constexpr double kTwoPi = 6.283185307179586;

QRectF boundsOf(const QPointF* pts, std::size_t n) {
    double x0 = pts[0].x(), x1 = x0, y0 = pts[0].y(), y1 = y0;
    for (const QPointF& p : std::span(pts, n)) {
        x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
    }
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

QRectF boundsOf(const std::vector<QPointF>& pts) {
    return boundsOf(pts.data(), pts.size());
}

bool inAngleRange(double t, double t0, double t1) {
    double rel = std::fmod(t - t0, kTwoPi);
    if (rel < 0) rel += kTwoPi;
    return rel <= (t1 - t0) + 1e-12;
}

QRectF conicBounds(const Conic& c) {
    // The end points and the extreme points in x and y that lie on the arc: at most six,
    // kept on the stack (a scene may hold hundreds of thousands of conics).
    std::array<QPointF, 6> pts;
    std::size_t n = 0;
    auto at = [&](double t) { return c.c + c.u * std::cos(t) + c.v * std::sin(t); };
    pts[n++] = at(c.t0);
    pts[n++] = at(c.t1);
    const double cands[2] = {std::atan2(c.v.x(), c.u.x()), std::atan2(c.v.y(), c.u.y())};
    for (double base : cands) {
        for (double t : {base, base + kTwoPi / 2}) {
            if (c.t1 - c.t0 >= kTwoPi - 1e-12 || inAngleRange(t, c.t0, c.t1)) pts[n++] = at(t);
        }
    }
    return boundsOf(pts.data(), n);
}

}  // namespace

bool finitePoint(QPointF p) {
    return std::isfinite(p.x()) && std::isfinite(p.y()) && std::fabs(p.x()) < kMaxCoordinate &&
           std::fabs(p.y()) < kMaxCoordinate;
}

bool SceneEmitter::budgetLeft() const {
    return scene_.points.size() < kMaxPoints && scene_.prims.size() < kMaxPrims;
}

bool SceneEmitter::appendPoints(const std::vector<QPointF>& pts, Primitive& prim) {
    if (pts.empty() || !budgetLeft()) return false;
    for (const QPointF& p : pts)
        if (!finitePoint(p)) return false;
    prim.first = static_cast<std::uint32_t>(scene_.points.size());
    prim.count = static_cast<std::uint32_t>(pts.size());
    scene_.points.insert(scene_.points.end(), pts.begin(), pts.end());
    return true;
}

void SceneEmitter::push(Primitive prim, const PrimStyle& s, const QRectF& bounds) {
    prim.contrast = s.contrast;
    prim.rgb = s.rgb;
    prim.layer = s.layer;
    prim.gateLayer = s.gateLayer;
    prim.lineType = s.lineType;
    prim.lineTypeScale = s.lineTypeScale;
    prim.weightMm = s.weightMm;
    prim.bounds = bounds;
    scene_.prims.push_back(prim);
}

void SceneEmitter::polyline(const std::vector<QPointF>& pts, bool closed, const PrimStyle& s) {
    if (pts.size() < 2) return;
    Primitive prim;
    prim.kind = PrimKind::Polyline;
    prim.closed = closed;
    if (appendPoints(pts, prim)) push(prim, s, boundsOf(pts));
}

void SceneEmitter::widePolyline(const std::vector<QPointF>& pts, bool closed, double width,
                                const PrimStyle& s) {
    if (pts.size() < 2 || !std::isfinite(width) || width > kMaxCoordinate) return;
    Primitive prim;
    prim.kind = PrimKind::WidePolyline;
    prim.closed = closed;
    prim.width = static_cast<float>(std::fabs(width));
    if (!appendPoints(pts, prim)) return;
    const double h = std::fabs(width) / 2;
    push(prim, s, boundsOf(pts).adjusted(-h, -h, h, h));
}

void SceneEmitter::segments(const std::vector<QPointF>& pairs, const PrimStyle& s) {
    if (pairs.size() < 2) return;
    Primitive prim;
    prim.kind = PrimKind::Segments;
    std::vector<QPointF> even(pairs.begin(), pairs.begin() + static_cast<long>(pairs.size() & ~1u));
    if (appendPoints(even, prim)) push(prim, s, boundsOf(even));
}

void SceneEmitter::conic(const Conic& c, const PrimStyle& s) {
    if (!budgetLeft() || !finitePoint(c.c) || !finitePoint(c.u) || !finitePoint(c.v)) return;
    if (!std::isfinite(c.t0) || !std::isfinite(c.t1) || c.t1 < c.t0) return;
    Conic k = c;
    if (k.t1 - k.t0 > kTwoPi) k.t1 = k.t0 + kTwoPi;
    Primitive prim;
    prim.kind = PrimKind::Conic;
    prim.first = static_cast<std::uint32_t>(scene_.conics.size());
    prim.count = 1;
    scene_.conics.push_back(k);
    push(prim, s, conicBounds(k));
}

void SceneEmitter::fill(const QPainterPath& path, const PrimStyle& s) {
    if (!budgetLeft() || path.isEmpty()) return;
    const QRectF b = path.boundingRect();
    if (!finitePoint(b.topLeft()) || !finitePoint(b.bottomRight())) return;
    Primitive prim;
    prim.kind = PrimKind::Fill;
    prim.first = static_cast<std::uint32_t>(scene_.fills.size());
    prim.count = 1;
    scene_.fills.push_back({path});
    push(prim, s, b);
}

void SceneEmitter::text(TextRun run, const PrimStyle& s) {
    if (!budgetLeft() || run.text.isEmpty() || !run.toWorld.isInvertible()) return;
    const QRectF b = run.toWorld.mapRect(run.box);
    if (!finitePoint(b.topLeft()) || !finitePoint(b.bottomRight())) return;
    Primitive prim;
    prim.kind = PrimKind::Text;
    prim.first = static_cast<std::uint32_t>(scene_.texts.size());
    prim.count = 1;
    scene_.texts.push_back(std::move(run));
    push(prim, s, b);
}

void SceneEmitter::point(QPointF p, const PrimStyle& s) {
    Primitive prim;
    prim.kind = PrimKind::Point;
    if (appendPoints({p}, prim)) push(prim, s, QRectF(p, p));
}

void SceneEmitter::infiniteLine(QPointF base, QPointF dir, bool bothWays, const PrimStyle& s) {
    const double len = std::hypot(dir.x(), dir.y());
    if (!(len > 1e-12) || !finitePoint(base)) return;
    Primitive prim;
    prim.kind = PrimKind::InfiniteLine;
    if (!appendPoints({base, dir / len}, prim)) return;
    prim.count = bothWays ? 2 : 1;
    prim.first = static_cast<std::uint32_t>(scene_.points.size() - 2);
    constexpr double huge = kMaxCoordinate;
    push(prim, s, QRectF(QPointF(-huge, -huge), QPointF(huge, huge)));
}

void SceneEmitter::finish() {
    QRectF ext;
    bool any = false;
    std::vector<QRectF> bounds;
    bounds.reserve(scene_.prims.size());
    for (const Primitive& p : scene_.prims) {
        bounds.push_back(p.bounds);
        if (p.kind == PrimKind::InfiniteLine) continue;
        if (!any) {
            ext = p.bounds;
            any = true;
        } else {
            ext = QRectF(
                QPointF(std::min(ext.left(), p.bounds.left()), std::min(ext.top(), p.bounds.top())),
                QPointF(std::max(ext.right(), p.bounds.right()),
                        std::max(ext.bottom(), p.bounds.bottom())));
        }
    }
    if (!any) {
        // Only construction lines: centre on the first one's base point.
        for (const Primitive& p : scene_.prims) {
            if (p.kind != PrimKind::InfiniteLine) continue;
            const QPointF b = scene_.points[p.first];
            ext = QRectF(b - QPointF(50, 50), QSizeF(100, 100));
            any = true;
            break;
        }
    }
    scene_.extents = any ? ext : QRectF();
    scene_.grid.build(std::move(bounds), any ? ext : QRectF(0, 0, 1, 1));
}

}  // namespace dwgviewx::render
