#include "server/QueryString.h"

namespace server::query {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string percentDecode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            const int hi = hexValue(s[i + 1]);
            const int lo = hexValue(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

Pairs parse(std::string_view targetOrQuery) {
    std::string_view q = targetOrQuery;
    if (const size_t mark = q.find('?'); mark != std::string_view::npos) {
        q = q.substr(mark + 1);
    } else if (!q.empty() && q.front() == '/') {
        return {};
    }
    Pairs out;
    while (!q.empty()) {
        const size_t amp = q.find('&');
        const std::string_view pair = q.substr(0, amp);
        q = amp == std::string_view::npos ? std::string_view{} : q.substr(amp + 1);
        if (pair.empty()) continue;
        const size_t eq = pair.find('=');
        if (eq == std::string_view::npos) {
            out.emplace_back(percentDecode(pair), std::string{});
        } else {
            out.emplace_back(percentDecode(pair.substr(0, eq)), percentDecode(pair.substr(eq + 1)));
        }
    }
    return out;
}

std::string pathOf(std::string_view target) {
    return percentDecode(target.substr(0, target.find('?')));
}

}  // namespace server::query
