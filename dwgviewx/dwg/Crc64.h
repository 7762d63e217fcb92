#pragma once
// The two 64-bit CRCs of R2007 (AC1021) files: the "normal" one (ECMA-182 polynomial,
// most significant bit first, inverted at the end) and the "mirrored" one (reflected).
// Both take the bytes of every 8-byte block in the file's peculiar order. Plain C++, no
// Qt; all functions are pure and thread-safe.
#include <cstddef>
#include <cstdint>

namespace dwg::crc64 {

/// The normal CRC over `size` bytes starting from `seed`.
std::uint64_t normal(std::uint64_t seed, const std::uint8_t* data, std::size_t size);

/// The mirrored CRC over `size` bytes starting from `seed`.
std::uint64_t mirrored(std::uint64_t seed, const std::uint8_t* data, std::size_t size);

/// The seed stirrings the file uses before a CRC, given the length of the data.
std::uint64_t updateSeed1(std::uint64_t seed, std::uint64_t length);
std::uint64_t updateSeed2(std::uint64_t seed, std::uint64_t length);

}  // namespace dwg::crc64
