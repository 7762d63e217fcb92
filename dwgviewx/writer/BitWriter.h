#pragma once
// Writes the DWG bit codes, most significant bit first, into a growing byte buffer:
// the mirror of dwg::BitReader. Positions are in bits from the start. Not thread-safe.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/model/Drawing.h"

namespace dwg::writer {

// Handle reference codes as the format stores them.
enum class Ref : std::uint8_t {
    SoftOwner = 2,
    HardOwner = 3,
    SoftPointer = 4,
    HardPointer = 5,
};

class BitWriter {
public:
    std::size_t position() const { return bits_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

    void bits(std::uint64_t value, unsigned n);  // up to 64 bits, MSB first
    // Overwrites `n` bits at an earlier position (used to patch sizes).
    void patchBits(std::size_t at, std::uint64_t value, unsigned n);
    void alignToByte();

    void B(bool v) { bits(v ? 1 : 0, 1); }
    void BB(unsigned v) { bits(v & 3, 2); }
    void RC(std::uint8_t v) { bits(v, 8); }
    void RS(std::int16_t v);
    void RL(std::int32_t v);
    void RD(double v);
    void BS(std::int16_t v);
    void BL(std::int32_t v);
    void BD(double v);
    void DD(double v, double defaultValue);
    void MC(std::uint64_t v);
    void MCSigned(std::int64_t v);
    void H(Ref code, Handle value);
    void nullHandle(Ref code) { H(code, 0); }
    void RD2(const Vec2& v);
    void BD2(const Vec2& v);
    void BD3(const Vec3& v);
    void BE(const Vec3& extrusion);
    void BT(double thickness);
    // 8-bit text in the drawing's code page: BS length, then the bytes.
    void T(const std::string& bytes);
    void rawBytes(const std::uint8_t* p, std::size_t n);

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

// Patches a little-endian 32-bit value at a bit position (the RL "end bit" of objects).
void patchRL(BitWriter& w, std::size_t at, std::uint32_t value);

}  // namespace dwg::writer
