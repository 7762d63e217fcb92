#pragma once
// Filled geometry for the scene builder: hatches (solid fills and pattern lines
// clipped to their boundary loops) and polylines whose width changes along them.
// Single-threaded, bounded output per entity.
#include <QTransform>

#include "../model/Drawing.h"
#include "Affine3.h"
#include "SceneEmitter.h"

namespace dwgviewx::render {

void emitHatch(SceneEmitter& out, const dwg::Hatch& hatch, const Affine3& ocsToWorld,
               const PrimStyle& style);

// A 2D polyline with per-vertex start and end widths as filled quadrilaterals.
// `planeToWorld` maps the polyline's plane to world coordinates.
void emitTaperedPolyline(SceneEmitter& out, const dwg::Polyline& pl, const QTransform& planeToWorld,
                         const PrimStyle& style);

}  // namespace dwgviewx::render
