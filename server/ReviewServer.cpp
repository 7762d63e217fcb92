#include "server/ReviewServer.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "server/Multipart.h"
#include "server/QueryString.h"
#include "server/Routes.h"

namespace server {

namespace {

// The library parses multipart bodies itself before any handler sees them, and
// refuses the empty one; the content type is renamed to this before routing so
// that the raw body reaches our own parser.
constexpr std::string_view kFormData = "multipart/form-data";
constexpr std::string_view kRawMultipart = "application/x-orvane-raw-form-data";

class BadRequest : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A Host header is used in download addresses only when it is a plain host[:port].
std::string plainHost(const std::string& host) {
    if (host.empty() || host.size() > 255) return {};
    for (char c : host) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '.' || c == '-' || c == ':' || c == '[' ||
                        c == ']';
        if (!ok) return {};
    }
    return host;
}

// Form fields and file parts of a POST body. The body is read raw and parsed
// here: the HTTP library refuses the empty multipart body that the client sends
// for an upload without records.
void addBodyFields(const httplib::Request& in, const std::string& body, Request& out) {
    const std::string type = in.get_header_value("Content-Type");
    if (type.rfind(kRawMultipart, 0) == 0) {
        const auto boundary = multipart::boundaryOf(type);
        const auto parts = boundary ? multipart::parse(body, *boundary) : std::nullopt;
        if (!parts) throw BadRequest("malformed multipart body");
        for (const auto& part : *parts) {
            if (!part.hasFilename && part.contentType.empty()) {
                out.fields.emplace_back(text::normalize(part.name), text::normalize(part.content));
            } else {
                out.uploads.push_back(Upload{text::normalize(part.name), part.filename,
                                             part.contentType, part.content});
            }
        }
    } else if (type.rfind("application/x-www-form-urlencoded", 0) == 0) {
        std::string plain = body;
        for (char& c : plain) {
            if (c == '+') c = ' ';
        }
        for (auto& [n, v] : query::parse("?" + plain)) {
            out.fields.emplace_back(text::normalize(n), text::normalize(v));
        }
    }
}

Request toRequest(const httplib::Request& in, const std::string& body) {
    Request out;
    out.method = in.method;
    out.path = in.path;
    out.host = plainHost(in.get_header_value("Host"));
    addBodyFields(in, body, out);
    // Query values are read from the raw target: the library's own parser turns
    // "+" into a blank and cuts values at a second "=", which breaks Base64.
    for (auto& [n, v] : query::parse(in.target)) {
        out.fields.emplace_back(text::normalize(n), text::normalize(v));
    }
    return out;
}

void answer(Service& service, const httplib::Request& req, const std::string& body,
            httplib::Response& res) {
    Reply reply;
    try {
        reply = routes::dispatch(service, toRequest(req, body));
    } catch (const BadRequest& e) {
        reply = Reply{400, e.what(), "text/plain"};
    } catch (const std::exception& e) {
        reply = Reply{500, std::string("internal error: ") + e.what(), "text/plain"};
    }
    res.status = reply.status;
    res.set_content(std::move(reply.body), reply.contentType.c_str());
}

}  // namespace

struct ReviewServer::Impl {
    httplib::Server http;
    std::thread thread;
};

ReviewServer::ReviewServer(ServerOptions options) : impl_(std::make_unique<Impl>()) {
    ServiceOptions so;
    so.dataDir = options.dataDir;
    so.autoActivate = options.autoActivate;
    so.fastPasswordHashing = options.fastPasswordHashing;
    service_ = std::make_unique<Service>(so);

    auto& http = impl_->http;
    http.set_payload_max_length(options.maxBodyBytes);
    // scripts/run recognises its own service on a taken port by this.
    http.set_default_headers({{"Server", "orvane-server"}});
    // Only SO_REUSEADDR: with the library's default SO_REUSEPORT a second server
    // could bind the same port and take half of the connections.
    http.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    http.set_keep_alive_max_count(100);
    http.set_read_timeout(30, 0);
    http.set_write_timeout(30, 0);
    Service* service = service_.get();
    const size_t maxBody = options.maxBodyBytes;
    http.Get(R"(/.*)", [service](const httplib::Request& req, httplib::Response& res) {
        answer(*service, req, {}, res);
    });
    http.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
        // The library passes its own, non-const request object here.
        auto& headers = const_cast<httplib::Request&>(req).headers;
        for (auto& [key, value] : headers) {
            if (text::iequals(key, "Content-Type") && value.rfind(kFormData, 0) == 0) {
                value = std::string(kRawMultipart) + value.substr(kFormData.size());
            }
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // POSTs without a body take the plain route, all others the raw-body route.
    http.Post(R"(/.*)", [service](const httplib::Request& req, httplib::Response& res) {
        answer(*service, req, req.body, res);
    });
    http.Post(R"(/.*)", [service, maxBody](const httplib::Request& req, httplib::Response& res,
                                           const httplib::ContentReader& reader) {
        std::string body;
        bool tooLarge = false;
        const bool complete = reader([&](const char* data, size_t length) {
            if (body.size() + length > maxBody) {
                tooLarge = true;
                return false;
            }
            body.append(data, length);
            return true;
        });
        if (!complete) {
            // The library refuses a declared length over the limit before reading.
            res.status = tooLarge || res.status == 413 ? 413 : 400;
            return;
        }
        answer(*service, req, body, res);
    });
    if (options.log) {
        auto log = options.log;
        http.set_logger([log](const httplib::Request& req, const httplib::Response& res) {
            // The query is left out: it may carry task texts and addresses.
            log(req.remote_addr + " " + req.method + " " + req.path + " " +
                std::to_string(res.status) + " " + std::to_string(res.body.size()) + "B");
        });
    }

    host_ = options.bindAddress;
    if (host_ == "0.0.0.0" || host_ == "::" || host_.empty()) host_ = "127.0.0.1";
    if (options.port == 0) {
        port_ = http.bind_to_any_port(options.bindAddress);
    } else if (http.bind_to_port(options.bindAddress, options.port)) {
        port_ = options.port;
    } else {
        port_ = -1;
    }
    if (port_ <= 0) {
        throw std::runtime_error("cannot listen on " + options.bindAddress + ":" +
                                 std::to_string(options.port));
    }
    service_->setPublicBase(baseUrl());
    impl_->thread = std::thread([this] { impl_->http.listen_after_bind(); });
    // stop() only reaches a server that is already running, so wait for it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!http.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

ReviewServer::~ReviewServer() {
    stop();
}

std::string ReviewServer::baseUrl() const {
    return "http://" + host_ + ":" + std::to_string(port_) + "/";
}

void ReviewServer::stop() {
    if (!impl_ || !impl_->thread.joinable()) return;
    impl_->http.stop();
    impl_->thread.join();
}

}  // namespace server
