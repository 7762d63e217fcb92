// The catalogue answer for libraries of growing size, built in-process: SQLite
// query, data packet and Base64.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>

#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "server/Routes.h"

namespace {

namespace fs = std::filesystem;

// A service with one user whose library holds `entries` folders and drawings.
struct Fixture {
    explicit Fixture(int entries) {
        std::string tmpl = (fs::temp_directory_path() / "orvane-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("no temporary folder");
        dir = tmpl;
        server::ServerOptions options;
        options.dataDir = dir;
        options.fastPasswordHashing = true;
        srv = std::make_unique<server::ReviewServer>(options);
        user = server::admin::createUser(srv->service(), "13800000001", "secret1", "Bench",
                                         "bench@example.com");
        std::string folder;
        for (int i = 0; i < entries; ++i) {
            if (i % 20 == 0) {
                folder = server::admin::addFolder(srv->service(), user, "", "",
                                                  "文件夹" + std::to_string(i));
            } else {
                const fs::path f = dir / "d.dwg";
                if (!fs::exists(f)) {
                    FILE* out = std::fopen(f.c_str(), "wb");
                    std::fputs("AC1015", out);
                    std::fclose(out);
                }
                server::admin::addDrawing(srv->service(), user, "", folder,
                                          "图纸" + std::to_string(i) + ".dwg", f);
            }
        }
    }
    ~Fixture() {
        srv.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
    std::unique_ptr<server::ReviewServer> srv;
    int64_t user = 0;
};

void BM_CatalogueAnswer(benchmark::State& state) {
    Fixture fx(static_cast<int>(state.range(0)));
    server::Request r;
    r.method = "POST";
    r.path = "/act/FileMng/GetFiles";
    r.fields = {{"userId", std::to_string(fx.user)}};
    size_t bytes = 0;
    for (auto _ : state) {
        const server::Reply reply = server::routes::dispatch(fx.srv->service(), r);
        bytes = reply.body.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["answer_bytes"] = static_cast<double>(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CatalogueAnswer)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
