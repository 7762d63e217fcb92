#pragma once
// The service's own view of an HTTP exchange, independent of the HTTP library,
// so that routes are plain functions that tests and fuzzers can drive.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "server/Text.h"

namespace server {

// One file part of a multipart form.
struct Upload {
    std::string name;         // part name (UTF-8)
    std::string filename;     // as the client sent it (the client sends its full local path)
    std::string contentType;  // may be empty
    std::string content;      // bytes unchanged
};

struct Request {
    std::string method;  // "GET" or "POST"
    std::string path;    // percent-decoded path, e.g. "/act/UserMng/UserLogon"
    std::string host;    // the Host header when it is a plain host[:port]; may be empty
    // Form fields (text parts, in order) followed by the query's pairs; names and
    // values are UTF-8 (converted from GBK when they were not UTF-8).
    std::vector<std::pair<std::string, std::string>> fields;
    std::vector<Upload> uploads;

    // The first value whose name matches (letter case ignored); empty when missing.
    std::string value(std::string_view name) const {
        for (const auto& [n, v] : fields) {
            if (text::iequals(n, name)) return v;
        }
        return {};
    }
    bool has(std::string_view name) const {
        for (const auto& f : fields) {
            if (text::iequals(f.first, name)) return true;
        }
        return false;
    }
    // The first file part, or nullptr.
    const Upload* firstUpload() const { return uploads.empty() ? nullptr : &uploads.front(); }
};

struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "text/plain; charset=utf-8";

    // An act/ answer: the text wrapped in one leading and one trailing quote.
    static Reply text(std::string_view answer) { return Reply{200, text::wrap(answer), {}}; }
    static Reply notFound() { return Reply{404, "not found", "text/plain; charset=utf-8"}; }
};

}  // namespace server
