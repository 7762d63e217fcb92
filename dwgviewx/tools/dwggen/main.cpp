// dwggen: writes the demo drawings, or a synthetic drawing of a given size, as R2000
// DWG files.
//   dwggen --demo DIR
//   dwggen --entities N [--seed S] -o FILE.dwg
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "dwgviewx/tools/dwggen/DemoDrawings.h"
#include "dwgviewx/writer/DwgWriter.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: dwggen --demo DIR\n"
                 "       dwggen --entities N [--seed S] -o FILE.dwg\n");
    return 2;
}

int writeOne(const dwg::Drawing& d, const std::string& path) {
    dwg::writer::WriteStats stats;
    const auto t0 = std::chrono::steady_clock::now();
    const std::string error = dwg::writer::writeR2000File(d, path, &stats);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    if (!error.empty()) {
        std::fprintf(stderr, "dwggen: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s: %d entities, %d objects, %.1f ms\n", path.c_str(), stats.entities,
                stats.objects, ms);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string demoDir, out;
    long long entities = -1;
    unsigned long seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--demo" && more) {
            demoDir = argv[++i];
        } else if (a == "--entities" && more) {
            entities = std::atoll(argv[++i]);
        } else if (a == "--seed" && more) {
            seed = std::strtoul(argv[++i], nullptr, 10);
        } else if (a == "-o" && more) {
            out = argv[++i];
        } else {
            return usage();
        }
    }
    if (!demoDir.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(demoDir, ec);
        for (const auto& demo : dwggen::demoDrawings()) {
            if (int rc = writeOne(demo.drawing,
                                  (std::filesystem::path(demoDir) / demo.fileName).string()))
                return rc;
        }
        return 0;
    }
    if (entities < 0 || out.empty()) return usage();
    return writeOne(
        dwggen::synthetic(static_cast<std::size_t>(entities), static_cast<std::uint32_t>(seed)),
        out);
}
