#pragma once
// Reads the raw query part of a request target. The client sends query texts
// unescaped except for what it percent-encodes itself, and Base64 values carry
// "+" and "=", so values are percent-decoded only: "+" stays "+", and a value
// is everything after the first "=" of its pair. Pure and thread-safe.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace server::query {

using Pairs = std::vector<std::pair<std::string, std::string>>;

// "%41" -> "A"; a "%" not followed by two hex digits stays as it is.
std::string percentDecode(std::string_view s);

// Splits a target ("/path?a=1&b=2") or a bare query ("a=1&b=2") into decoded pairs,
// in order. A pair without "=" has an empty value; empty pairs are skipped.
Pairs parse(std::string_view targetOrQuery);

// The path part of a target, percent-decoded.
std::string pathOf(std::string_view target);

}  // namespace server::query
