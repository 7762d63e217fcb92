#pragma once
// Little-endian field access for the paged container readers. Every read is checked
// against the buffer it reads from; callers test the returned bool (or the span size)
// before they use a value. Plain C++, no Qt, no allocation.
#include <cstddef>
#include <cstdint>

namespace dwg::container {

/// A read-only view of bytes owned by someone else (usually the whole file image).
struct ByteView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    /// True when [offset, offset + count) lies inside the view, without overflow.
    bool has(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size && count <= size - offset;
    }
};

inline std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t le64(const std::uint8_t* p) {
    return static_cast<std::uint64_t>(le32(p)) | (static_cast<std::uint64_t>(le32(p + 4)) << 32);
}

inline void putLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void putLe64(std::uint8_t* p, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace dwg::container
