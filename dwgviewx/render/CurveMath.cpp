#include "CurveMath.h"

#include <algorithm>
#include <cmath>

namespace dwgviewx::render {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kMaxControlPoints = 200000;
constexpr int kMaxDegree = 25;

bool finite(const dwg::Vec3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

std::vector<double> clampedUniformKnots(std::size_t nCtrl, int degree) {
    const std::size_t m = nCtrl + static_cast<std::size_t>(degree) + 1;
    std::vector<double> k(m, 0.0);
    const std::size_t inner = nCtrl - static_cast<std::size_t>(degree);
    for (std::size_t i = 0; i < m; ++i) {
        if (i <= static_cast<std::size_t>(degree)) {
            k[i] = 0;
        } else if (i >= nCtrl) {
            k[i] = static_cast<double>(inner);
        } else {
            k[i] = static_cast<double>(i - static_cast<std::size_t>(degree));
        }
    }
    return k;
}

bool knotsUsable(const std::vector<double>& k, std::size_t nCtrl, int degree) {
    if (k.size() != nCtrl + static_cast<std::size_t>(degree) + 1) return false;
    for (std::size_t i = 0; i < k.size(); ++i) {
        if (!std::isfinite(k[i])) return false;
        if (i > 0 && k[i] < k[i - 1]) return false;
    }
    return k[static_cast<std::size_t>(degree)] < k[nCtrl];
}

// De Boor's algorithm in homogeneous coordinates (w = 1 when not rational).
dwg::Vec3 deBoor(const std::vector<double>& k, const std::vector<dwg::Vec3>& c,
                 const std::vector<double>& w, int p, double u) {
    const std::size_t n = c.size();
    std::size_t s = static_cast<std::size_t>(p);
    while (s + 1 < n && u >= k[s + 1]) ++s;
    struct H {
        double x, y, z, w;
    };
    std::vector<H> d(static_cast<std::size_t>(p) + 1);
    for (int j = 0; j <= p; ++j) {
        const std::size_t i = s - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
        const double wi = w.empty() ? 1.0 : w[i];
        d[static_cast<std::size_t>(j)] = {c[i].x * wi, c[i].y * wi, c[i].z * wi, wi};
    }
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const std::size_t i = s - static_cast<std::size_t>(p) + static_cast<std::size_t>(j);
            const double den = k[i + static_cast<std::size_t>(p - r) + 1] - k[i];
            const double a = den > 0 ? (u - k[i]) / den : 0.0;
            H& cur = d[static_cast<std::size_t>(j)];
            const H& prev = d[static_cast<std::size_t>(j - 1)];
            cur = {(1 - a) * prev.x + a * cur.x, (1 - a) * prev.y + a * cur.y,
                   (1 - a) * prev.z + a * cur.z, (1 - a) * prev.w + a * cur.w};
        }
    }
    const H& r = d[static_cast<std::size_t>(p)];
    const double ww = std::fabs(r.w) > 1e-300 ? r.w : 1.0;
    return {r.x / ww, r.y / ww, r.z / ww};
}

std::vector<dwg::Vec3> throughFitPoints(const std::vector<dwg::Vec3>& f, bool closed) {
    // Catmull-Rom through the fit points: smooth and passes every point.
    std::vector<dwg::Vec3> out;
    const std::size_t n = f.size();
    if (n < 2) return f;
    constexpr int steps = 12;
    const std::size_t segs = closed ? n : n - 1;
    auto at = [&](long i) {
        if (closed) return f[static_cast<std::size_t>((i % static_cast<long>(n) + n) % n)];
        return f[static_cast<std::size_t>(std::clamp(i, 0L, static_cast<long>(n) - 1))];
    };
    out.push_back(f[0]);
    for (std::size_t s = 0; s < segs; ++s) {
        const long i = static_cast<long>(s);
        const dwg::Vec3 p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        for (int k = 1; k <= steps; ++k) {
            const double t = static_cast<double>(k) / steps, t2 = t * t, t3 = t2 * t;
            auto cr = [&](double a, double b, double c, double d) {
                return 0.5 * (2 * b + (-a + c) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                              (-a + 3 * b - 3 * c + d) * t3);
            };
            out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y),
                           cr(p0.z, p1.z, p2.z, p3.z)});
        }
    }
    return out;
}

}  // namespace

void appendBulge(std::vector<QPointF>& out, QPointF a, QPointF b, double bulge) {
    if (!std::isfinite(bulge) || std::fabs(bulge) < 1e-9) {
        out.push_back(b);
        return;
    }
    bulge = std::clamp(bulge, -1e6, 1e6);
    const double theta = 4.0 * std::atan(bulge);  // included angle, signed
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double chord = std::hypot(dx, dy);
    if (chord < 1e-12) {
        out.push_back(b);
        return;
    }
    const double radius = chord / (2.0 * std::sin(std::fabs(theta) / 2.0));
    // Centre: from the chord midpoint along the chord normal.
    const double sagittaToCentre = radius * std::cos(theta / 2.0);
    const double mx = (a.x() + b.x()) / 2, my = (a.y() + b.y()) / 2;
    const double nx = -dy / chord, ny = dx / chord;
    const double sign = theta > 0 ? 1.0 : -1.0;
    const double cx = mx + nx * sagittaToCentre * sign, cy = my + ny * sagittaToCentre * sign;
    const double start = std::atan2(a.y() - cy, a.x() - cx);
    const int steps =
        std::clamp(static_cast<int>(std::ceil(std::fabs(theta) / (kPi / 64))), 2, 256);
    for (int i = 1; i < steps; ++i) {
        const double ang = start + theta * i / steps;
        out.emplace_back(cx + radius * std::cos(ang), cy + radius * std::sin(ang));
    }
    out.push_back(b);
}

std::vector<dwg::Vec3> evaluateSpline(const dwg::Spline& s) {
    const auto& c = s.controlPoints;
    if (c.empty() || c.size() > kMaxControlPoints) {
        if (s.fitPoints.size() > kMaxControlPoints) return {};
        return throughFitPoints(s.fitPoints, s.closed);
    }
    for (const auto& p : c)
        if (!finite(p)) return {};
    int p = std::clamp(s.degree, 1, kMaxDegree);
    if (c.size() <= static_cast<std::size_t>(p)) p = static_cast<int>(c.size()) - 1;
    if (p < 1) return {c.front()};
    const bool rational = s.weights.size() == c.size() &&
                          std::all_of(s.weights.begin(), s.weights.end(),
                                      [](double w) { return std::isfinite(w) && w > 0; });
    const std::vector<double> noWeights;
    const std::vector<double>& w = rational ? s.weights : noWeights;
    std::vector<double> k = s.knots;
    if (!knotsUsable(k, c.size(), p)) k = clampedUniformKnots(c.size(), p);
    const double u0 = k[static_cast<std::size_t>(p)], u1 = k[c.size()];
    const std::size_t samples = std::clamp<std::size_t>(c.size() * 10, 24, 4000);
    std::vector<dwg::Vec3> out;
    out.reserve(samples + 1);
    for (std::size_t i = 0; i <= samples; ++i) {
        const double u = u0 + (u1 - u0) * static_cast<double>(i) / static_cast<double>(samples);
        out.push_back(deBoor(k, c, w, p, std::min(u, u1 - (u1 - u0) * 1e-12)));
    }
    out.back() = deBoor(k, c, w, p, u1 - (u1 - u0) * 1e-12);
    return out;
}

}  // namespace dwgviewx::render
