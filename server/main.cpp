// orvane-server: the stand-in review service.
//   orvane-server serve [--port 8600] [--data DIR] [--bind 127.0.0.1] [--auto-activate]
//   orvane-server admin --data DIR <command> ...
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <vector>

#include "server/Admin.h"
#include "server/ReviewServer.h"
#include "server/Text.h"

namespace {

constexpr const char* kUsage =
    "usage: orvane-server serve [--port 8600] [--data DIR] [--bind 127.0.0.1] [--auto-activate]\n"
    "       orvane-server admin --data DIR <command> ...   (orvane-server admin for the list)\n";

// The same folder that scripts/run seeds.
std::filesystem::path defaultDataDir() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return std::filesystem::path(xdg) / "orvane-demo-service";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".local/share/orvane-demo-service";
}

int serve(const std::vector<std::string>& args) {
    server::ServerOptions options;
    options.port = 8600;
    options.dataDir = defaultDataDir();
    for (size_t i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == "--port" && hasValue) {
            const auto port = server::text::parseInt(args[++i]);
            if (!port || *port < 0 || *port > 65535) {
                std::cerr << "orvane-server: bad port " << args[i] << "\n";
                return 2;
            }
            options.port = *port;
        } else if (args[i] == "--data" && hasValue) {
            options.dataDir = args[++i];
        } else if (args[i] == "--bind" && hasValue) {
            options.bindAddress = args[++i];
        } else if (args[i] == "--auto-activate") {
            options.autoActivate = true;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    auto logMutex = std::make_shared<std::mutex>();
    options.log = [logMutex](const std::string& line) {
        std::lock_guard<std::mutex> lock(*logMutex);
        std::cerr << server::text::now() << " " << line << std::endl;
    };

    // Wait for a stop signal on this thread; the server's threads never see it.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    try {
        server::ReviewServer srv(options);
        std::cerr << "orvane-server: serving " << options.dataDir.string() << " at "
                  << srv.baseUrl() << std::endl;
        int sig = 0;
        sigwait(&stopSignals, &sig);
        std::cerr << "orvane-server: stopping" << std::endl;
    } catch (const std::exception& e) {
        std::cerr << "orvane-server: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string cmd = args.front();
    args.erase(args.begin());
    if (cmd == "serve") return serve(args);
    if (cmd == "admin") return server::admin::run(args);
    std::cerr << kUsage;
    return 2;
}
