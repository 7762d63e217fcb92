#include "Lz77.h"

#include <cstring>

#include "ByteCursor.h"

namespace dwg::lz77 {
namespace {

using Input = ByteCursor;

// Literal run length. A byte with its high nibble set is not a length but the next
// opcode, so it is left in place and the run is empty.
std::uint64_t literalLength(Input& in) {
    if (in.atEnd()) return 0;
    std::uint8_t b = in.p[in.pos];
    if (b & 0xF0) return 0;
    ++in.pos;
    if (b != 0) return b + 3u;
    std::uint64_t total = 0x0F;
    for (;;) {
        b = in.next();
        if (in.bad) return 0;
        if (b != 0) return total + b + 3;
        total += 0xFF;
    }
}

// A length that continues through zero bytes, each worth 0xFF.
std::uint64_t longLength(Input& in) {
    std::uint8_t b = in.next();
    if (b != 0) return b;
    std::uint64_t total = 0xFF;
    for (;;) {
        b = in.next();
        if (in.bad) return 0;
        if (b != 0) return total + b;
        total += 0xFF;
    }
}

struct TwoByteOffset {
    std::uint32_t offset;
    std::uint32_t literals;
};

TwoByteOffset twoByteOffset(Input& in) {
    std::uint8_t first = in.next();
    std::uint8_t second = in.next();
    return {static_cast<std::uint32_t>((first >> 2) | (second << 6)),
            static_cast<std::uint32_t>(first & 0x03)};
}

class Decoder {
public:
    Decoder(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst, std::size_t cap)
        : in_{src, srcSize}, dst_(dst), cap_(cap) {}

    Result run();

private:
    bool copyLiterals(std::uint64_t count);
    bool copyBack(std::uint64_t count, std::uint64_t distance);
    bool fail(const char* what);

    Input in_;
    std::uint8_t* dst_;
    std::size_t cap_;
    std::size_t out_ = 0;
    Result result_;
};

bool Decoder::fail(const char* what) {
    result_.ok = false;
    result_.error = std::string(what) + " at compressed byte " + std::to_string(in_.pos);
    return false;
}

bool Decoder::copyLiterals(std::uint64_t count) {
    if (count == 0) return true;
    if (count > in_.size - in_.pos) return fail("literal run past the end of the input");
    if (count > cap_ - out_) return fail("literal run past the end of the output");
    std::memcpy(dst_ + out_, in_.p + in_.pos, count);
    in_.pos += count;
    out_ += count;
    return true;
}

// Copies `count` bytes starting `distance` bytes back; the ranges may overlap, which
// repeats the last `distance` bytes, so the copy runs byte by byte when they do.
bool Decoder::copyBack(std::uint64_t count, std::uint64_t distance) {
    if (distance == 0 || distance > out_) return fail("back-reference before the start");
    if (count == 0) return true;
    if (count > cap_ - out_) return fail("back-reference past the end of the output");
    std::uint8_t* d = dst_ + out_;
    const std::uint8_t* s = d - distance;
    if (distance >= count) {
        std::memcpy(d, s, count);
    } else {
        for (std::uint64_t i = 0; i < count; ++i) d[i] = s[i];
    }
    out_ += count;
    return true;
}

Result Decoder::run() {
    result_.ok = true;
    if (!copyLiterals(literalLength(in_)) || in_.bad) {
        if (in_.bad) fail("truncated literal length");
        result_.written = out_;
        return result_;
    }
    while (result_.ok && !in_.atEnd()) {
        const std::uint8_t op = in_.next();
        if (op == 0x11) {
            result_.terminated = true;
            break;
        }
        std::uint64_t count = 0;
        std::uint64_t offset = 0;
        std::uint32_t literals = 0;
        if (op >= 0x40) {
            count = ((op & 0xF0) >> 4) - 1;
            const std::uint8_t op2 = in_.next();
            offset = (static_cast<std::uint32_t>(op2) << 2) | ((op & 0x0C) >> 2);
            literals = op & 0x03;
        } else if (op >= 0x21) {
            count = op - 0x1E;
            const TwoByteOffset t = twoByteOffset(in_);
            offset = t.offset;
            literals = t.literals;
        } else if (op == 0x20) {
            count = longLength(in_) + 0x21;
            const TwoByteOffset t = twoByteOffset(in_);
            offset = t.offset;
            literals = t.literals;
        } else if (op >= 0x10) {
            count = (op == 0x10) ? longLength(in_) + 9 : (op & 0x0F) + 2u;
            const TwoByteOffset t = twoByteOffset(in_);
            offset = t.offset + 0x3FFFu;
            literals = t.literals;
        } else {
            fail("reserved opcode");
            break;
        }
        if (in_.bad) {
            fail("truncated opcode");
            break;
        }
        // The stored offset counts from the last byte written, so the distance is one more.
        if (!copyBack(count, offset + 1)) break;
        const std::uint64_t run = literals != 0 ? literals : literalLength(in_);
        if (in_.bad) {
            fail("truncated literal length");
            break;
        }
        if (!copyLiterals(run)) break;
    }
    result_.written = out_;
    return result_;
}

}  // namespace

Result decompress(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                  std::size_t dstCapacity) {
    if (src == nullptr) srcSize = 0;
    if (dst == nullptr) dstCapacity = 0;
    return Decoder(src, srcSize, dst, dstCapacity).run();
}

}  // namespace dwg::lz77
