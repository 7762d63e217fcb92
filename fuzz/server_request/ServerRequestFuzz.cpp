// Arbitrary bytes through the service's parsers and routes. The input is cut at
// NUL bytes: the first piece picks the route, then the pieces go to the
// multipart reader and become form fields, a query and an upload.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "server/Base64.h"
#include "server/Multipart.h"
#include "server/QueryString.h"
#include "server/Routes.h"
#include "server/Service.h"
#include "server/Text.h"

namespace {

constexpr const char* kPaths[] = {
    "/act/UserMng/UserLogon",
    "/act/UserMng/UserRegister",
    "/act/UserMng/GetVersion",
    "/act/UserMng/GetMsg",
    "/act/UserMng/FriendsGet",
    "/act/UserMng/FriendsSet",
    "/act/FileMng/GetFiles",
    "/act/FileMng/CommitFile2",
    "/act/FileMng/UpdateRecord",
    "/act/FileMng/FileMsgGet",
    "/act/FileMng/FileMsgSet",
    "/act/FileMng/FileMsgAdd",
    "/File\\x.dwg",
    "/File/app.zip",
};

server::Service& service() {
    static server::Service* s = [] {
        server::ServiceOptions o;
        o.dataDir = std::filesystem::temp_directory_path() / "orvane-fuzz-server";
        o.fastPasswordHashing = true;
        o.autoActivate = true;
        return new server::Service(o);
    }();
    return *s;
}

std::vector<std::string> pieces(std::string_view in) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= in.size() && out.size() < 64) {
        const size_t nul = in.find('\0', start);
        out.emplace_back(in.substr(start, nul - start));
        if (nul == std::string_view::npos) break;
        start = nul + 1;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    (void)server::base64::decode(in);
    (void)server::text::normalize(in);
    (void)server::text::isDateTime(in);
    (void)server::query::parse(in);
    if (auto b = server::multipart::boundaryOf(in)) (void)server::multipart::parse(in, *b);
    (void)server::multipart::parse(in, "b");

    const auto p = pieces(in);
    server::Request r;
    r.method = "POST";
    r.path = kPaths[(p[0].empty() ? 0 : static_cast<unsigned char>(p[0][0])) %
                    (sizeof kPaths / sizeof kPaths[0])];
    for (size_t i = 1; i + 1 < p.size(); i += 2) {
        r.fields.emplace_back(server::text::normalize(p[i]), server::text::normalize(p[i + 1]));
    }
    if (p.size() > 1) {
        for (auto& [n, v] : server::query::parse("?" + p.back())) r.fields.emplace_back(n, v);
        r.uploads.push_back({"f", p.back(), "text/plain", p.back()});
    }
    try {
        (void)server::routes::dispatch(service(), r);
    } catch (const server::DbError&) {
        // The database refusing (e.g. a full disk) is reported, not a crash.
    }
    return 0;
}
