#pragma once
// Text helpers of the review service: UTF-8 checks, GBK conversion, trimming,
// the tokens that comma-split answers may carry, and answer wrapping.
// All functions are pure and thread-safe; texts are byte strings.
#include <optional>
#include <string>
#include <string_view>

namespace server::text {

// True when `s` is well-formed UTF-8 (no overlongs, no surrogates).
bool isUtf8(std::string_view s);

// Converts GBK (GB18030, a superset) bytes to UTF-8; nothing when they do not decode.
std::optional<std::string> gbkToUtf8(std::string_view s);

// UTF-8 of any incoming text: kept when it is UTF-8, converted when it is GBK,
// otherwise every byte that does not decode becomes U+FFFD. Never fails.
std::string normalize(std::string_view s);

// Drops bytes 1..32 (blank and control characters) and NUL at both ends.
std::string trim(std::string_view s);

// A value safe inside an answer that the client cuts at "," and blanks (and, for
// member lists, at "|" and "!"): each such separator or control byte becomes "_".
std::string token(std::string_view s);
// True when `s` is not empty and token(s) == s.
bool isToken(std::string_view s);

// ASCII case-insensitive comparison.
bool iequals(std::string_view a, std::string_view b);
std::string lowerAscii(std::string_view s);

// The local date and time as "yyyy-MM-dd HH:mm:ss".
std::string now();
// True for "yyyy-MM-dd", "yyyy-MM-dd HH:mm" or "yyyy-MM-dd HH:mm:ss" with plausible fields.
bool isDateTime(std::string_view s);

// Every text answer of an act/ endpoint is wrapped in one leading and one trailing quote.
inline std::string wrap(std::string_view body) {
    std::string out;
    out.reserve(body.size() + 2);
    out += '"';
    out += body;
    out += '"';
    return out;
}

// A decimal whole number that fits an int (optional sign, digits only).
std::optional<int> parseInt(std::string_view s);

}  // namespace server::text
