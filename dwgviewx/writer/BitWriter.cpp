#include "dwgviewx/writer/BitWriter.h"

#include <bit>
#include <cstring>

namespace dwg::writer {

void BitWriter::bits(std::uint64_t value, unsigned n) {
    // Whole runs at a time: the writer puts out hundreds of millions of bits for the
    // largest drawings. The buffer always holds exactly the bytes the bits touch.
    while (n > 0) {
        const unsigned used = static_cast<unsigned>(bits_ & 7);
        if (used == 0) bytes_.push_back(0);
        const unsigned room = 8 - used;
        const unsigned take = n < room ? n : room;
        const auto chunk = static_cast<unsigned>((value >> (n - take)) & ((1u << take) - 1));
        bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (chunk << (room - take)));
        n -= take;
        bits_ += take;
    }
}

void BitWriter::patchBits(std::size_t at, std::uint64_t value, unsigned n) {
    for (unsigned i = n; i-- > 0; ++at) {
        const std::uint8_t mask = static_cast<std::uint8_t>(0x80u >> (at & 7));
        if ((value >> i) & 1) {
            bytes_[at >> 3] |= mask;
        } else {
            bytes_[at >> 3] &= static_cast<std::uint8_t>(~mask);
        }
    }
}

void BitWriter::alignToByte() {
    while (bits_ & 7) bits(0, 1);
}

void BitWriter::RS(std::int16_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    RC(static_cast<std::uint8_t>(u & 0xFF));
    RC(static_cast<std::uint8_t>(u >> 8));
}

void BitWriter::RL(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) RC(static_cast<std::uint8_t>(u >> (8 * i)));
}

void BitWriter::RD(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) RC(static_cast<std::uint8_t>(u >> (8 * i)));
}

void BitWriter::BS(std::int16_t v) {
    if (v == 0) {
        BB(2);
    } else if (v == 256) {
        BB(3);
    } else if (v > 0 && v < 256) {
        BB(1);
        RC(static_cast<std::uint8_t>(v));
    } else {
        BB(0);
        RS(v);
    }
}

void BitWriter::BL(std::int32_t v) {
    if (v == 0) {
        BB(2);
    } else if (v > 0 && v < 256) {
        BB(1);
        RC(static_cast<std::uint8_t>(v));
    } else {
        BB(0);
        RL(v);
    }
}

void BitWriter::BD(double v) {
    // Exact comparisons on purpose: only the exact values have the short codes.
    if (std::bit_cast<std::uint64_t>(v) == std::bit_cast<std::uint64_t>(1.0)) {
        BB(1);
    } else if (std::bit_cast<std::uint64_t>(v) == std::bit_cast<std::uint64_t>(0.0)) {
        BB(2);
    } else {
        BB(0);
        RD(v);
    }
}

void BitWriter::DD(double v, double defaultValue) {
    const auto raw = std::bit_cast<std::uint64_t>(v);
    const auto def = std::bit_cast<std::uint64_t>(defaultValue);
    if (raw == def) {
        BB(0);
    } else if ((raw >> 32) == (def >> 32)) {
        BB(1);  // the low four bytes differ
        for (int i = 0; i < 4; ++i) RC(static_cast<std::uint8_t>(raw >> (8 * i)));
    } else if ((raw >> 48) == (def >> 48)) {
        BB(2);  // bytes 4 and 5, then 0 to 3
        RC(static_cast<std::uint8_t>(raw >> 32));
        RC(static_cast<std::uint8_t>(raw >> 40));
        for (int i = 0; i < 4; ++i) RC(static_cast<std::uint8_t>(raw >> (8 * i)));
    } else {
        BB(3);
        RD(v);
    }
}

void BitWriter::MC(std::uint64_t v) {
    do {
        std::uint8_t b = v & 0x7F;
        v >>= 7;
        if (v) b |= 0x80;
        RC(b);
    } while (v);
}

void BitWriter::MCSigned(std::int64_t v) {
    const bool negative = v < 0;
    std::uint64_t u = negative ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v);
    // Seven bits a byte; the last byte holds six value bits and the sign in 0x40.
    while (u >= 0x40) {
        RC(static_cast<std::uint8_t>((u & 0x7F) | 0x80));
        u >>= 7;
    }
    RC(static_cast<std::uint8_t>(u | (negative ? 0x40 : 0)));
}

void BitWriter::H(Ref code, Handle value) {
    unsigned counter = 0;
    for (Handle v = value; v; v >>= 8) ++counter;
    RC(static_cast<std::uint8_t>((static_cast<unsigned>(code) << 4) | counter));
    for (unsigned i = counter; i-- > 0;) RC(static_cast<std::uint8_t>(value >> (8 * i)));
}

void BitWriter::RD2(const Vec2& v) {
    RD(v.x);
    RD(v.y);
}

void BitWriter::BD2(const Vec2& v) {
    BD(v.x);
    BD(v.y);
}

void BitWriter::BD3(const Vec3& v) {
    BD(v.x);
    BD(v.y);
    BD(v.z);
}

void BitWriter::BE(const Vec3& e) {
    const bool standard = e.x == 0 && e.y == 0 && e.z == 1;
    B(standard);
    if (!standard) BD3(e);
}

void BitWriter::BT(double thickness) {
    const bool zero = thickness == 0;
    B(zero);
    if (!zero) BD(thickness);
}

void BitWriter::T(const std::string& bytes) {
    const std::size_t n = bytes.size() > 0x7FFF ? 0x7FFF : bytes.size();
    BS(static_cast<std::int16_t>(n));
    rawBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), n);
}

void BitWriter::rawBytes(const std::uint8_t* p, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) RC(p[i]);
}

void patchRL(BitWriter& w, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) w.patchBits(at + 8 * i, (value >> (8 * i)) & 0xFF, 8);
}

}  // namespace dwg::writer
