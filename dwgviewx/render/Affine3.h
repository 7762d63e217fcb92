#pragma once
// A 3D affine map (3x3 linear part plus translation) used to carry block and object
// coordinates into world coordinates: insert nesting and the object coordinate
// system of 2D entities. Value type; thread-safe.
#include "../model/Drawing.h"

namespace dwgviewx::render {

struct Affine3 {
    // Row-major linear part and translation: p' = L * p + t.
    double l[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double t[3] = {0, 0, 0};

    dwg::Vec3 apply(const dwg::Vec3& p) const;
    dwg::Vec3 applyLinear(const dwg::Vec3& v) const;
    // this ∘ other: first `other`, then this.
    Affine3 operator*(const Affine3& other) const;
    // Determinant of the linear part restricted to the XY plane (sign gives mirroring).
    double det2() const { return l[0][0] * l[1][1] - l[0][1] * l[1][0]; }
    // Mean length scale in the XY plane, for line type and width scaling.
    double xyScale() const;

    static Affine3 translation(const dwg::Vec3& v);
    static Affine3 scaling(const dwg::Vec3& s);
    static Affine3 rotationZ(double radians);
    // Object coordinate system of `normal` to world, by the arbitrary axis algorithm.
    static Affine3 ocs(const dwg::Vec3& normal);
};

dwg::Vec3 cross(const dwg::Vec3& a, const dwg::Vec3& b);
double length(const dwg::Vec3& v);
dwg::Vec3 normalized(const dwg::Vec3& v);

}  // namespace dwgviewx::render
