#include "FillBuilder.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "BuildContext.h"
#include "CurveMath.h"

namespace dwgviewx::render {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxPatternLines = 20000;       // family lines per hatch
constexpr std::size_t kMaxPatternPoints = 2'000'000;  // segment end points per hatch
constexpr std::size_t kMaxLoopPoints = 1'000'000;

void appendArc(QPolygonF& ring, QPointF c, double rx, double ry, QPointF majorDir, double a0,
               double a1, bool ccw) {
    if (!ccw) {
        // Clockwise edges store their angles mirrored.
        a0 = -a0;
        a1 = -a1;
        while (a1 > a0) a1 -= 2 * kPi;
    } else {
        while (a1 < a0) a1 += 2 * kPi;
    }
    const int steps =
        std::clamp(static_cast<int>(std::ceil(std::fabs(a1 - a0) / (kPi / 48))), 2, 512);
    const QPointF minorDir(-majorDir.y(), majorDir.x());
    for (int i = 0; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        ring << c + majorDir * (rx * std::cos(a)) + minorDir * (ry * std::sin(a));
    }
}

QPolygonF loopRing(const dwg::HatchLoop& loop) {
    QPolygonF ring;
    if (loop.isPolyline) {
        const auto& v = loop.polyline;
        if (v.empty()) return ring;
        std::vector<QPointF> pts{QPointF(v[0].position.x, v[0].position.y)};
        for (std::size_t i = 0; i < v.size() && pts.size() < kMaxLoopPoints; ++i) {
            if (i + 1 == v.size() && !loop.closed) break;
            const auto& b = v[(i + 1) % v.size()];
            appendBulge(pts, pts.back(), QPointF(b.position.x, b.position.y), v[i].bulge);
        }
        for (const QPointF& p : pts) ring << p;
        return ring;
    }
    for (const dwg::HatchEdge& e : loop.edges) {
        if (static_cast<std::size_t>(ring.size()) > kMaxLoopPoints) break;
        switch (e.kind) {
            case dwg::HatchEdge::LineEdge:
                ring << QPointF(e.p1.x, e.p1.y) << QPointF(e.p2.x, e.p2.y);
                break;
            case dwg::HatchEdge::ArcEdge:
                appendArc(ring, {e.center.x, e.center.y}, e.radius, e.radius, {1, 0}, e.startAngle,
                          e.endAngle, e.ccw);
                break;
            case dwg::HatchEdge::EllipseEdge: {
                const double len = std::hypot(e.majorEnd.x, e.majorEnd.y);
                if (len <= 0) break;
                appendArc(ring, {e.center.x, e.center.y}, len, len * e.ratio,
                          QPointF(e.majorEnd.x, e.majorEnd.y) / len, e.startAngle, e.endAngle,
                          e.ccw);
                break;
            }
            case dwg::HatchEdge::SplineEdge:
                for (const auto& p : evaluateSpline(e.spline)) ring << QPointF(p.x, p.y);
                break;
        }
    }
    return ring;
}

bool sane(const QPolygonF& ring) {
    return std::all_of(ring.begin(), ring.end(), [](const QPointF& p) { return finitePoint(p); });
}

// Pattern family lines clipped to the rings (even-odd), dashed, in hatch plane units.
void patternSegments(const std::vector<QPolygonF>& rings, const dwg::HatchPatternLine& pl,
                     const QRectF& box, std::vector<QPointF>& out) {
    const QPointF d(std::cos(pl.angle), std::sin(pl.angle));
    const QPointF n(-d.y(), d.x());
    const QPointF base(pl.base.x, pl.base.y), off(pl.offset.x, pl.offset.y);
    const double step = QPointF::dotProduct(off, n);
    if (!std::isfinite(step) || std::fabs(step) < 1e-9 * std::max(box.width(), box.height()))
        return;
    double lo = 1e300, hi = -1e300;
    for (QPointF c : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()}) {
        const double s = QPointF::dotProduct(c - base, n);
        lo = std::min(lo, s), hi = std::max(hi, s);
    }
    double k0 = std::ceil(lo / step), k1 = std::floor(hi / step);
    if (k0 > k1) std::swap(k0, k1);
    if (k1 - k0 > static_cast<double>(kMaxPatternLines)) return;
    double dashLen = 0;
    for (double v : pl.dashes) dashLen += std::fabs(v);
    const bool dashed = !pl.dashes.empty() && dashLen > 0 && std::isfinite(dashLen);
    std::vector<double> ts;
    for (double k = k0; k <= k1 && out.size() < kMaxPatternPoints; k += 1) {
        const QPointF q = base + off * k;
        ts.clear();
        for (const QPolygonF& ring : rings) {
            for (qsizetype i = 0; i < ring.size(); ++i) {
                const QPointF a = ring[i], b = ring[(i + 1) % ring.size()];
                const double sa = QPointF::dotProduct(a - q, n), sb = QPointF::dotProduct(b - q, n);
                if ((sa > 0) == (sb > 0)) continue;
                const double f = sa / (sa - sb);
                ts.push_back(QPointF::dotProduct(a + (b - a) * f - q, d));
            }
        }
        std::sort(ts.begin(), ts.end());
        for (std::size_t i = 0; i + 1 < ts.size(); i += 2) {
            const double t0 = ts[i], t1 = ts[i + 1];
            if (!dashed) {
                out.push_back(q + d * t0);
                out.push_back(q + d * t1);
                continue;
            }
            // Walk the dash pattern from the line's origin through [t0, t1].
            double t = std::floor(t0 / dashLen) * dashLen;
            for (std::size_t j = 0; t < t1 && out.size() < kMaxPatternPoints;
                 j = (j + 1) % pl.dashes.size()) {
                const double v = pl.dashes[j];
                const double e = t + std::fabs(v);
                if (v >= 0) {
                    const double s0 = std::max(t, t0), s1 = std::min(v == 0 ? t : e, t1);
                    if (s0 <= s1) {
                        out.push_back(q + d * s0);
                        out.push_back(q + d * (v == 0 ? s0 : s1));
                    }
                }
                t = e;
                if (v == 0 && pl.dashes.size() == 1) break;
            }
        }
    }
}

}  // namespace

