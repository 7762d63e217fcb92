#include "Affine3.h"

#include <cmath>

namespace dwgviewx::render {

dwg::Vec3 cross(const dwg::Vec3& a, const dwg::Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double length(const dwg::Vec3& v) {
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

dwg::Vec3 normalized(const dwg::Vec3& v) {
    const double len = length(v);
    if (!(len > 1e-300) || !std::isfinite(len)) return {0, 0, 1};
    return {v.x / len, v.y / len, v.z / len};
}

dwg::Vec3 Affine3::apply(const dwg::Vec3& p) const {
    dwg::Vec3 r = applyLinear(p);
    return {r.x + t[0], r.y + t[1], r.z + t[2]};
}

dwg::Vec3 Affine3::applyLinear(const dwg::Vec3& v) const {
    return {l[0][0] * v.x + l[0][1] * v.y + l[0][2] * v.z,
            l[1][0] * v.x + l[1][1] * v.y + l[1][2] * v.z,
            l[2][0] * v.x + l[2][1] * v.y + l[2][2] * v.z};
}

Affine3 Affine3::operator*(const Affine3& o) const {
    Affine3 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.l[i][j] = l[i][0] * o.l[0][j] + l[i][1] * o.l[1][j] + l[i][2] * o.l[2][j];
        }
        r.t[i] = l[i][0] * o.t[0] + l[i][1] * o.t[1] + l[i][2] * o.t[2] + t[i];
    }
    return r;
}

double Affine3::xyScale() const {
    const double d = std::fabs(det2());
    if (d > 0 && std::isfinite(d)) return std::sqrt(d);
    // Degenerate in XY (e.g. seen edge-on): fall back to the longest column.
    const double a = std::hypot(l[0][0], l[1][0]);
    const double b = std::hypot(l[0][1], l[1][1]);
    return std::isfinite(a + b) ? std::max(a, b) : 1.0;
}

Affine3 Affine3::translation(const dwg::Vec3& v) {
    Affine3 r;
    r.t[0] = v.x, r.t[1] = v.y, r.t[2] = v.z;
    return r;
}

Affine3 Affine3::scaling(const dwg::Vec3& s) {
    Affine3 r;
    r.l[0][0] = s.x, r.l[1][1] = s.y, r.l[2][2] = s.z;
    return r;
}

Affine3 Affine3::rotationZ(double a) {
    Affine3 r;
    const double c = std::cos(a), s = std::sin(a);
    r.l[0][0] = c, r.l[0][1] = -s;
    r.l[1][0] = s, r.l[1][1] = c;
    return r;
}

Affine3 Affine3::ocs(const dwg::Vec3& normal) {
    const dwg::Vec3 n = normalized(normal);
    if (std::fabs(n.x) < 1e-12 && std::fabs(n.y) < 1e-12 && n.z > 0) return {};
    constexpr double limit = 1.0 / 64.0;
    const dwg::Vec3 ax = (std::fabs(n.x) < limit && std::fabs(n.y) < limit)
                             ? normalized(cross({0, 1, 0}, n))
                             : normalized(cross({0, 0, 1}, n));
    const dwg::Vec3 ay = normalized(cross(n, ax));
    Affine3 r;
    // Columns are the OCS axes expressed in world coordinates.
    r.l[0][0] = ax.x, r.l[0][1] = ay.x, r.l[0][2] = n.x;
    r.l[1][0] = ax.y, r.l[1][1] = ay.y, r.l[1][2] = n.y;
    r.l[2][0] = ax.z, r.l[2][1] = ay.z, r.l[2][2] = n.z;
    return r;
}

}  // namespace dwgviewx::render
