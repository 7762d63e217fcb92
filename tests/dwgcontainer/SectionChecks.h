#pragma once
// What a correctly reassembled section looks like, checked from its own framing: the
// sentinel-framed header and classes sections and the object map's CRC-checked pages.
// Each check returns an empty string when the section is sound, else what is wrong.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/dwg/Sections.h"

namespace containertest {

using Sentinel = std::array<std::uint8_t, 16>;

extern const Sentinel kHeaderSentinel;
extern const Sentinel kClassesSentinel;

/// Start sentinel, 4-byte size, (optionally 4 more bytes), data, 16-bit CRC, then the
/// end sentinel (the complement of the start one).
std::string checkFramedSection(const std::vector<std::uint8_t>& bytes, const Sentinel& start);

/// The object map: big-endian sized pages, each with a CRC, ending with the empty page;
/// every location points inside `objects` at an object whose size fits there.
/// `objectCount` receives the number of map entries.
std::string checkObjectMap(const std::vector<std::uint8_t>& handles,
                           const std::vector<std::uint8_t>& objects, std::size_t* objectCount);

/// Everything above for a whole reassembled file: no warnings, framed header and
/// classes, and an object map of more than `minObjects` entries into the objects.
std::string checkAllSections(const dwg::RawSections& s, std::size_t minObjects);

}  // namespace containertest