void emitHatch(SceneEmitter& out, const dwg::Hatch& h, const Affine3& ocsToWorld,
               const PrimStyle& style) {
    std::vector<QPolygonF> rings;
    QRectF box;
    for (const auto& loop : h.loops) {
        QPolygonF r = loopRing(loop);
        if (r.size() < 3 || !sane(r)) continue;
        box = box.isNull() ? r.boundingRect() : box.united(r.boundingRect());
        rings.push_back(std::move(r));
    }
    if (rings.empty()) return;
    const QTransform toWorld = planeToWorld(ocsToWorld, h.elevation);
    if (h.solid || h.gradientRgb) {
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        for (const QPolygonF& r : rings) {
            path.addPolygon(toWorld.map(r));
            path.closeSubpath();
        }
        PrimStyle st = style;
        if (h.gradientRgb) st.rgb = *h.gradientRgb & 0xFFFFFF, st.contrast = false;
        out.fill(path, st);
        return;
    }
    std::vector<dwg::HatchPatternLine> lines = h.patternLines;
    if (lines.empty()) {
        // No stored definition: the common 45° single-line pattern.
        dwg::HatchPatternLine l;
        const double scale =
            std::isfinite(h.patternScale) && h.patternScale > 0 ? h.patternScale : 1;
        l.angle = kPi / 4 + (std::isfinite(h.patternAngle) ? h.patternAngle : 0);
        const double spacing = 3.175 * scale;
        l.offset = {-std::sin(l.angle) * spacing, std::cos(l.angle) * spacing};
        lines.push_back(l);
    }
    std::vector<QPointF> segs;
    for (const auto& pl : lines) patternSegments(rings, pl, box, segs);
    for (QPointF& p : segs) p = toWorld.map(p);
    PrimStyle st = style;
    st.lineType = -1;  // the pattern carries its own dashes
    out.segments(segs, st);
}

void emitTaperedPolyline(SceneEmitter& out, const dwg::Polyline& pl, const QTransform& toWorld,
                         const PrimStyle& style) {
    const auto& v = pl.vertices;
    const std::size_t n = v.size();
    const std::size_t segs = pl.closed ? n : n - 1;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (std::size_t i = 0; i < segs; ++i) {
        const auto& a = v[i];
        const auto& b = v[(i + 1) % n];
        const double w0 = a.startWidth >= 0 ? a.startWidth : pl.constantWidth;
        const double w1 = a.endWidth >= 0 ? a.endWidth : pl.constantWidth;
        std::vector<QPointF> pts{QPointF(a.position.x, a.position.y)};
        appendBulge(pts, pts[0], QPointF(b.position.x, b.position.y), a.bulge);
        const std::size_t m = pts.size();
        std::vector<QPointF> left, right;
        for (std::size_t j = 0; j < m; ++j) {
            const QPointF p0 = pts[j == 0 ? 0 : j - 1], p1 = pts[j + 1 < m ? j + 1 : j];
            QPointF dir = p1 - p0;
            const double len = std::hypot(dir.x(), dir.y());
            if (len <= 0) continue;
            dir /= len;
            const double w =
                (w0 + (w1 - w0) * static_cast<double>(j) / static_cast<double>(m - 1)) / 2;
            const QPointF nrm(-dir.y() * w, dir.x() * w);
            left.push_back(pts[j] + nrm);
            right.push_back(pts[j] - nrm);
        }
        if (left.size() < 2) continue;
        QPolygonF quad;
        for (const QPointF& p : left) quad << toWorld.map(p);
        for (auto it = right.rbegin(); it != right.rend(); ++it) quad << toWorld.map(*it);
        path.addPolygon(quad);
        path.closeSubpath();
    }
    out.fill(path, style);
}

}  // namespace dwgviewx::render
