#pragma once
// Standard Base64 (RFC 4648 alphabet, "=" padding) for tabular answers and the
// task texts that the client puts into query strings. Pure and thread-safe.
#include <optional>
#include <string>
#include <string_view>

namespace server::base64 {

// Base64 of `bytes` without line breaks.
std::string encode(std::string_view bytes);

// Decodes `text`, ignoring tab, line feed, carriage return and blank. Nothing when
// the length is not a multiple of four, a character is outside the alphabet, or
// padding appears anywhere but at the end.
std::optional<std::string> decode(std::string_view text);

}  // namespace server::base64
