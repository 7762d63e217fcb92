#pragma once
// The LZ77 variant of R2007 (AC1021) files. Plain C++, no Qt, no allocation, safe on
// any input.
#include <cstddef>
#include <cstdint>
#include <string>

namespace dwg::lz2007 {

struct Result {
    bool ok = false;          // false: the stream is corrupt; `error` says where
    std::size_t written = 0;  // bytes placed in the output (also on failure)
    std::string error;
};

/// Decompresses `srcSize` bytes at `src` into `dst` (`dstCapacity` bytes). Literal runs
/// are stored with their bytes reordered in blocks; they come out in their true order.
/// Never reads outside the source nor writes outside `dst`; a back-reference before the
/// start of the output or a length past the end of either buffer stops decoding with
/// ok == false, keeping dst[0, written). Every step consumes input, so decoding ends.
/// Thread-safe (no shared state).
Result decompress(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                  std::size_t dstCapacity);

/// Copies `count` literal bytes from `src` to `dst` in the reordered layout the
/// compressor writes (the inverse is the same permutation read the other way).
void copyLiteral(std::uint8_t* dst, const std::uint8_t* src, std::size_t count);

}  // namespace dwg::lz2007
