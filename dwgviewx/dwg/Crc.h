#pragma once
// The 16-bit checksum the R13-R2000 sections and every object carry.
#include <cstddef>
#include <cstdint>

namespace dwg {

// Accumulates over `n` bytes starting from `seed` (0xC0C1 for objects and sections).
std::uint16_t crc16(std::uint16_t seed, const std::uint8_t* p, std::size_t n);

}  // namespace dwg
