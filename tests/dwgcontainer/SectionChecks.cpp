#include "SectionChecks.h"

#include "CorpusFiles.h"

namespace containertest {

const Sentinel kHeaderSentinel = {0xCF, 0x7B, 0x1F, 0x23, 0xFD, 0xDE, 0x38, 0xA9,
                                  0x5F, 0x7C, 0x68, 0xB8, 0x4E, 0x6D, 0x33, 0x5F};
const Sentinel kClassesSentinel = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                   0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};

namespace {

bool matchesAt(const std::vector<std::uint8_t>& b, std::size_t at, const Sentinel& s,
               bool complement) {
    if (at > b.size() || b.size() - at < s.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::uint8_t want = complement ? static_cast<std::uint8_t>(~s[i]) : s[i];
        if (b[at + i] != want) return false;
    }
    return true;
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Modular char: 7 bits per byte, high bit continues; the last byte of a signed one
// keeps bit 6 as the sign.
bool modularChar(const std::vector<std::uint8_t>& b, std::size_t& pos, std::size_t end,
                 bool isSigned, std::int64_t& value) {
    std::uint64_t v = 0;
    for (int shift = 0; shift < 63; shift += 7) {
        if (pos >= end) return false;
        const std::uint8_t c = b[pos++];
        if (c & 0x80) {
            v |= static_cast<std::uint64_t>(c & 0x7F) << shift;
            continue;
        }
        if (isSigned) {
            v |= static_cast<std::uint64_t>(c & 0x3F) << shift;
            value = (c & 0x40) ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
        } else {
            v |= static_cast<std::uint64_t>(c & 0x7F) << shift;
            value = static_cast<std::int64_t>(v);
        }
        return true;
    }
    return false;
}

// Modular short: 15 bits per little-endian word, bit 15 continues.
bool modularShort(const std::vector<std::uint8_t>& b, std::size_t pos, std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 60; shift += 15) {
        if (pos + 2 > b.size()) return false;
        const unsigned w = b[pos] | (b[pos + 1] << 8);
        pos += 2;
        value |= static_cast<std::uint64_t>(w & 0x7FFF) << shift;
        if (!(w & 0x8000)) return true;
    }
    return false;
}

}  // namespace

std::string checkFramedSection(const std::vector<std::uint8_t>& b, const Sentinel& start) {
    if (!matchesAt(b, 0, start, false)) return "no start sentinel";
    if (b.size() < 20) return "too short";
    const std::uint32_t size = le32(b, 16);
    for (std::size_t extra : {0u, 4u}) {
        const std::size_t end = 20 + extra + size + 2;
        if (matchesAt(b, end, start, true)) {
            // The CRC covers the size field(s) and the data.
            const std::uint16_t crc = crc16(0xC0C1, b.data() + 16, 4 + extra + size);
            const std::uint16_t stored = b[end - 2] | (b[end - 1] << 8);
            if (crc != stored) return "CRC mismatch";
            return {};
        }
    }
    return "no end sentinel after " + std::to_string(size) + " bytes";
}

std::string checkObjectMap(const std::vector<std::uint8_t>& h,
                           const std::vector<std::uint8_t>& objects, std::size_t* objectCount) {
    std::size_t pos = 0;
    std::size_t count = 0;
    std::int64_t handle = 0;
    for (;;) {
        if (pos + 2 > h.size()) return "the map ends without its empty page";
        const std::size_t size = (h[pos] << 8) | h[pos + 1];
        if (size < 2 || pos + size + 2 > h.size()) return "page size out of range";
        const std::uint16_t crc = crc16(0xC0C1, h.data() + pos, size);
        const std::uint16_t stored = (h[pos + size] << 8) | h[pos + size + 1];
        if (crc != stored) return "page CRC mismatch at " + std::to_string(pos);
        if (size == 2) break;
        const std::size_t end = pos + size;
        std::size_t p = pos + 2;
        std::int64_t location = 0;
        while (p < end) {
            std::int64_t dh = 0;
            std::int64_t dl = 0;
            if (!modularChar(h, p, end, false, dh) || !modularChar(h, p, end, true, dl))
                return "truncated entry";
            handle += dh;
            location += dl;
            std::uint64_t objSize = 0;
            if (location < 0 || static_cast<std::uint64_t>(location) >= objects.size())
                return "location outside the objects section for handle " + std::to_string(handle);
            if (!modularShort(objects, static_cast<std::size_t>(location), objSize) ||
                objSize > objects.size() - static_cast<std::uint64_t>(location))
                return "object size does not fit for handle " + std::to_string(handle);
            ++count;
        }
        pos = end + 2;
    }
    if (objectCount) *objectCount = count;
    return {};
}

std::string checkAllSections(const dwg::RawSections& s, std::size_t minObjects) {
    if (!s.warnings.empty()) return "warning: " + s.warnings.front();
    if (std::string e = checkFramedSection(s.header, kHeaderSentinel); !e.empty())
        return "header: " + e;
    if (std::string e = checkFramedSection(s.classes, kClassesSentinel); !e.empty())
        return "classes: " + e;
    std::size_t objects = 0;
    if (std::string e = checkObjectMap(s.handles, s.objects, &objects); !e.empty())
        return "object map: " + e;
    if (objects <= minObjects) return "only " + std::to_string(objects) + " objects";
    return {};
}

}  // namespace containertest
