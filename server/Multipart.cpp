#include "server/Multipart.h"

#include "server/Text.h"

namespace server::multipart {

namespace {

std::string_view trimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Quoted parameter values: the client's library writes a quote and line breaks
// inside them as %22, %0D and %0A, and nothing else escaped.
std::string unquote(std::string_view v) {
    v = trimView(v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    std::string out;
    for (size_t i = 0; i < v.size(); ++i) {
        const std::string_view rest = v.substr(i);
        if (rest.substr(0, 3) == "%22") {
            out += '"';
            i += 2;
        } else if (rest.substr(0, 3) == "%0D") {
            out += '\r';
            i += 2;
        } else if (rest.substr(0, 3) == "%0A") {
            out += '\n';
            i += 2;
        } else {
            out += v[i];
        }
    }
    return out;
}

// Splits "form-data; name=\"a\"; filename=\"b;c\"" at semicolons outside quotes.
std::vector<std::string_view> splitParams(std::string_view s) {
    std::vector<std::string_view> out;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') quoted = !quoted;
        if (s[i] == ';' && !quoted) {
            out.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(s.substr(start));
    return out;
}

bool readHeaders(std::string_view block, Part& part) {
    bool disposition = false;
    while (!block.empty()) {
        const size_t eol = block.find("\r\n");
        const std::string_view line = block.substr(0, eol);
        block = eol == std::string_view::npos ? std::string_view{} : block.substr(eol + 2);
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos) return false;
        const std::string_view key = trimView(line.substr(0, colon));
        const std::string_view value = trimView(line.substr(colon + 1));
        if (text::iequals(key, "Content-Type")) {
            part.contentType = std::string(value);
        } else if (text::iequals(key, "Content-Disposition")) {
            disposition = true;
            for (std::string_view param : splitParams(value)) {
                param = trimView(param);
                const size_t eq = param.find('=');
                if (eq == std::string_view::npos) continue;
                const std::string_view pkey = trimView(param.substr(0, eq));
                if (text::iequals(pkey, "name")) {
                    part.name = unquote(param.substr(eq + 1));
                } else if (text::iequals(pkey, "filename")) {
                    part.filename = unquote(param.substr(eq + 1));
                    part.hasFilename = true;
                }
            }
        }
    }
    return disposition;
}

}  // namespace

std::optional<std::string> boundaryOf(std::string_view contentType) {
    for (std::string_view param : splitParams(contentType)) {
        param = trimView(param);
        const size_t eq = param.find('=');
        if (eq == std::string_view::npos ||
            !text::iequals(trimView(param.substr(0, eq)), "boundary")) {
            continue;
        }
        std::string b = unquote(param.substr(eq + 1));
        if (b.empty() || b.size() > 200) return std::nullopt;
        return b;
    }
    return std::nullopt;
}

std::optional<std::vector<Part>> parse(std::string_view body, std::string_view boundary) {
    std::vector<Part> parts;
    if (boundary.empty()) return std::nullopt;
    if (text::trim(body).empty()) return parts;
    const std::string delim = "--" + std::string(boundary);
    const std::string next = "\r\n" + delim;
    size_t pos = body.find(delim);
    if (pos == std::string_view::npos) return std::nullopt;
    while (true) {
        size_t p = pos + delim.size();
        if (body.substr(p, 2) == "--") return parts;  // the closing delimiter
        if (body.substr(p, 2) != "\r\n") return std::nullopt;
        p += 2;
        if (parts.size() >= kMaxParts) return std::nullopt;
        Part part;
        size_t contentStart = 0;
        if (body.substr(p, 2) == "\r\n") {
            contentStart = p + 2;  // a part without headers
        } else {
            const size_t headersEnd = body.find("\r\n\r\n", p);
            if (headersEnd == std::string_view::npos) return std::nullopt;
            if (!readHeaders(body.substr(p, headersEnd - p), part)) return std::nullopt;
            contentStart = headersEnd + 4;
        }
        const size_t end = body.find(next, contentStart);
        if (end == std::string_view::npos) return std::nullopt;
        part.content = std::string(body.substr(contentStart, end - contentStart));
        parts.push_back(std::move(part));
        pos = end + 2;
    }
}

}  // namespace server::multipart
