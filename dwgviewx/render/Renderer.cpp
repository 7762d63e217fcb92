#include "Renderer.h"

#include <QFont>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <unordered_map>

namespace dwgviewx::render {

QColor contrastOf(const QColor& bg) {
    return bg.lightness() < 128 ? Qt::white : Qt::black;
}

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kChordError = 0.3;  // device pixels
constexpr int kMaxConicSegments = 4096;

class FrameDrawer {
public:
    FrameDrawer(QPainter& p, const Scene& s, const ViewTransform& v, const RenderOptions& o)
        : p_(p), s_(s), view_(v), m_(v.matrix()), o_(o) {
        // With antialiasing, whole device coordinates would put thin lines on pixel
        // edges and smear them over two half-bright rows; aim at pixel centres instead.
        if (o.antialias) m_ *= QTransform::fromTranslate(0.5, 0.5);
        bgRgb_ = o.background.rgb() & 0xFFFFFF;
        contrast_ = contrastOf(o.background);
        showWeights_ = o.lineWeights.value_or(s.lineWeights);
        const auto& layers = o.layers ? *o.layers : s.layers;
        for (const SceneLayer& l : layers) {
            shown_.push_back(l.on && !l.frozen);
            frozen_.push_back(l.frozen);
        }
    }

    RenderStats run();

private:
    bool visible(const Primitive& pr) const {
        return pr.layer < shown_.size() && shown_[pr.layer] &&
               (pr.gateLayer >= frozen_.size() || !frozen_[pr.gateLayer]);
    }
    QColor colourOf(const Primitive& pr) const {
        if (pr.contrast || pr.rgb == bgRgb_) return contrast_;
        return QColor::fromRgb(pr.rgb | 0xFF000000u);
    }
    void setPen(const Primitive& pr, const QColor& c, double widthPx, bool flat);
    void draw(const Primitive& pr, const QColor& c);
    void polyline(const Primitive& pr);
    void conic(const Conic& k, const Primitive& pr);
    void text(const TextRun& t, const QColor& c);
    void point(QPointF world, const QColor& c);
    void infinite(const Primitive& pr);
    // Solid thin lines with the same pen are gathered into one path and stroked at once,
    // which is far cheaper than a call per entity for drawings with many small pieces.
    void stroke(const QPolygonF& poly);
    void flush();

