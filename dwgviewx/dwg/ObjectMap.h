#pragma once
// The object map: every object's handle and where its data starts (a file offset for
// R13-R2000, an offset into the objects section for later versions).
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/model/Drawing.h"

namespace dwg {

struct ObjectLocation {
    Handle handle = 0;
    std::uint64_t offset = 0;
};

// Reads the map's pages until the empty last page. Damaged pages are reported in
// `warnings` and end the map; the locations read before them are kept. The result is
// sorted by handle with duplicates removed (the later entry wins).
std::vector<ObjectLocation> readObjectMap(const std::vector<std::uint8_t>& bytes,
                                          std::vector<std::string>& warnings);

}  // namespace dwg
