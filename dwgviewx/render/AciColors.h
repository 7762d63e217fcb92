#pragma once
// The 256-entry colour index table of drawings, derived from its construction rule
// (standard colours, hue groups with value/saturation levels, and a grey ramp).
// Pure functions; thread-safe.
#include <cstdint>

namespace dwgviewx::render {

// 0xRRGGBB of colour index `index` (1..255). Index 7 is returned as white; the
// renderer swaps it for the background's contrast. 0 and 256 (BYBLOCK, BYLAYER)
// and anything out of range give white as well, so a bad index still shows.
std::uint32_t aciToRgb(int index);

}  // namespace dwgviewx::render
