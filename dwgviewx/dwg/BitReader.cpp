#include "dwgviewx/dwg/BitReader.h"

#include <bit>
#include <cstring>

namespace dwg {

Handle HandleRef::resolve(Handle reference) const {
    switch (code) {
        case 0x6:
            return reference + 1;
        case 0x8:
            return reference - 1;
        case 0xA:
            return reference + value;
        case 0xC:
            return reference - value;
        default:
            return value;
    }
}

BitReader::BitReader(const std::uint8_t* data, std::size_t size, Version version)
    : data_(data), size_(size), version_(version) {
    // Spans beyond 2^60 bytes cannot be addressed in bits; such a reader stays empty.
    limit_ = size < (std::size_t{1} << 60) ? size * 8 : 0;
}

void BitReader::seek(std::size_t bit) {
    if (bit > limit_) {
        failed_ = true;
        pos_ = limit_;
        return;
    }
    pos_ = bit;
}

void BitReader::setLimit(std::size_t bit) {
    if (bit > size_ * 8) {
        failed_ = true;
        bit = size_ * 8;
    }
    limit_ = bit;
    if (pos_ > limit_) {
        failed_ = true;
        pos_ = limit_;
    }
}

bool BitReader::canHold(std::uint64_t count, std::size_t minBits) {
    if (minBits == 0) minBits = 1;
    if (count > remaining() / minBits) {
        failed_ = true;
        return false;
    }
    return true;
}

std::uint64_t BitReader::bitsSlow(unsigned n) {
    if (n == 0) return 0;
    if (n > remaining()) {
        failed_ = true;
        pos_ = limit_;
        return 0;
    }
    if (n <= 57) {
        // The last bytes of the span: the same window as the fast path, padded with
        // zeros past the end. The bits asked for all lie inside the span.
        const std::size_t byte = pos_ >> 3;
        std::uint64_t word = 0;
        for (unsigned i = 0; i < 8; ++i) {
            const std::uint64_t b = byte + i < size_ ? data_[byte + i] : 0;
            word |= b << (56 - 8 * i);
        }
        const unsigned offset = pos_ & 7;
        pos_ += n;
        return (word << offset) >> (64 - n);
    }
    std::uint64_t v = 0;
    while (n > 0) {
        const std::size_t byte = pos_ >> 3;
        const unsigned offset = pos_ & 7;
        const unsigned avail = 8 - offset;
        const unsigned take = n < avail ? n : avail;
        const unsigned chunk = (data_[byte] >> (avail - take)) & ((1u << take) - 1);
        v = (v << take) | chunk;
        pos_ += take;
        n -= take;
    }
    return v;
}

std::uint8_t BitReader::B3() {
    std::uint8_t v = 0;
    for (int i = 0; i < 3; ++i) {
        const std::uint8_t b = B();
        v = static_cast<std::uint8_t>((v << 1) | b);
        if (!b) break;
    }
    return v;
}

namespace {

// The stored little-endian bytes arrive MSB first from bits(): swap them into place.
std::uint32_t swap32(std::uint64_t v) {
    return static_cast<std::uint32_t>(((v & 0xFF) << 24) | ((v & 0xFF00) << 8) |
                                      ((v >> 8) & 0xFF00) | ((v >> 24) & 0xFF));
}

}  // namespace

std::int16_t BitReader::RS() {
    const auto v = static_cast<unsigned>(bits(16));
    return static_cast<std::int16_t>(((v & 0xFF) << 8) | (v >> 8));
}

std::int32_t BitReader::RL() {
    return static_cast<std::int32_t>(swap32(bits(32)));
}

std::uint64_t BitReader::RLL() {
    const std::uint64_t lo = swap32(bits(32));
    const std::uint64_t hi = swap32(bits(32));
    return lo | (hi << 32);
}

double BitReader::RD() {
    return std::bit_cast<double>(RLL());
}

std::int16_t BitReader::BS() {
    switch (BB()) {
        case 0:
            return RS();
        case 1:
            return static_cast<std::int16_t>(RC());
        case 2:
            return 0;
        default:
            return 256;
    }
}

std::int32_t BitReader::BL() {
    switch (BB()) {
        case 0:
            return RL();
        case 1:
            return static_cast<std::int32_t>(RC());
        case 2:
            return 0;
        default:
            // Not used by the format: a sign of a misread stream.
            failed_ = true;
            return 0;
    }
}

std::uint64_t BitReader::BLL() {
    // The byte count is a plain 3-bit number: the graphics sizes of R2010+ entities only
    // line up that way, not as the 1-3 bit code the format notes point to.
    const unsigned len = static_cast<unsigned>(bits(3));
    std::uint64_t v = 0;
    for (unsigned i = 0; i < len; ++i) v |= static_cast<std::uint64_t>(RC()) << (8 * i);
    return v;
}

double BitReader::BD() {
    switch (BB()) {
        case 0:
            return RD();
        case 1:
            return 1.0;
        case 2:
            return 0.0;
        default:
            failed_ = true;
            return 0.0;
    }
}

double BitReader::DD(double defaultValue) {
    const unsigned code = BB();
    if (code == 0) return defaultValue;
    if (code == 3) return RD();
    auto raw = std::bit_cast<std::array<std::uint8_t, 8>>(defaultValue);
    if (code == 1) {
        for (int i = 0; i < 4; ++i) raw[i] = RC();
    } else {
        raw[4] = RC();
        raw[5] = RC();
        for (int i = 0; i < 4; ++i) raw[i] = RC();
    }
    return std::bit_cast<double>(raw);
}

std::uint64_t BitReader::MC() {
    std::uint64_t v = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        const std::uint8_t b = RC();
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80) || failed_) return v;
    }
    failed_ = true;  // longer than any 64-bit value
    return v;
}

