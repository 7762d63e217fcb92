#include "server/Service.h"

#include <sodium.h>

#include "server/Schema.h"

namespace server {

namespace {

std::filesystem::path prepareDataDir(const std::filesystem::path& dir) {
    if (sodium_init() < 0) throw FileStoreError("libsodium cannot start");
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        throw FileStoreError("cannot create the data folder " + dir.string());
    }
    return dir / "service.db";
}

}  // namespace

Service::Service(ServiceOptions options)
    : options_(std::move(options)),
      db_(prepareDataDir(options_.dataDir).string()),
      files_(options_.dataDir / "files") {
    Transaction tx(db_);
    createSchema(db_);
    tx.commit();
}

std::string Service::fileAddress(std::string_view host, std::string_view storedName) const {
    if (storedName.empty()) return {};
    std::string base = host.empty() ? options_.publicBase : "http://" + std::string(host) + "/";
    return base + "File\\" + std::string(storedName);
}

}  // namespace server
