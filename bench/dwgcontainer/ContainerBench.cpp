// Reassembling the four sections the decoder needs, per corpus drawing, and the
// decompressors and Reed-Solomon decoder alone. Reports bytes of output per second.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "dwgviewx/dwg/Container2004.h"
#include "dwgviewx/dwg/Container2007.h"
#include "dwgviewx/dwg/ReedSolomon.h"

namespace {

std::vector<std::uint8_t> load(const std::string& name) {
    std::ifstream in(std::string(ORVANE_SHARED_DIR) + "/dwg/" + name, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void readSections(benchmark::State& state, const std::string& name) {
    const auto bytes = load(name);
    if (bytes.size() < 6) {
        state.SkipWithError("the shared DWG corpus is absent");
        return;
    }
    const bool r2007 = std::string(reinterpret_cast<const char*>(bytes.data()), 6) == "AC1021";
    std::size_t out = 0;
    for (auto _ : state) {
        std::string error;
        const dwg::RawSections s = r2007
                                       ? dwg::readSections2007(bytes.data(), bytes.size(), &error)
                                       : dwg::readSections2004(bytes.data(), bytes.size(), &error);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        out = s.header.size() + s.classes.size() + s.handles.size() + s.objects.size();
        benchmark::DoNotOptimize(s.objects.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out));
    state.counters["section_bytes"] = static_cast<double>(out);
}

void ReedSolomonDataBlocks(benchmark::State& state) {
    const auto& code = dwg::ReedSolomon::dataPages();
    std::mt19937 rng(3);
    std::vector<std::uint8_t> raw(64 * 255);
    for (std::size_t j = 0; j < 64; ++j) {
        std::uint8_t block[255];
        for (std::size_t i = 0; i < code.dataSize(); ++i)
            block[i] = static_cast<std::uint8_t>(rng());
        code.encode(block);
        for (std::size_t i = 0; i < 255; ++i) raw[i * 64 + j] = block[i];
    }
    std::vector<std::uint8_t> out(64 * code.dataSize());
    for (auto _ : state) {
        benchmark::DoNotOptimize(code.decodeInterleaved(raw.data(), 64, out.data()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size()));
}

}  // namespace

BENCHMARK_CAPTURE(readSections, zcad_regular_R2004, std::string("zcad_regular.dwg"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readSections, acadsharp_R2013, std::string("acadsharp_sample_AC1027.dwg"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readSections, autodim_R2018, std::string("autodim_test.dwg"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readSections, example_R2007, std::string("example_2007.dwg"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReedSolomonDataBlocks);

BENCHMARK_MAIN();
