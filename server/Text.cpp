#include "server/Text.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <ctime>

namespace server::text {

namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is malformed.
size_t utf8SequenceLength(std::string_view s, size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    size_t len = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

bool isSeparatorByte(unsigned char c) {
    return c <= 32 || c == ',' || c == '"' || c == '|' || c == '!' || c == 127;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    std::optional<std::string> convert(std::string_view in) {
        std::string out;
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        // GB18030 never needs more than two UTF-8 bytes per input byte.
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - dstLeft);
        return out;
    }

private:
    iconv_t cd_;
};

}  // namespace

bool isUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const size_t len = utf8SequenceLength(s, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::optional<std::string> gbkToUtf8(std::string_view s) {
    Iconv cv("UTF-8", "GB18030");
    if (!cv.ok()) return std::nullopt;
    auto out = cv.convert(s);
    if (!out || !isUtf8(*out)) return std::nullopt;
    return out;
}

std::string normalize(std::string_view s) {
    if (isUtf8(s)) return std::string(s);
    if (auto g = gbkToUtf8(s)) return *g;
    std::string out;
    out.reserve(s.size() + 8);
    for (size_t i = 0; i < s.size();) {
        const size_t len = utf8SequenceLength(s, i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(s.substr(i, len));
            i += len;
        }
    }
    return out;
}

std::string trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
    return std::string(s.substr(b, e - b));
}

std::string token(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (isSeparatorByte(static_cast<unsigned char>(c))) c = '_';
    }
    return out;
}

bool isToken(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (isSeparatorByte(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string now() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

bool isDateTime(std::string_view s) {
    // Pattern positions: yyyy-MM-dd[ HH:mm[:ss]]
    static constexpr std::string_view pattern = "dddd-dd-dd dd:dd:dd";
    if (s.size() != 10 && s.size() != 16 && s.size() != 19) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        const char p = pattern[i];
        if (p == 'd') {
            if (s[i] < '0' || s[i] > '9') return false;
        } else if (s[i] != p) {
            return false;
        }
    }
    auto num = [&](size_t at, size_t n) {
        int v = 0;
        for (size_t i = 0; i < n; ++i) v = v * 10 + (s[at + i] - '0');
        return v;
    };
    const int month = num(5, 2);
    const int day = num(8, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31) return false;
    if (s.size() >= 16 && (num(11, 2) > 23 || num(14, 2) > 59)) return false;
    if (s.size() == 19 && num(17, 2) > 59) return false;
    return true;
}

std::optional<int> parseInt(std::string_view s) {
    if (s.empty()) return std::nullopt;
    size_t start = (s[0] == '-' || s[0] == '+') ? 1 : 0;
    if (start == s.size()) return std::nullopt;
    for (size_t i = start; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
    }
    int v = 0;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), v);
    if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
    return v;
}

}  // namespace server::text
