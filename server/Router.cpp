#include <fstream>
#include <iterator>

#include "server/Routes.h"

namespace server::routes {

namespace {

using Handler = Reply (*)(Service&, const Request&);

struct RouteEntry {
    std::string_view path;
    Handler handler;
};

constexpr RouteEntry kRoutes[] = {
    {"UserMng/UserLogon", userLogon},       {"UserMng/UserRegister", userRegister},
    {"UserMng/GetVersion", getVersion},     {"UserMng/GetMsg", getMsg},
    {"UserMng/FriendsGet", friendsGet},     {"UserMng/FriendsSet", friendsSet},
    {"FileMng/GetFiles", getFiles},         {"FileMng/CommitFile2", commitFile2},
    {"FileMng/UpdateRecord", updateRecord}, {"FileMng/FileMsgGet", fileMsgGet},
    {"FileMng/FileMsgSet", fileMsgSet},     {"FileMng/FileMsgAdd", fileMsgAdd},
};

std::string contentTypeOf(std::string_view name) {
    const std::string ext = text::lowerAscii(FileStore::extensionOf(name));
    if (ext == ".jpg" || ext == ".jpeg") return "image/jpeg";
    if (ext == ".zip") return "application/zip";
    return "application/octet-stream";
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

}  // namespace

Reply serveFile(Service& s, std::string_view name) {
    std::optional<std::filesystem::path> path;
    if (text::iequals(name, "app.zip")) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(s.files().updatePackage(), ec)) {
            path = s.files().updatePackage();
        }
    } else {
        path = s.files().find(name);
    }
    if (!path) return Reply::notFound();
    auto bytes = readFile(*path);
    if (!bytes) return Reply::notFound();
    return Reply{200, std::move(*bytes), contentTypeOf(name)};
}

Reply dispatch(Service& s, const Request& r) {
    constexpr std::string_view act = "/act/";
    constexpr std::string_view file = "/File";
    const std::string_view path = r.path;
    if (path.substr(0, act.size()) == act) {
        const std::string_view name = path.substr(act.size());
        for (const auto& route : kRoutes) {
            if (text::iequals(route.path, name)) return route.handler(s, r);
        }
        return Reply::notFound();
    }
    if (r.method == "GET" && path.size() > file.size() + 1 && path.substr(0, file.size()) == file &&
        (path[file.size()] == '\\' || path[file.size()] == '/')) {
        // Only a plain base name is served; "..", separators and the like are refused.
        return serveFile(s, path.substr(file.size() + 1));
    }
    return Reply::notFound();
}

}  // namespace server::routes
