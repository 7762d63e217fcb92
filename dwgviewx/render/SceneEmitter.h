#pragma once
// Appends primitives to a Scene while it is being built: checks coordinates, keeps
// a budget so a hostile drawing cannot exhaust memory, and at the end computes the
// extents and the spatial index. Used only by the scene builders; single-threaded.
#include <vector>

#include "Scene.h"

namespace dwgviewx::render {

// Everything about a primitive except its geometry.
struct PrimStyle {
    bool contrast = false;
    std::uint32_t rgb = 0xFFFFFF;
    std::uint32_t layer = 0, gateLayer = 0;
    std::int32_t lineType = -1;
    float lineTypeScale = 1;
    float weightMm = 0;
};

class SceneEmitter {
public:
    explicit SceneEmitter(Scene& scene) : scene_(scene) {}

    void polyline(const std::vector<QPointF>& pts, bool closed, const PrimStyle& style);
    void widePolyline(const std::vector<QPointF>& pts, bool closed, double width,
                      const PrimStyle& style);
    void segments(const std::vector<QPointF>& pairs, const PrimStyle& style);
    void conic(const Conic& c, const PrimStyle& style);
    void fill(const QPainterPath& path, const PrimStyle& style);
    void text(TextRun run, const PrimStyle& style);
    void point(QPointF p, const PrimStyle& style);
    void infiniteLine(QPointF base, QPointF dir, bool bothWays, const PrimStyle& style);

    // False once the scene holds as much as one drawing may produce.
    bool budgetLeft() const;
    // Computes the extents and builds the spatial index; call once at the end.
    void finish();

private:
    bool appendPoints(const std::vector<QPointF>& pts, Primitive& prim);
    void push(Primitive prim, const PrimStyle& style, const QRectF& bounds);

    Scene& scene_;
};

bool finitePoint(QPointF p);

}  // namespace dwgviewx::render
