#pragma once
// A bounded reader of the DWG bit codes over a byte span. Reading past the end never
// touches memory outside the span: it returns zeros and sets a sticky error flag that
// the caller checks once after a group of reads. Not thread-safe; cheap to copy.
// Positions and limits are in bits from the start of the span.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dwgviewx/dwg/Sections.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

// A handle as stored: its relation code and the (absolute or relative) value.
struct HandleRef {
    std::uint8_t code = 0;
    std::uint64_t value = 0;
    // The absolute handle, resolving the offset codes against the referencing object.
    Handle resolve(Handle reference) const;
};

class BitReader {
public:
    BitReader() = default;
    // `data` must outlive the reader. `bitLimit` may shrink the readable range.
    BitReader(const std::uint8_t* data, std::size_t size, Version version = Version::R2000);

    Version version() const { return version_; }
    void setVersion(Version v) { version_ = v; }
    bool failed() const { return failed_; }
    void fail() { failed_ = true; }
    std::size_t position() const { return pos_; }
    std::size_t limit() const { return limit_; }
    std::size_t remaining() const { return pos_ < limit_ ? limit_ - pos_ : 0; }
    // Moves to an absolute bit position; past the limit sets the error.
    void seek(std::size_t bit);
    // Narrows the readable range to [0, bit); never widens it past the data.
    void setLimit(std::size_t bit);
    // True when `count` items of at least `minBits` each can still be present. Sets the
    // error otherwise, so callers can refuse a count before they allocate for it.
    bool canHold(std::uint64_t count, std::size_t minBits);
    void alignToByte() { pos_ = (pos_ + 7) & ~static_cast<std::size_t>(7); }

    // Raw codes.
    // Up to 64 bits, MSB first. Inline: every other code is built from it, and the
    // common case is one unaligned 8-byte load.
    std::uint64_t bits(unsigned n) {
        const std::size_t byte = pos_ >> 3;
        if (n - 1 < 57 && n <= remaining() && byte + 8 <= size_) {
            const std::uint8_t* p = data_ + byte;
            const std::uint64_t word = (std::uint64_t{p[0]} << 56) | (std::uint64_t{p[1]} << 48) |
                                       (std::uint64_t{p[2]} << 40) | (std::uint64_t{p[3]} << 32) |
                                       (std::uint64_t{p[4]} << 24) | (std::uint64_t{p[5]} << 16) |
                                       (std::uint64_t{p[6]} << 8) | std::uint64_t{p[7]};
            const unsigned offset = pos_ & 7;
            pos_ += n;
            return (word << offset) >> (64 - n);
        }
        return bitsSlow(n);
    }
    std::uint8_t B() { return static_cast<std::uint8_t>(bits(1)); }
    std::uint8_t BB() { return static_cast<std::uint8_t>(bits(2)); }
    std::uint8_t B3();
    std::uint8_t RC() { return static_cast<std::uint8_t>(bits(8)); }
    std::int16_t RS();
    std::int32_t RL();
    std::uint64_t RLL();
    double RD();
    // Compressed codes.
    std::int16_t BS();
    std::int32_t BL();
    std::uint64_t BLL();
    double BD();
    double DD(double defaultValue);
    std::uint64_t MC();       // unsigned modular char
    std::int64_t MCSigned();  // modular char whose last byte's 0x40 bit is the sign
    std::uint32_t MS();
    HandleRef H();
    Handle H(Handle reference) { return H().resolve(reference); }
    Vec2 RD2();
    Vec3 RD3();
    Vec2 BD2();
    Vec3 BD3();
    Vec3 BE();          // extrusion, default (0,0,1) from R2000
    double BT();        // thickness, default 0 from R2000
    std::int32_t OT();  // object type (R2010+ encoding)
    // Strings, returned as bytes as stored: T is 8-bit in the drawing's code page, TU is
    // UTF-16LE, converted here to UTF-8.
    std::string T();
    std::string TU();
    void skipBytes(std::size_t n);

private:
    std::uint64_t bitsSlow(unsigned n);  // near the end of the data, or n outside 1..57

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;   // bytes
    std::size_t limit_ = 0;  // bits
    std::size_t pos_ = 0;    // bits
    bool failed_ = false;
    Version version_ = Version::R2000;
};

// Appends the UTF-8 form of a code point; invalid points become U+FFFD.
void appendUtf8(std::string& out, std::uint32_t cp);

// Where the string stream of R2007+ data lies, in bits of the data's span.
struct StringStreamSpan {
    bool present = false;   // the flag bit just before the end bit
    std::size_t begin = 0;  // first bit of the strings (also where the data ends)
    std::size_t end = 0;    // bit after the strings, where their size is stored
};

// Finds the string stream that ends the data before `endBit`: a flag bit just before
// `endBit`, the stream's size in the 16 (or 32) bits before that, the strings before
// the size. False when the stored size does not fit the data.
bool locateStringStream(const BitReader& data, std::size_t endBit, StringStreamSpan& out);
// Sets `strings` to read the string stream of `data`; false when there is none.
bool openStringStream(const BitReader& data, std::size_t endBit, BitReader& strings);

}  // namespace dwg
