#pragma once
// The R13/R14/R2000 (AC1012/AC1014/AC1015) file layout: a file header with section
// locators pointing at the header variables, the classes and the object map; objects
// are read straight from the file by the offsets in that map.
#include <cstdint>
#include <span>
#include <string>

#include "dwgviewx/dwg/Result.h"
#include "dwgviewx/dwg/Sections.h"

namespace dwg {

// Copies the three sections out of `file`. Damage that still leaves the sections
// readable (a bad checksum) becomes a warning; anything else an error.
Result<RawSections> readFlatSections(std::span<const std::uint8_t> file, Version version);

}  // namespace dwg
