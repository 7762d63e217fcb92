// Writing and decoding generated drawings of 10 000, 100 000 and 1 000 000 entities:
// write time, file size and decode time. Run: bench_writer --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include "dwgviewx/dwg/Decoder.h"
#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {

void BM_Write(benchmark::State& state) {
    const auto drawing = dwggen::synthetic(static_cast<std::size_t>(state.range(0)), 1);
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto out = dwg::writer::writeR2000(drawing);
        if (!out) state.SkipWithError(out.error().c_str());
        bytes = out.ok() ? out->size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["entities/s"] = benchmark::Counter(
        static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Decode(benchmark::State& state) {
    auto file = dwg::writer::writeR2000(dwggen::synthetic(static_cast<std::size_t>(state.range(0)), 1));
    if (!file) {
        state.SkipWithError(file.error().c_str());
        return;
    }
    for (auto _ : state) {
        auto d = dwg::readBytes(file.value());
        if (!d) state.SkipWithError(d.error().c_str());
        benchmark::DoNotOptimize(d);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(file->size()));
    state.counters["entities/s"] = benchmark::Counter(
        static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(BM_Write)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Decode)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
