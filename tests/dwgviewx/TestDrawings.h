#pragma once
// Drawings built in code for the renderer and viewer tests, and small pixel helpers.
#include <QImage>
#include <QRect>
#include <functional>

#include "dwgviewx/model/Drawing.h"
#include "dwgviewx/render/Renderer.h"
#include "dwgviewx/render/Scene.h"

namespace testdraw {

constexpr dwg::Handle kLayer0 = 0x10;
constexpr dwg::Handle kModel = 0x1F;

// An empty drawing with layer "0" (colour 7) and model space.
dwg::Drawing emptyDrawing();
dwg::Layer& addLayer(dwg::Drawing& d, dwg::Handle h, const std::string& name, int colour);
dwg::Block& addBlock(dwg::Drawing& d, dwg::Handle h, const std::string& name, dwg::Vec3 base = {});
dwg::Entity& add(dwg::Block& b, dwg::Geometry g, dwg::Handle layer = kLayer0);
dwg::Entity& add(dwg::Drawing& d, dwg::Geometry g, dwg::Handle layer = kLayer0);
dwg::Line line(double x0, double y0, double x1, double y1);

// Renders without antialiasing so that pixel positions are exact.
QImage renderAt(const dwgviewx::render::Scene& s, const dwgviewx::render::ViewTransform& v,
                QColor bg = Qt::black,
                const std::vector<dwgviewx::render::SceneLayer>* layers = nullptr);
// Bounding box of the pixels that differ from `bg`; empty when none.
QRect inkBox(const QImage& img, QColor bg = Qt::black);
// Number of pixels of exactly `colour`.
int countColour(const QImage& img, QColor colour);
// Number of pixels within `tolerance` of `colour` in every channel (antialiased ink).
int countNear(const QImage& img, QColor colour, int tolerance = 90);

}  // namespace testdraw
