#pragma once
// The stand-in review service, in-process.
//
//   server::ReviewServer srv({.dataDir = tmp});   // binds 127.0.0.1 on a free port
//   std::string base = srv.baseUrl();             // "http://127.0.0.1:<port>/"
//   ... send requests to base + "act/UserMng/UserLogon" ...
//   // the destructor stops the server and joins its thread
//
// Construction opens (creating) the data folder -- "service.db" and "files/" --,
// binds the address, and starts serving on a thread of its own; it throws
// std::runtime_error when the folder cannot be used or the port cannot be bound.
// Seed accounts and content with the functions of server/Admin.h on service().
// Threads: the object itself is used from one thread; requests are served by the
// HTTP library's worker threads.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "server/Service.h"

namespace server {

struct ServerOptions {
    std::filesystem::path dataDir;
    int port = 0;  // 0: a free port, see port()
    std::string bindAddress = "127.0.0.1";
    bool autoActivate = false;  // sign-ups may log in without "activate"
    // Tests only: the cheapest Argon2id settings, so that making accounts is quick.
    bool fastPasswordHashing = false;
    size_t maxBodyBytes = 64u << 20;  // larger requests are refused with 413
    // Called with one line per request (method, path, status, size); may be empty.
    // Runs on worker threads.
    std::function<void(const std::string&)> log;
};

class ReviewServer {
public:
    explicit ReviewServer(ServerOptions options);
    ~ReviewServer();
    ReviewServer(const ReviewServer&) = delete;
    ReviewServer& operator=(const ReviewServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port>/" (or the bind address when it is not a wildcard).
    std::string baseUrl() const;
    Service& service() { return *service_; }

    // Stops serving and joins the thread; also done by the destructor.
    void stop();

private:
    struct Impl;
    std::unique_ptr<Service> service_;
    std::unique_ptr<Impl> impl_;
    int port_ = 0;
    std::string host_;
};

}  // namespace server
