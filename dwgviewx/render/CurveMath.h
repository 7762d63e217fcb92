#pragma once
// Curve helpers for the scene builder: polyline bulges and splines turned into
// point runs. Pure functions; thread-safe. Coordinates are whatever the caller's
// space is (block, OCS or world); the functions only interpolate.
#include <QPointF>
#include <vector>

#include "../model/Drawing.h"

namespace dwgviewx::render {

// Appends the points after `a` up to and including `b` of the arc with `bulge`
// (tan of a quarter of the included angle, positive counter-clockwise). A zero
// bulge appends just `b`.
void appendBulge(std::vector<QPointF>& out, QPointF a, QPointF b, double bulge);

// Points along a spline: from its control points and knots (rational when weights
// are given), or through its fit points when it has no control points. Malformed
// knot vectors are replaced by clamped uniform ones. Bounded output size.
std::vector<dwg::Vec3> evaluateSpline(const dwg::Spline& spline);

}  // namespace dwgviewx::render
