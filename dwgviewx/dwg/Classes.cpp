#include "dwgviewx/dwg/Classes.h"

#include <cstring>

#include "dwgviewx/dwg/BitReader.h"

namespace dwg {

namespace {

constexpr std::uint8_t kSentinel[16] = {0x8D, 0xA1, 0xC4, 0xB8, 0xC4, 0xA9, 0xF8, 0xC5,
                                        0xC0, 0xDC, 0xF4, 0x5F, 0xE7, 0xCF, 0xB6, 0x8A};

}  // namespace

ClassTable readClasses(const RawSections& sections, CodePageConverter& cp,
                       std::vector<std::string>& warnings) {
    ClassTable table;
    const auto& bytes = sections.classes;
    const Version v = sections.version;
    std::size_t start = 0;
    if (bytes.size() >= 16 && std::memcmp(bytes.data(), kSentinel, 16) == 0) start = 16;
    if (bytes.size() < start + 4) {
        if (!bytes.empty()) warnings.push_back("classes section is truncated");
        return table;
    }
    const std::uint32_t size = bytes[start] | (bytes[start + 1] << 8) | (bytes[start + 2] << 16) |
                               (static_cast<std::uint32_t>(bytes[start + 3]) << 24);
    std::size_t dataStart = start + 4;
    // The extra long is there in R2018 files whatever their maintenance version.
    if (v >= Version::R2018 || (v >= Version::R2010 && sections.maintenanceVersion > 3))
        dataStart += 4;
    if (dataStart > bytes.size() || size > bytes.size() - dataStart) {
        warnings.push_back("classes section is truncated");
        return table;
    }
    BitReader r(bytes.data() + dataStart, size, v);
    BitReader strings;
    const bool unicode = v >= Version::R2007;
    std::size_t endBit = size * 8;
    std::size_t stringsStart = endBit;
    if (unicode) {
        endBit = static_cast<std::uint32_t>(r.RL());  // size in bits
        if (endBit > size * 8 || !openStringStream(r, endBit, strings)) {
            warnings.push_back("classes section has no string data");
            return table;
        }
        stringsStart = strings.position();
    }
    if (v >= Version::R2004) {
        r.BS();  // highest class number
        r.RC();
        r.RC();
        r.B();
    }
    auto text = [&]() { return unicode ? strings.TU() : cp.toUtf8(r.T()); };
    // The data ends in fewer than 8 padding bits; in R2007+ the string stream follows it.
    const std::size_t stop = unicode ? stringsStart : endBit;
    while (r.position() + 8 <= stop && !r.failed()) {
        ClassInfo c;
        c.number = r.BS();
        r.BS();  // version / proxy flags
        text();  // application name
        c.cppName = text();
        c.dxfName = text();
        r.B();  // was a zombie
        const int itemClass = r.BS();
        c.isEntity = itemClass == 0x1F2;
        if (v >= Version::R2004) {
            r.BL();  // number of objects of this class
            r.BS();  // DWG version
            // The maintenance release is a long: a class with release 427 in a real R2018
            // drawing only lines up with the next class read that way.
            r.BL();
            r.BL();
            r.BL();
        }
        if (r.failed() || strings.failed()) break;
        table[c.number] = std::move(c);
    }
    if (r.failed() || strings.failed()) warnings.push_back("classes section is damaged");
    return table;
}

}  // namespace dwg
