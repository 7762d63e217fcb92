#include "dwgviewx/dwg/FlatContainer.h"

#include "dwgviewx/dwg/Crc.h"

namespace dwg {

namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t locatorCrcMask(std::uint32_t count) {
    switch (count) {
        case 3:
            return 0xA598;
        case 4:
            return 0x8101;
        case 5:
            return 0x3CC4;
        case 6:
            return 0x8461;
        default:
            return 0;
    }
}

}  // namespace

Result<RawSections> readFlatSections(std::span<const std::uint8_t> file, Version version) {
    constexpr std::size_t kLocators = 0x19;
    constexpr std::uint32_t kMaxLocators = 16;
    if (file.size() < kLocators)
        return Result<RawSections>::failure("file is damaged: truncated file header");
    RawSections s;
    s.version = version;
    s.magic.assign(reinterpret_cast<const char*>(file.data()), 6);
    s.maintenanceVersion = file[0x0B];
    s.codePage = file[0x13] | (file[0x14] << 8);
    const std::uint32_t count = le32(file.data() + 0x15);
    if (count < 3 || count > kMaxLocators)
        return Result<RawSections>::failure("file is damaged: bad section locator count");
    const std::size_t crcAt = kLocators + count * 9;
    if (file.size() < crcAt + 2)
        return Result<RawSections>::failure("file is damaged: truncated file header");
    const std::uint16_t stored = file[crcAt] | (file[crcAt + 1] << 8);
    const std::uint16_t computed = crc16(0, file.data(), crcAt) ^ locatorCrcMask(count);
    if (stored != computed) s.warnings.push_back("file header checksum mismatch");

    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* rec = file.data() + kLocators + i * 9;
        const std::uint8_t number = rec[0];
        const std::uint64_t seeker = le32(rec + 1);
        const std::uint64_t size = le32(rec + 5);
        if (number > 2) continue;
        if (seeker > file.size() || size > file.size() - seeker)
            return Result<RawSections>::failure("file is damaged: section " +
                                                std::to_string(number) + " lies outside the file");
        auto first = file.begin() + static_cast<std::ptrdiff_t>(seeker);
        auto last = first + static_cast<std::ptrdiff_t>(size);
        std::vector<std::uint8_t>& target = number == 0   ? s.header
                                            : number == 1 ? s.classes
                                                          : s.handles;
        target.assign(first, last);
    }
    if (s.header.empty() || s.handles.empty())
        return Result<RawSections>::failure("file is damaged: missing header or object map");
    return s;
}

}  // namespace dwg
