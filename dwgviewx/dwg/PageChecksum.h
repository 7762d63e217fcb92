#pragma once
// Checksums of the paged DWG containers: the running-sum checksum of R2004-family pages,
// its R2007 data page variant and the 32-bit CRC of the R2004 file header.
// Plain C++, no Qt; all functions are pure and thread-safe.
#include <cstddef>
#include <cstdint>

namespace dwg::checksum {

/// The R2004 page checksum: two running sums modulo 0xFFF1, seeded with `seed`
/// (low half: first sum, high half: second sum). Feeding data in pieces with the previous
/// result as seed gives the same value as one call over the whole data.
std::uint32_t page2004(std::uint32_t seed, const std::uint8_t* data, std::size_t size);

/// The R2007 data page checksum: the same sums, with the seed stirred by the length first
/// and every 8-byte block taken in the order of its 16-bit halves 6, 4, 2, 0.
std::uint32_t page2007(std::uint64_t seed, const std::uint8_t* data, std::size_t size);

/// The reflected CRC-32 (polynomial 0xEDB88320) with the given seed; seed 0 gives the
/// common CRC-32 value.
std::uint32_t crc32(std::uint32_t seed, const std::uint8_t* data, std::size_t size);

}  // namespace dwg::checksum