std::int64_t BitReader::MCSigned() {
    std::uint64_t v = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        std::uint8_t b = RC();
        if (!(b & 0x80) || failed_) {
            const bool negative = b & 0x40;
            b &= 0x3F;
            v |= static_cast<std::uint64_t>(b) << shift;
            const auto s = static_cast<std::int64_t>(v & 0x7FFFFFFFFFFFFFFFull);
            return negative ? -s : s;
        }
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
    }
    failed_ = true;
    return 0;
}

std::uint32_t BitReader::MS() {
    std::uint32_t v = 0;
    for (unsigned shift = 0; shift < 32; shift += 15) {
        const unsigned lo = RC();
        const unsigned hi = RC();
        const unsigned word = lo | (hi << 8);
        v |= static_cast<std::uint32_t>(word & 0x7FFF) << shift;
        if (!(word & 0x8000) || failed_) return v;
    }
    failed_ = true;
    return v;
}

HandleRef BitReader::H() {
    HandleRef h;
    const unsigned lead = RC();
    h.code = static_cast<std::uint8_t>(lead >> 4);
    const unsigned counter = lead & 0xF;
    if (counter > 8) {
        failed_ = true;
        return h;
    }
    for (unsigned i = 0; i < counter; ++i) h.value = (h.value << 8) | RC();
    return h;
}

Vec2 BitReader::RD2() {
    Vec2 v;
    v.x = RD();
    v.y = RD();
    return v;
}

Vec3 BitReader::RD3() {
    Vec3 v;
    v.x = RD();
    v.y = RD();
    v.z = RD();
    return v;
}

Vec2 BitReader::BD2() {
    Vec2 v;
    v.x = BD();
    v.y = BD();
    return v;
}

Vec3 BitReader::BD3() {
    Vec3 v;
    v.x = BD();
    v.y = BD();
    v.z = BD();
    return v;
}

Vec3 BitReader::BE() {
    if (version_ >= Version::R2000 && B()) return Vec3{0, 0, 1};
    return BD3();
}

double BitReader::BT() {
    if (version_ >= Version::R2000 && B()) return 0.0;
    return BD();
}

std::int32_t BitReader::OT() {
    if (version_ < Version::R2010) return BS();
    switch (BB()) {
        case 0:
            return RC();
        case 1:
            return RC() + 0x1F0;
        default:
            return static_cast<std::uint16_t>(RS());
    }
}

std::string BitReader::T() {
    const int len = static_cast<std::uint16_t>(BS());
    if (!canHold(static_cast<std::uint64_t>(len), 8)) return {};
    std::string s;
    s.reserve(static_cast<std::size_t>(len));
    for (int i = 0; i < len; ++i) s.push_back(static_cast<char>(RC()));
    // Stored strings often carry their terminating zero.
    while (!s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

bool locateStringStream(const BitReader& data, std::size_t endBit, StringStreamSpan& out) {
    if (endBit < 1 || endBit > data.limit()) return false;
    BitReader probe = data;
    probe.seek(endBit - 1);
    out = StringStreamSpan{};
    out.present = probe.B();
    if (!out.present) {
        out.begin = out.end = endBit - 1;
        return !probe.failed();
    }
    if (endBit < 1 + 16) return false;
    std::size_t at = endBit - 1 - 16;
    probe.seek(at);
    std::uint32_t size = static_cast<std::uint16_t>(probe.RS());
    if (size & 0x8000) {
        if (at < 16) return false;
        at -= 16;
        probe.seek(at);
        const std::uint32_t hi = static_cast<std::uint16_t>(probe.RS());
        size = (size & 0x7FFF) | (hi << 15);
    }
    if (probe.failed() || size > at) return false;
    out.begin = at - size;
    out.end = at;
    return true;
}

bool openStringStream(const BitReader& data, std::size_t endBit, BitReader& strings) {
    StringStreamSpan span;
    if (!locateStringStream(data, endBit, span) || !span.present) return false;
    strings = data;
    strings.seek(span.begin);
    strings.setLimit(span.end);
    return !strings.failed();
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string BitReader::TU() {
    const int len = static_cast<std::uint16_t>(BS());
    if (!canHold(static_cast<std::uint64_t>(len), 16)) return {};
    std::string out;
    out.reserve(static_cast<std::size_t>(len));
    for (int i = 0; i < len; ++i) {
        std::uint32_t c = static_cast<std::uint16_t>(RS());
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < len) {
            const std::uint32_t lo = static_cast<std::uint16_t>(RS());
            ++i;
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
            } else {
                c = 0xFFFD;
            }
        }
        if (c == 0) continue;
        appendUtf8(out, c);
    }
    return out;
}

void BitReader::skipBytes(std::size_t n) {
    if (n > remaining() / 8) {
        failed_ = true;
        pos_ = limit_;
        return;
    }
    pos_ += n * 8;
}

}  // namespace dwg
