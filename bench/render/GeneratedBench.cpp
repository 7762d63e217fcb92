// Viewer speed on generated drawings of 10 000, 100 000 and 1 000 000 entities at
// 1920 x 1080, offscreen. Each drawing is written with our own writer and read back
// from memory, so the figures need no files:
//   OpenToFirstFrame  decode + scene build + first frame, as TDwgViewX does on open
//                     (counters: the three phases in ms; on Linux the peak resident
//                     memory while opening, file bytes and Qt included, in MB)
//   FrameAtFit        one frame of the whole drawing
//   FrameAt10x        one frame zoomed 10x about the centre
// Targets: first frame under 1 s per 100 000 entities, later frames under 16 ms.
// Run: bench_render_generated --benchmark_min_time=0.5
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

#include "bench/render/FrameLoop.h"
#include "dwgviewx/TDwgViewX.h"
#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/render/Renderer.h"
#include "dwgviewx/render/SceneBuilder.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {

using namespace dwgviewx;
using Clock = std::chrono::steady_clock;

const QSize kScreen(1920, 1080);

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

#if defined(__linux__)
// Restarts the kernel's count of this process's peak resident memory, so the peak can
// be read for the opening alone, without the generator's memory before it.
void resetPeakRss() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

double peakRssMb() {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    double kb = 0;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "VmHWM: %lf kB", &kb) == 1) break;
    }
    std::fclose(f);
    return kb / 1024.0;
}
#else
void resetPeakRss() {}
double peakRssMb() {
    return 0;
}
#endif

// The file bytes of the synthetic drawing of `n` entities, made once per size.
const std::vector<std::uint8_t>* generated(std::size_t n, benchmark::State& state) {
    static std::map<std::size_t, std::vector<std::uint8_t>> files;
    auto it = files.find(n);
    if (it == files.end()) {
        auto out = dwg::writer::writeR2000(dwggen::synthetic(n, 1));
        if (!out) {
            state.SkipWithError(out.error().c_str());
            return nullptr;
        }
        it = files.emplace(n, std::move(out.value())).first;
    }
    return &it->second;
}

// The scene of the last size asked for; one at a time keeps memory bounded.
const render::Scene* sceneOf(std::size_t n, benchmark::State& state) {
    static std::size_t cachedSize = 0;
    static std::unique_ptr<render::Scene> cached;
    if (cached && cachedSize == n) return cached.get();
    cached.reset();
    const auto* file = generated(n, state);
    if (!file) return nullptr;
    auto decoded = dwg::readBytes(*file);
    if (!decoded) {
        state.SkipWithError(decoded.error().c_str());
        return nullptr;
    }
    cached = std::make_unique<render::Scene>(render::buildScene(decoded.value()));
    cachedSize = n;
    return cached.get();
}

void openToFirstFrame(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const auto* file = generated(n, state);
    if (!file) return;
    TDwgViewX viewer;
    viewer.resize(kScreen);
    double decodeMs = 0, sceneMs = 0, frameMs = 0;
    resetPeakRss();
    for (auto _ : state) {
        auto t = Clock::now();
        auto decoded = dwg::readBytes(*file);
        if (!decoded) {
            state.SkipWithError(decoded.error().c_str());
            return;
        }
        decodeMs += msSince(t);
        t = Clock::now();
        viewer.showDrawing(decoded.value());
        sceneMs += msSince(t);
        t = Clock::now();
        QImage frame = viewer.renderFrame();
        benchmark::DoNotOptimize(frame.constBits());
        frameMs += msSince(t);
        state.PauseTiming();
        decoded = dwg::Result<dwg::Drawing>::failure("released");
        viewer.OpenDrawing(QString());
        state.ResumeTiming();
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["decode_ms"] = decodeMs / iterations;
    state.counters["scene_ms"] = sceneMs / iterations;
    state.counters["frame_ms"] = frameMs / iterations;
    state.counters["file_MB"] = static_cast<double>(file->size()) / 1e6;
    state.counters["peak_RSS_MB"] = peakRssMb();
}

void frameAt(benchmark::State& state, double zoom) {
    const render::Scene* scene = sceneOf(static_cast<std::size_t>(state.range(0)), state);
    if (!scene) return;
    benchrender::drawFrames(state, *scene, kScreen, zoom);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("OpenToFirstFrame", openToFirstFrame)->Apply(sizes);
    benchmark::RegisterBenchmark("FrameAtFit", [](benchmark::State& s) {
        frameAt(s, 1.0);
    })->Apply(sizes);
    benchmark::RegisterBenchmark("FrameAt10x", [](benchmark::State& s) {
        frameAt(s, 10.0);
    })->Apply(sizes);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
