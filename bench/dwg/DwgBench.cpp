// Decoding speed of every corpus drawing: time, MB/s (bytes_per_second) and entities/s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "dwgviewx/dwg/Decoder.h"

namespace {

namespace fs = std::filesystem;

void decode(benchmark::State& state, std::vector<std::uint8_t> bytes) {
    std::size_t entities = 0;
    for (auto _ : state) {
        auto r = dwg::readBytes(bytes);
        if (!r) {
            state.SkipWithError(r.error().c_str());
            return;
        }
        entities = 0;
        for (const auto& [type, n] : r->report.entitiesByType)
            entities += static_cast<std::size_t>(n);
        benchmark::DoNotOptimize(r->blocks.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["entities/s"] = benchmark::Counter(
        static_cast<double>(entities * state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
    const char* env = std::getenv("ORVANE_SHARED_DIR");
    const fs::path dir = fs::path(env && *env ? env : ORVANE_SHARED_DIR) / "dwg";
    std::vector<fs::path> files;
    if (fs::exists(dir)) {
        for (const auto& e : fs::directory_iterator(dir)) {
            if (e.path().extension() == ".dwg") files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        benchmark::RegisterBenchmark(f.filename().string().c_str(), decode, std::move(bytes))
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
