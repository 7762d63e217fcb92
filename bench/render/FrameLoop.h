#pragma once
// One frame of a scene, drawn over and over for a benchmark: the whole scene fitted to
// the screen, then zoomed about the centre by `zoom`. Counters name what was visited,
// drawn and reduced to dots in the last frame.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "dwgviewx/render/Renderer.h"

namespace benchrender {

inline void drawFrames(benchmark::State& state, const dwgviewx::render::Scene& scene, QSize screen,
                       double zoom) {
    using namespace dwgviewx;
    render::ViewTransform view(screen, QPointF(), 1);
    view.fit(scene.extents);
    view.zoomAbout(QPointF(screen.width() / 2.0, screen.height() / 2.0), zoom);
    QImage img(screen, QImage::Format_ARGB32_Premultiplied);
    render::RenderStats stats;
    for (auto _ : state) {
        img.fill(Qt::black);
        QPainter p(&img);
        stats = render::renderScene(p, scene, view, render::RenderOptions{});
    }
    state.counters["primitives"] = static_cast<double>(scene.prims.size());
    state.counters["visited"] = static_cast<double>(stats.candidates);
    state.counters["drawn"] = static_cast<double>(stats.drawn);
    state.counters["dots"] = static_cast<double>(stats.dots);
}

}  // namespace benchrender
