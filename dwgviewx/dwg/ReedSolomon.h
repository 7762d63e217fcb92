#pragma once
// Reed-Solomon (255, k) codes over GF(256) as R2007 (AC1021) files use them: byte i of a
// 255-byte block is the coefficient of x^i, the k data bytes come first, and the code's
// roots are alpha^1 .. alpha^(255-k). Plain C++, no Qt.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dwg {

class ReedSolomon {
public:
    static constexpr std::size_t kBlockSize = 255;

    /// `primitive`: the field polynomial including x^8 (e.g. 0x169); `parity`: 255 - k.
    ReedSolomon(unsigned primitive, std::size_t parity);

    /// The code of system pages: k = 239 over x^8+x^6+x^5+x^3+1. Shared, immutable.
    static const ReedSolomon& systemPages();
    /// The code of data pages: k = 251 over x^8+x^4+x^3+x^2+1. Shared, immutable.
    static const ReedSolomon& dataPages();

    std::size_t dataSize() const { return kBlockSize - parity_; }
    std::size_t paritySize() const { return parity_; }

    /// Corrects one 255-byte block in place. Returns the number of bytes corrected (0 for a
    /// clean block) or -1 when the block has more errors than the code can mend, in which
    /// case the block is left unchanged. Const and thread-safe.
    int decode(std::uint8_t* block) const;

    /// Fills bytes k..254 of `block` with the parity of its data bytes 0..k-1.
    void encode(std::uint8_t* block) const;

    struct Stats {
        std::size_t corrected = 0;  // blocks that had errors and were mended
        std::size_t failed = 0;     // blocks with more errors than the code can mend
    };
    /// Decodes `blocks` interleaved blocks (`raw` holds blocks * 255 bytes, byte i of
    /// block j at i * blocks + j) and writes their blocks * k data bytes to `out`.
    /// A block that cannot be mended is passed on as it is.
    Stats decodeInterleaved(const std::uint8_t* raw, std::size_t blocks, std::uint8_t* out) const;

private:
    std::uint8_t mul(std::uint8_t a, std::uint8_t b) const;
    std::uint8_t div(std::uint8_t a, std::uint8_t b) const;
    std::uint8_t power(int exponent) const {
        return exp_[static_cast<std::size_t>(exponent % 255)];
    }

    std::size_t parity_;
    std::array<std::uint8_t, 512> exp_{};
    std::array<int, 256> log_{};
    std::vector<std::uint8_t> generator_;  // coefficient i of x^i, monic, degree parity_
};

}  // namespace dwg
