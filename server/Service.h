#pragma once
// The review service's state: the SQLite database and the file folder under one
// data folder ("service.db" and "files/"). Shared by the HTTP routes and the admin
// command line. Thread-safe: database work goes through Transaction, files
// through FileStore.
#include <filesystem>
#include <string>
#include <string_view>

#include "server/Database.h"
#include "server/FileStore.h"

namespace server {

struct ServiceOptions {
    std::filesystem::path dataDir;
    // Accounts made by sign-up may log in at once instead of waiting for "activate".
    bool autoActivate = false;
    // The address used in FilePath values when a request carries no usable Host
    // header, e.g. "http://127.0.0.1:8600/".
    std::string publicBase = "http://127.0.0.1:8600/";
    // Tests only: the cheapest Argon2id settings instead of the interactive ones.
    bool fastPasswordHashing = false;
    // Storage allowance of new accounts, in megabytes.
    int quotaMb = 1024;
};

class Service {
public:
    // Creates the data folder, opens the database and creates missing tables.
    // Throws DbError or FileStoreError when the folder cannot be used.
    explicit Service(ServiceOptions options);

    Database& db() { return db_; }
    FileStore& files() { return files_; }
    const ServiceOptions& options() const { return options_; }
    void setPublicBase(std::string base) { options_.publicBase = std::move(base); }

    // The download address of a stored file: base + "File\" + name (the backslash is
    // what the client's local-name rule cuts at). `host` is the request's Host
    // header, or empty to use publicBase.
    std::string fileAddress(std::string_view host, std::string_view storedName) const;

private:
    ServiceOptions options_;
    Database db_;
    FileStore files_;
};

}  // namespace server
