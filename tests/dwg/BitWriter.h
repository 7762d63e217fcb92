#pragma once
// Test helper: writes bit codes MSB first, the way the decoder reads them.
#include <cstdint>
#include <cstring>
#include <vector>

namespace dwgtest {

class BitWriter {
public:
    void bits(std::uint64_t v, unsigned n) {
        for (unsigned i = n; i-- > 0;) bit((v >> i) & 1);
    }
    void bit(unsigned b) {
        if (pos_ % 8 == 0) bytes_.push_back(0);
        if (b) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (pos_ % 8));
        ++pos_;
    }
    void rc(std::uint8_t v) { bits(v, 8); }
    void rs(std::uint16_t v) {
        rc(v & 0xFF);
        rc(v >> 8);
    }
    void rl(std::uint32_t v) {
        rs(v & 0xFFFF);
        rs(v >> 16);
    }
    void rd(double d) {
        std::uint64_t u;
        std::memcpy(&u, &d, 8);
        rl(static_cast<std::uint32_t>(u));
        rl(static_cast<std::uint32_t>(u >> 32));
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t bitCount() const { return pos_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

}  // namespace dwgtest
