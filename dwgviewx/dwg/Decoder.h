#pragma once
// The public entry points of the DWG decoder. Plain C++20, no Qt. Every function is
// thread-safe (no shared state); the returned drawing owns all its data.
//
// Errors are values: "not a DWG file", "unsupported version AC1021", "file is damaged:
// ...", "cannot open ...". Damage inside a file that still loads (a broken object, a bad
// checksum) is listed in the drawing's report instead.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "dwgviewx/dwg/Result.h"
#include "dwgviewx/dwg/Sections.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

// Limits owned by the decoder: inputs beyond them are refused before anything is
// allocated for them.
struct Limits {
    static constexpr std::uint64_t kMaxFileBytes = 1ull << 30;      // 1 GiB
    static constexpr std::uint64_t kMaxObjectBytes = 256ull << 20;  // one object
    static constexpr std::size_t kMaxReportMessages = 20;
};

// "AC1015" -> Version::R2000; Unknown for anything else.
Version versionFromMagic(std::string_view magic);

// The raw sections of any supported version (the flat layout here, the paged ones
// through their container readers).
Result<RawSections> readSections(std::span<const std::uint8_t> file);

// Decodes a whole drawing from its bytes.
Result<Drawing> readBytes(std::span<const std::uint8_t> file);

// Reads and decodes a file.
Result<Drawing> readFile(const std::string& path);

}  // namespace dwg
