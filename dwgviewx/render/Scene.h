#pragma once
// A drawing flattened for display: every visible piece of model space (with inserts,
// arrays and dimension blocks expanded) as a primitive in world XY coordinates with
// its colour, layer and line style already resolved, plus a spatial index over the
// primitives' extents. Built once per opened drawing by SceneBuilder, then read-only:
// several threads may render the same Scene at once.
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <string>
#include <vector>

#include "SpatialGrid.h"

namespace dwgviewx::render {

// An elliptical arc: point(t) = c + u cos t + v sin t for t in [t0, t1]. Circles, arcs
// and ellipses under any affine insert transform stay of this form.
struct Conic {
    QPointF c, u, v;
    double t0 = 0, t1 = 0;
};

// A run of text placed by `toWorld`, which maps text space (font em of
// Scene::kTextEm units, x along the baseline, y down as Qt draws text, baseline at 0)
// to world coordinates.
struct TextRun {
    QString text;
    QString family;
    QTransform toWorld;
    QRectF box;  // the run's extent in text space
};

struct Fill {
    QPainterPath path;  // world coordinates, odd-even rule
};

struct DashPattern {
    std::vector<double> elements;  // world units: >0 dash, <0 gap, 0 dot
    double length = 0;             // sum of absolute values
};

struct SceneLayer {
    std::string name;
    std::uint32_t rgb = 0xFFFFFF;
    bool contrast = false;  // colour 7: black or white against the background
    bool on = true;
    bool frozen = false;
};

enum class PrimKind : std::uint8_t {
    Polyline,      // points[first, first+count)
    Segments,      // points[first, first+count) taken in pairs (hatch pattern lines)
    WidePolyline,  // points[...], stroked `width` world units wide
    Conic,         // conics[first]
    Fill,          // fills[first]
    Text,          // texts[first]
    Point,         // points[first]
    InfiniteLine,  // points[first] base, points[first+1] direction; `count` 1 = ray, 2 = both
};

struct Primitive {
    PrimKind kind = PrimKind::Polyline;
    bool closed = false;
    bool contrast = false;         // draw in the background's contrast colour
    std::uint32_t rgb = 0xFFFFFF;  // 0xRRGGBB
    std::uint32_t layer = 0;       // layer whose on/off/frozen state shows or hides it
    std::uint32_t gateLayer = 0;   // outermost insert's layer: frozen there hides it too
    std::int32_t lineType = -1;    // index into Scene::dashes, -1 continuous
    float lineTypeScale = 1;       // world units per pattern unit
    float weightMm = 0;            // line weight, 0 = default thin line
    float width = 0;               // WidePolyline only, world units
    std::uint32_t first = 0, count = 0;
    QRectF bounds;  // world extents
};

struct Scene {
    static constexpr double kTextEm = 64.0;

    std::vector<Primitive> prims;
    std::vector<QPointF> points;
    std::vector<Conic> conics;
    std::vector<Fill> fills;
    std::vector<TextRun> texts;
    std::vector<DashPattern> dashes;
    std::vector<SceneLayer> layers;
    SpatialGrid grid;
    QRectF extents;  // of everything except infinite lines (around the first one when they
                     // are all there is); empty when nothing shows
    int pdmode = 0;
    double pdsize = 0;
    bool lineWeights = false;  // the drawing asks for line weights to be shown
    int skippedEntities = 0;   // kinds the renderer does not draw (3D solids, ...)

    bool empty() const { return prims.empty(); }
};

}  // namespace dwgviewx::render
