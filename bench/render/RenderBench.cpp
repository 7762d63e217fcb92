// Viewer speed on the largest corpus drawings at 1920 x 1080, offscreen:
//   OpenToFirstFrame  TDwgViewX::OpenDrawing (decode and scene) plus the first frame
//   FrameAtFit        one frame of the whole drawing
//   FrameAt10x        one frame zoomed 10x about the centre
// Targets: first frame under 1 s, later frames under 16 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "bench/render/FrameLoop.h"
#include "dwgviewx/TDwgViewX.h"
#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/render/Renderer.h"
#include "dwgviewx/render/SceneBuilder.h"

namespace {

using namespace dwgviewx;

const QSize kScreen(1920, 1080);
const char* const kFiles[] = {"libopencad_24127_circles_128_lines.dwg",
                              "zcad_regular.dwg",
                              "autodim_test.dwg",
                              "acadsharp_sample_AC1015.dwg",
                              "iyatt_test.dwg",
                              "material.dwg"};

QString corpus(const char* name) {
    return QStringLiteral(ORVANE_SHARED_DIR "/dwg/") + QString::fromLatin1(name);
}

void openToFirstFrame(benchmark::State& state, const char* name) {
    TDwgViewX viewer;
    viewer.resize(kScreen);
    for (auto _ : state) {
        viewer.OpenDrawing(corpus(name));
        QImage frame = viewer.renderFrame();
        benchmark::DoNotOptimize(frame.constBits());
        state.PauseTiming();
        viewer.OpenDrawing(QString());
        state.ResumeTiming();
    }
}

void frameAt(benchmark::State& state, const char* name, double zoom) {
    auto decoded = dwg::readFile(corpus(name).toStdString());
    if (!decoded.ok()) {
        state.SkipWithError(decoded.error().c_str());
        return;
    }
    const render::Scene scene = render::buildScene(decoded.value());
    benchrender::drawFrames(state, scene, kScreen, zoom);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (const char* f : kFiles) {
        if (!QFileInfo::exists(corpus(f))) continue;
        benchmark::RegisterBenchmark((std::string("OpenToFirstFrame/") + f).c_str(),
                                     [f](benchmark::State& s) { openToFirstFrame(s, f); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("FrameAtFit/") + f).c_str(),
                                     [f](benchmark::State& s) { frameAt(s, f, 1.0); })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("FrameAt10x/") + f).c_str(),
                                     [f](benchmark::State& s) { frameAt(s, f, 10.0); })
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
