#pragma once
// The LZ77 variant that compresses the pages of R2004-family files (AC1018, AC1024,
// AC1027, AC1032). Plain C++, no Qt, no allocation, safe on any input.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dwg::lz77 {

struct Result {
    bool ok = false;          // false: the stream is corrupt; `error` says where
    std::size_t written = 0;  // bytes placed in the output (also on failure)
    bool terminated = false;  // the stream ended with its end opcode (0x11)
    std::string error;
};

/// Decompresses `srcSize` bytes at `src` into `dst`, which holds `dstCapacity` bytes.
/// Never reads outside the source nor writes outside `dst`: a back-reference before the
/// start of the output, a length past the end of either buffer or a reserved opcode stops
/// decoding with ok == false, keeping what was decoded so far in dst[0, written).
/// Every step consumes input, so decoding always ends. Thread-safe (no shared state).
Result decompress(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                  std::size_t dstCapacity);

}  // namespace dwg::lz77