    QPainter& p_;
    const Scene& s_;
    const ViewTransform& view_;
    QTransform m_;
    const RenderOptions& o_;
    std::uint32_t bgRgb_ = 0;
    QColor contrast_;
    bool showWeights_ = false;
    std::vector<bool> shown_, frozen_;
    std::unordered_map<QRgb, std::vector<QPointF>> dots_;
    QPolygonF buf_;
    QPolygonF first_;
    QPainterPath batch_;
    int batchPolylines_ = 0;
    int batchElements_ = 0;
    RenderStats stats_;
    // The pen last set, to skip redundant changes.
    QRgb penRgb_ = 0;
    double penWidth_ = -1;
    std::int32_t penDash_ = -2;
    float penDashScale_ = 0;
    bool penFlat_ = false;
};

void FrameDrawer::setPen(const Primitive& pr, const QColor& c, double widthPx, bool flat) {
    std::int32_t dash = pr.lineType;
    const DashPattern* pat = nullptr;
    if (dash >= 0 && static_cast<std::size_t>(dash) < s_.dashes.size()) {
        pat = &s_.dashes[static_cast<std::size_t>(dash)];
        // Patterns denser than a few pixels read as a solid line and cost a lot to dash.
        if (pat->length * pr.lineTypeScale * view_.scale() < 4.0) pat = nullptr, dash = -1;
    } else {
        dash = -1;
    }
    if (penRgb_ == c.rgba() && penWidth_ == widthPx && penDash_ == dash && penFlat_ == flat &&
        (dash < 0 || penDashScale_ == pr.lineTypeScale))
        return;
    flush();
    penRgb_ = c.rgba(), penWidth_ = widthPx, penDash_ = dash, penFlat_ = flat;
    penDashScale_ = pr.lineTypeScale;
    QPen pen(c, widthPx);
    pen.setCosmetic(true);
    pen.setCapStyle(flat ? Qt::FlatCap : Qt::RoundCap);
    pen.setJoinStyle(flat ? Qt::MiterJoin : Qt::RoundJoin);
    if (pat) {
        // Qt wants alternating dash/gap lengths in pen widths, starting with a dash.
        const double unit = pr.lineTypeScale * view_.scale() / std::max(widthPx, 1.0);
        QList<qreal> q;
        bool wantDash = true;
        double pending = 0;
        for (double e : pat->elements) {
            const bool isDash = e >= 0;
            const double len = e == 0 ? 0.5 : std::max(std::fabs(e) * unit, 0.5);
            if (isDash == wantDash) {
                q << pending + len;
                pending = 0;
                wantDash = !wantDash;
            } else if (!q.isEmpty()) {
                q.back() += len;
            } else {
                pending += len;  // a leading gap joins the last gap
            }
        }
        if (q.size() % 2 == 1)
            q << pending + 0.5;
        else if (pending > 0 && !q.isEmpty())
            q.back() += pending;
        if (q.size() >= 2) pen.setDashPattern(q);
    }
    p_.setPen(pen);
}

void FrameDrawer::polyline(const Primitive& pr) {
    buf_.resize(0);
    const QPointF* pts = s_.points.data() + pr.first;
    for (std::uint32_t i = 0; i < pr.count; ++i) buf_ << m_.map(pts[i]);
    if (pr.closed && pr.count > 2) buf_ << buf_.front();
    stroke(buf_);
}

void FrameDrawer::stroke(const QPolygonF& poly) {
    if (penDash_ >= 0) {
        p_.drawPolyline(poly);  // a dash pattern must start afresh on each entity
        return;
    }
    // The first polyline waits on its own: when the pen changes before a second one
    // comes (neighbours on different layers), it is drawn directly, which costs far
    // less than a path of one.
    if (batchPolylines_ == 0) {
        first_.resize(0);
        first_.append(poly);
    } else {
        if (batchPolylines_ == 1) batch_.addPolygon(first_);
        batch_.addPolygon(poly);
    }
    ++batchPolylines_;
    batchElements_ += static_cast<int>(poly.size());
    if (batchElements_ > 50000) flush();
}

void FrameDrawer::flush() {
    if (batchPolylines_ == 0) return;
    if (batchPolylines_ == 1) {
        p_.drawPolyline(first_);
    } else {
        p_.drawPath(batch_);
        batch_.clear();
    }
    batchPolylines_ = 0;
    batchElements_ = 0;
}

void FrameDrawer::conic(const Conic& k, const Primitive&) {
    const QPointF c = m_.map(k.c);
    const QPointF u = m_.map(k.c + k.u) - c, v = m_.map(k.c + k.v) - c;
    const double r = std::max(std::hypot(u.x(), u.y()), std::hypot(v.x(), v.y()));
    const double span = k.t1 - k.t0;
    double step = r > kChordError ? 2.0 * std::acos(1.0 - kChordError / r) : kTwoPi / 8;
    int n = static_cast<int>(std::ceil(span / std::max(step, 1e-9)));
    n = std::clamp(n, 4, kMaxConicSegments);
    buf_.resize(0);
    for (int i = 0; i <= n; ++i) {
        const double t = k.t0 + span * i / n;
        buf_ << c + u * std::cos(t) + v * std::sin(t);
    }
    stroke(buf_);
}

void FrameDrawer::text(const TextRun& t, const QColor& c) {
    flush();
    const QTransform tm = t.toWorld * m_;
    const double emPx = std::sqrt(std::fabs(tm.determinant())) * Scene::kTextEm;
    if (emPx < 5.0) {
        // Too small to read: a faint box where the text is keeps the page's texture.
        QColor faint = c;
        faint.setAlpha(110);
        p_.setPen(Qt::NoPen);
        p_.setBrush(faint);
        p_.drawPolygon(tm.map(QPolygonF(t.box.adjusted(0, t.box.height() * 0.3, 0, 0))));
        p_.setBrush(Qt::NoBrush);
        penWidth_ = -1;
        ++stats_.boxes;
        return;
    }
    QFont f(t.family);
    f.setPixelSize(static_cast<int>(Scene::kTextEm));
    p_.save();
    p_.setTransform(tm, true);
    p_.setFont(f);
    p_.setPen(c);
    p_.drawText(QPointF(0, 0), t.text);
    p_.restore();
    penWidth_ = -1;
    ++stats_.drawn;
}

void FrameDrawer::point(QPointF world, const QColor& c) {
    flush();
    const QPointF d = m_.map(world);
    const int mode = s_.pdmode;
    double size = s_.pdsize;
    const double vh = view_.viewport().height();
    size = size == 0 ? vh * 0.05 : size < 0 ? vh * (-size) / 100.0 : size * view_.scale();
    size = std::clamp(size, 2.0, 4.0 * vh);
    const double h = size / 2;
    switch (mode & 7) {
        case 0:
            p_.drawPoint(d);
            break;
        case 1:
            break;
        case 2:
            p_.drawLine(d - QPointF(h, 0), d + QPointF(h, 0));
            p_.drawLine(d - QPointF(0, h), d + QPointF(0, h));
            break;
        case 3:
            p_.drawLine(d - QPointF(h, h), d + QPointF(h, h));
            p_.drawLine(d - QPointF(h, -h), d + QPointF(h, -h));
            break;
        case 4:
            p_.drawLine(d, d - QPointF(0, h));
            break;
        default:
            p_.drawPoint(d);
            break;
    }
    if (mode & 32) p_.drawEllipse(d, h, h);
    if (mode & 64) p_.drawRect(QRectF(d - QPointF(h, h), QSizeF(size, size)));
    (void)c;
}

void FrameDrawer::infinite(const Primitive& pr) {
    flush();
    const QPointF base = m_.map(s_.points[pr.first]);
    const QPointF dir = m_.map(s_.points[pr.first] + s_.points[pr.first + 1]) - base;
    const double len = std::hypot(dir.x(), dir.y());
    if (len <= 0) return;
    const QSize vp = view_.viewport();
    const QPointF centre(vp.width() / 2.0, vp.height() / 2.0);
    const double reach = std::hypot(base.x() - centre.x(), base.y() - centre.y()) +
                         std::hypot(vp.width(), vp.height());
    const QPointF unit = dir / len;
    p_.drawLine(pr.count == 2 ? base - unit * reach : base, base + unit * reach);
}

void FrameDrawer::draw(const Primitive& pr, const QColor& c) {
    double w = o_.thinLinePx;
    if (showWeights_ && pr.weightMm > 0) w = std::max(w, pr.weightMm * o_.pixelsPerMm);
    switch (pr.kind) {
        case PrimKind::Polyline:
            setPen(pr, c, w, false);
            polyline(pr);
            break;
        case PrimKind::WidePolyline: {
            const double px = pr.width * view_.scale();
            setPen(pr, c, std::max(px, w), true);
            polyline(pr);
            break;
        }
        case PrimKind::Segments: {
            setPen(pr, c, w, false);
            flush();
            buf_.resize(0);
            for (std::uint32_t i = 0; i < pr.count; ++i) buf_ << m_.map(s_.points[pr.first + i]);
            p_.drawLines(buf_.constData(), static_cast<int>(buf_.size() / 2));
            break;
        }
        case PrimKind::Conic:
            setPen(pr, c, w, false);
            conic(s_.conics[pr.first], pr);
            break;
        case PrimKind::Fill: {
            flush();
            p_.save();
            p_.setTransform(m_, true);
            p_.fillPath(s_.fills[pr.first].path, c);
            p_.restore();
            break;
        }
        case PrimKind::Text:
            text(s_.texts[pr.first], c);
            return;
        case PrimKind::Point:
            setPen(pr, c, std::max(w, 1.5), false);
            point(s_.points[pr.first], c);
            break;
        case PrimKind::InfiniteLine:
            setPen(pr, c, w, false);
            infinite(pr);
            break;
    }
    ++stats_.drawn;
}

RenderStats FrameDrawer::run() {
    p_.setRenderHint(QPainter::Antialiasing, o_.antialias);
    p_.setBrush(Qt::NoBrush);
    const std::vector<std::uint32_t> hits = s_.grid.query(view_.visibleWorld());
    stats_.candidates = hits.size();
    for (std::uint32_t i : hits) {
        const Primitive& pr = s_.prims[i];
        if (!visible(pr)) continue;
        const QColor c = colourOf(pr);
        if (pr.kind != PrimKind::InfiniteLine && pr.kind != PrimKind::Point) {
            const QRectF dev = m_.mapRect(pr.bounds);
            if (dev.width() < 1.0 && dev.height() < 1.0) {
                dots_[c.rgba()].push_back(dev.center());
                ++stats_.dots;
                continue;
            }
        }
        draw(pr, c);
    }
    flush();
    for (auto& [rgba, pts] : dots_) {
        QPen pen(QColor::fromRgba(rgba), 1.0);
        pen.setCosmetic(true);
        p_.setPen(pen);
        p_.drawPoints(pts.data(), static_cast<int>(pts.size()));
    }
    return stats_;
}

}  // namespace

RenderStats renderScene(QPainter& painter, const Scene& scene, const ViewTransform& view,
                        const RenderOptions& options) {
    painter.save();
    RenderStats st = FrameDrawer(painter, scene, view, options).run();
    painter.restore();
    return st;
}

}  // namespace dwgviewx::render
