#pragma once
// Reads multipart/form-data bodies (RFC 7578) as the desktop client's HTTP
// library writes them. Bounded: malformed input gives nothing, never a crash;
// at most kMaxParts parts. Pure and thread-safe.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace server::multipart {

constexpr size_t kMaxParts = 10000;

struct Part {
    std::string name;
    std::string filename;
    bool hasFilename = false;
    std::string contentType;
    std::string content;
};

// The boundary parameter of a "multipart/form-data; boundary=..." content type.
std::optional<std::string> boundaryOf(std::string_view contentType);

// The parts of `body`; an empty body (or only the closing delimiter) has none.
std::optional<std::vector<Part>> parse(std::string_view body, std::string_view boundary);

}  // namespace server::multipart
