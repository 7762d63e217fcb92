#pragma once
// Draws a Scene onto any QPainter (widget, image, printer, PDF, SVG) through a view
// transform. Only primitives the spatial index places in view are visited; pieces
// smaller than a pixel become a dot, tiny text a box. The painter's device size must
// match the transform's viewport. Safe to call from any thread for distinct painters;
// the Scene is only read.
#include <QColor>
#include <QPainter>
#include <optional>
#include <vector>

#include "Scene.h"
#include "ViewTransform.h"

namespace dwgviewx::render {

struct RenderOptions {
    QColor background = Qt::black;
    // Layer states to use instead of the scene's own (same order), or nullptr.
    const std::vector<SceneLayer>* layers = nullptr;
    // Show line weights: nullopt follows the drawing's own setting.
    std::optional<bool> lineWeights;
    double pixelsPerMm = 96.0 / 25.4;  // for line weights
    double thinLinePx = 1.0;           // width of lines without a weight (printers want more)
    bool antialias = true;
};

struct RenderStats {
    std::size_t candidates = 0;  // returned by the spatial index
    std::size_t drawn = 0;       // drawn with full detail
    std::size_t dots = 0;        // drawn as a dot (smaller than a pixel)
    std::size_t boxes = 0;       // text drawn as a box (too small to read)
};

// The contrast colour of a background: white on dark, black on light.
QColor contrastOf(const QColor& background);

RenderStats renderScene(QPainter& painter, const Scene& scene, const ViewTransform& view,
                        const RenderOptions& options);

}  // namespace dwgviewx::render
