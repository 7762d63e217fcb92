#include "Lz2007.h"

#include "ByteCursor.h"

namespace dwg::lz2007 {
namespace {

// How a literal block of 1..32 bytes is laid out: pieces written to the output in
// turn, each taken from `from` in the source and itself reordered as a block of its size.
struct Piece {
    std::uint8_t size;
    std::uint8_t from;
};
struct Layout {
    std::uint8_t count;
    Piece pieces[5];
};

// Blocks of 1..4 bytes are single pieces copied in the order listed.
constexpr Layout kLayouts[33] = {
    {0, {}},
    {1, {{1, 0}}},
    {2, {{1, 1}, {1, 0}}},
    {3, {{1, 2}, {1, 1}, {1, 0}}},
    {4, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
    {2, {{1, 4}, {4, 0}}},
    {3, {{1, 5}, {4, 1}, {1, 0}}},
    {3, {{2, 5}, {4, 1}, {1, 0}}},
    {2, {{4, 0}, {4, 4}}},
    {2, {{1, 8}, {8, 0}}},
    {3, {{1, 9}, {8, 1}, {1, 0}}},
    {3, {{2, 9}, {8, 1}, {1, 0}}},
    {2, {{4, 8}, {8, 0}}},
    {3, {{1, 12}, {4, 8}, {8, 0}}},
    {4, {{1, 13}, {4, 9}, {8, 1}, {1, 0}}},
    {4, {{2, 13}, {4, 9}, {8, 1}, {1, 0}}},
    {2, {{8, 8}, {8, 0}}},
    {3, {{8, 9}, {1, 8}, {8, 0}}},
    {3, {{1, 17}, {16, 1}, {1, 0}}},
    {2, {{3, 16}, {16, 0}}},
    {2, {{4, 16}, {16, 0}}},
    {3, {{1, 20}, {4, 16}, {16, 0}}},
    {3, {{2, 20}, {4, 16}, {16, 0}}},
    {3, {{3, 20}, {4, 16}, {16, 0}}},
    {2, {{8, 16}, {16, 0}}},
    {3, {{8, 17}, {1, 16}, {16, 0}}},
    {4, {{1, 25}, {8, 17}, {1, 16}, {16, 0}}},
    {4, {{2, 25}, {8, 17}, {1, 16}, {16, 0}}},
    {3, {{4, 24}, {8, 16}, {16, 0}}},
    {4, {{1, 28}, {4, 24}, {8, 16}, {16, 0}}},
    {4, {{2, 28}, {4, 24}, {8, 16}, {16, 0}}},
    {5, {{1, 30}, {4, 26}, {8, 18}, {16, 2}, {2, 0}}},
    {2, {{16, 16}, {16, 0}}},
};

void copyBlock(std::uint8_t*& dst, const std::uint8_t* src, std::size_t size) {
    const Layout& layout = kLayouts[size];
    for (std::size_t i = 0; i < layout.count; ++i) {
        const Piece& piece = layout.pieces[i];
        if (piece.size == 1) {
            *dst++ = src[piece.from];
        } else {
            copyBlock(dst, src + piece.from, piece.size);
        }
    }
}

using Input = ByteCursor;

struct Match {
    std::uint32_t length = 0;
    std::uint32_t offset = 0;
};

// Decodes one back-reference. `op` is its opcode on entry and, on return, the byte
// whose low three bits count the literals that follow.
Match readMatch(Input& in, std::uint8_t& op) {
    Match m;
    switch (op >> 4) {
        case 0: {
            m.length = (op & 0x0Fu) + 0x13;
            m.offset = in.next();
            op = in.next();
            m.length += (op >> 3) & 0x10;
            m.offset += ((op & 0x78u) << 5) + 1;
            break;
        }
        case 1: {
            m.length = (op & 0x0Fu) + 3;
            m.offset = in.next();
            op = in.next();
            m.offset += ((op & 0xF8u) << 5) + 1;
            break;
        }
        case 2: {
            m.offset = in.next();
            m.offset |= static_cast<std::uint32_t>(in.next()) << 8;
            m.length = op & 7u;
            if ((op & 8) == 0) {
                op = in.next();
                m.length += op & 0xF8u;
            } else {
                ++m.offset;
                m.length += static_cast<std::uint32_t>(in.next()) << 3;
                op = in.next();
                m.length += ((op & 0xF8u) << 8) + 0x100;
            }
            break;
        }
        default: {
            m.length = op >> 4;
            m.offset = op & 0x0Fu;
            op = in.next();
            m.offset += ((op & 0xF8u) << 1) + 1;
            break;
        }
    }
    return m;
}

// A literal run's length when it is not carried by the previous opcode: the opcode plus
// 8, extended by a byte and then by 16-bit words while they are saturated.
std::uint64_t literalLength(Input& in, std::uint8_t op) {
    std::uint64_t length = op + 8u;
    if (length != 0x17) return length;
    std::uint32_t n = in.next();
    length += n;
    if (n != 0xFF) return length;
    do {
        n = in.next();
        n |= static_cast<std::uint32_t>(in.next()) << 8;
        length += n;
    } while (n == 0xFFFF && !in.bad);
    return length;
}

}  // namespace

Result decompress(const std::uint8_t* src, std::size_t srcSize, std::uint8_t* dst,
                  std::size_t dstCapacity) {
    if (src == nullptr) srcSize = 0;
    if (dst == nullptr) dstCapacity = 0;
    Result r;
    Input in{src, srcSize};
    std::size_t out = 0;
    auto fail = [&](const char* what) {
        r.ok = false;
        r.error = std::string(what) + " at compressed byte " + std::to_string(in.pos);
        r.written = out;
        return r;
    };
    if (srcSize == 0) {
        r.ok = true;
        return r;
    }
    std::uint64_t literals = 0;
    std::uint8_t op = in.next();
    if ((op & 0xF0) == 0x20) {
        // A leading empty match: two offset bytes, then the literal count.
        in.next();
        in.next();
        literals = in.next() & 7u;
    }
    bool haveOp = literals == 0 && (op & 0xF0) != 0x20;
    for (;;) {
        if (literals == 0) {
            if (!haveOp) op = in.next();
            literals = literalLength(in, op);
        }
        haveOp = false;
        if (in.bad) return fail("truncated literal length");
        if (literals > in.size - in.pos) return fail("literal run past the end of the input");
        if (literals > dstCapacity - out) return fail("literal run past the end of the output");
        copyLiteral(dst + out, src + in.pos, static_cast<std::size_t>(literals));
        in.pos += static_cast<std::size_t>(literals);
        out += static_cast<std::size_t>(literals);
        literals = 0;
        if (in.pos >= in.size) break;

        // One or more back-references follow; a run ends at an opcode that carries a
        // literal count or at a literal-length opcode.
        op = in.next();
        for (;;) {
            const Match m = readMatch(in, op);
            if (in.bad) return fail("truncated back-reference");
            if (m.offset > out || m.offset == 0) return fail("back-reference before the start");
            if (m.length > dstCapacity - out)
                return fail("back-reference past the end of the output");
            for (std::uint32_t i = 0; i < m.length; ++i, ++out) dst[out] = dst[out - m.offset];
            literals = op & 7u;
            if (literals != 0 || in.pos >= in.size) break;
            op = in.next();
            if ((op >> 4) == 0) {
                haveOp = true;
                break;
            }
            if ((op >> 4) == 0x0F) op &= 0x0F;
        }
        if (in.pos >= in.size && literals == 0 && !haveOp) break;
    }
    r.ok = true;
    r.written = out;
    return r;
}

void copyLiteral(std::uint8_t* dst, const std::uint8_t* src, std::size_t count) {
    while (count >= 32) {
        copyBlock(dst, src, 32);
        src += 32;
        count -= 32;
    }
    if (count != 0) copyBlock(dst, src, count);
}

}  // namespace dwg::lz2007
