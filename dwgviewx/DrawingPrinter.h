#pragma once
// Prints (or exports) the whole drawing fitted to a page: on white, colour 7 in black,
// with the viewer's layer states, rotation and mark-up. UI thread only.
#include <QPaintDevice>
#include <vector>

#include "Markup.h"
#include "render/Scene.h"

namespace dwgviewx {

struct PrintJob {
    const render::Scene* scene = nullptr;
    const std::vector<render::SceneLayer>* layers = nullptr;  // nullptr: the scene's own
    const std::vector<MarkItem>* marks = nullptr;
    double rotationDeg = 0;
};

// Paints `job` onto `device` (a QPrinter, QPdfWriter, QImage, ...). Returns false
// when there is nothing to print or the device cannot be painted on.
bool printDrawing(QPaintDevice& device, const PrintJob& job);

}  // namespace dwgviewx
