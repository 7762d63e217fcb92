#include "Container2004.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "ContainerBytes.h"
#include "Lz77.h"
#include "PageChecksum.h"
#include "PagedSection.h"

namespace dwg {
namespace {

using container::le32;
using container::le64;
using container::readAllPages;
using container::sectionRefusal;

constexpr std::size_t kHeaderBlockAt = 0x80;
constexpr std::size_t kHeaderBlockSize = 0x6C;
constexpr std::uint64_t kFirstPageAddress = 0x100;
constexpr std::uint32_t kPageMapType = 0x41630E3B;
constexpr std::uint32_t kSectionMapType = 0x4163003B;
constexpr std::uint32_t kDataPageType = 0x4163043B;
constexpr std::size_t kSystemHeaderSize = 0x14;
constexpr std::size_t kDataHeaderSize = 0x20;
constexpr std::uint64_t kMaxSystemPage = 8ull << 20;  // maps of drawings far beyond any real one
constexpr std::size_t kSectionEntrySize = 0x60;
constexpr std::size_t kPageEntrySize = 0x10;
constexpr std::uint32_t kMaxPageSize = 8u << 20;

// The XOR mask of the header block: a linear congruential sequence seeded with 1.
std::array<std::uint8_t, kHeaderBlockSize> headerMask() {
    std::array<std::uint8_t, kHeaderBlockSize> mask{};
    std::uint32_t seed = 1;
    for (auto& b : mask) {
        seed = seed * 0x343FDu + 0x269EC3u;
        b = static_cast<std::uint8_t>(seed >> 16);
    }
    return mask;
}

Version versionOf(std::string_view magic) {
    if (magic == "AC1018") return Version::R2004;
    if (magic == "AC1024") return Version::R2010;
    if (magic == "AC1027") return Version::R2013;
    if (magic == "AC1032") return Version::R2018;
    return Version::Unknown;
}

}  // namespace

// The fields of a decoded header block the reader needs.
void Container2004::takeFields(const std::uint8_t* block, HeaderData& out) {
    out.pageMapAddress = le64(block + 0x54) + kFirstPageAddress;
    out.sectionMapId = le32(block + 0x5C);
}

bool Container2004::fail(std::string message) {
    error_ = std::move(message);
    return false;
}

void Container2004::warn(std::string message) {
    // A badly damaged file could repeat one complaint per page; a few dozen say enough.
    if (warnings_.size() < 64) warnings_.push_back(std::move(message));
}

bool Container2004::open(const std::uint8_t* data, std::size_t size) {
    *this = Container2004();
    data_ = data;
    size_ = data ? size : 0;
    if (size_ < kFirstPageAddress) return fail("the file is too short to be a drawing");
    magic_.assign(reinterpret_cast<const char*>(data_), 6);
    version_ = versionOf(magic_);
    if (version_ == Version::Unknown) return fail("not an R2004-family drawing (" + magic_ + ")");
    maintenance_ = data_[0x0B];
    codePage_ = container::le16(data_ + 0x13);
    securityFlags_ = le32(data_ + 0x18);

    HeaderData header;
    if (!readFileHeader(header)) return false;
    std::vector<std::uint8_t> map;
    if (!readSystemPage(header.pageMapAddress, kPageMapType, "section page map", map)) return false;
    if (!parsePageMap(map)) return false;
    const auto it = pages_.find(static_cast<std::int32_t>(header.sectionMapId));
    if (it == pages_.end())
        return fail("the section map page " + std::to_string(header.sectionMapId) +
                    " is missing from the page map");
    if (!readSystemPage(it->second.address, kSectionMapType, "section map", map)) return false;
    return parseSectionMap(map);
}

// Decodes one copy of the header block. `raw` holds 0x6C bytes; the copy at 0x80 is
// XOR-masked, and so is the one at the end of the file.
bool Container2004::decodeHeaderBlock(const std::uint8_t* raw, HeaderData& out,
                                      std::string& why) const {
    std::array<std::uint8_t, kHeaderBlockSize> block{};
    std::memcpy(block.data(), raw, kHeaderBlockSize);
    const auto mask = headerMask();
    for (std::size_t i = 0; i < kHeaderBlockSize; ++i) block[i] ^= mask[i];
    if (std::memcmp(block.data(), "AcFssFcAJMB", 12) != 0) {
        why = "the file header is damaged (no identification string)";
        return false;
    }
    const std::uint32_t stored = le32(block.data() + 0x68);
    container::putLe32(block.data() + 0x68, 0);
    if (checksum::crc32(0, block.data(), block.size()) != stored) {
        why = "the file header CRC does not match";
        return false;
    }
    takeFields(block.data(), out);
    return true;
}

bool Container2004::readFileHeader(HeaderData& out) {
    std::string why;
    if (decodeHeaderBlock(data_ + kHeaderBlockAt, out, why)) return true;
    // The header block is repeated near the end of the file; its address is in the first
    // copy, which may be the damaged part, so only the raw field is trusted when it fits.
    const auto mask = headerMask();
    std::uint64_t second = 0;
    for (int i = 0; i < 8; ++i)
        second |= static_cast<std::uint64_t>(data_[kHeaderBlockAt + 0x34 + i] ^ mask[0x34 + i])
                  << (8 * i);
    const container::ByteView file{data_, size_};
    std::string why2;
    if (second != 0 && file.has(second, kHeaderBlockSize) &&
        decodeHeaderBlock(data_ + second, out, why2)) {
        warn(why + "; the copy at the end of the file was used");
        return true;
    }
    // A CRC mismatch alone still leaves usable fields; real files carry such damage.
    std::array<std::uint8_t, kHeaderBlockSize> block{};
    std::memcpy(block.data(), data_ + kHeaderBlockAt, kHeaderBlockSize);
    for (std::size_t i = 0; i < kHeaderBlockSize; ++i) block[i] ^= mask[i];
    if (std::memcmp(block.data(), "AcFssFcAJMB", 12) != 0) return fail(why);
    warn(why);
    takeFields(block.data(), out);
    return true;
}

bool Container2004::readSystemPage(std::uint64_t address, std::uint32_t type, const char* what,
                                   std::vector<std::uint8_t>& out) {
    out.clear();
    const container::ByteView file{data_, size_};
    if (!file.has(address, kSystemHeaderSize))
        return fail(std::string("the ") + what + " lies outside the file");
    const std::uint8_t* h = data_ + address;
    if (le32(h) != type) return fail(std::string("the ") + what + " page is damaged");
    const std::uint32_t decompSize = le32(h + 4);
    const std::uint32_t compSize = le32(h + 8);
    const std::uint32_t compression = le32(h + 12);
    if (!file.has(address + kSystemHeaderSize, compSize))
        return fail(std::string("the ") + what + " runs past the end of the file");
    if (decompSize > kMaxSystemPage)
        return fail(std::string("the ") + what + " claims an impossible size");
    const std::uint8_t* body = h + kSystemHeaderSize;

    std::array<std::uint8_t, kSystemHeaderSize> zeroed{};
    std::memcpy(zeroed.data(), h, kSystemHeaderSize);
    container::putLe32(zeroed.data() + 16, 0);
    const std::uint32_t sum =
        checksum::page2004(checksum::page2004(0, zeroed.data(), zeroed.size()), body, compSize);
    if (sum != le32(h + 16)) warn(std::string("the ") + what + " checksum does not match");

    if (compression != 2) {
        out.assign(body, body + std::min(compSize, decompSize));
        if (compSize != decompSize) warn(std::string("the ") + what + " has inconsistent sizes");
        return true;
    }
    out.assign(decompSize, 0);
    const lz77::Result r = lz77::decompress(body, compSize, out.data(), out.size());
    out.resize(r.written);
    if (!r.ok) return fail(std::string("the ") + what + " is damaged: " + r.error);
    if (r.written != decompSize)
        warn(std::string("the ") + what + " decodes to " + std::to_string(r.written) +
             " bytes instead of " + std::to_string(decompSize));
    return true;
}

bool Container2004::parsePageMap(const std::vector<std::uint8_t>& map) {
    std::uint64_t address = kFirstPageAddress;
    std::size_t pos = 0;
    while (pos + 8 <= map.size()) {
        const auto number = static_cast<std::int32_t>(le32(map.data() + pos));
        const std::uint32_t pageSize = le32(map.data() + pos + 4);
        pos += 8;
        if (number < 0) {
            pos += 16;  // a gap: parent, left, right and a zero
        } else if (!pages_.emplace(number, PageLocation{address, pageSize}).second) {
            warn("page " + std::to_string(number) + " appears twice in the page map");
        }
        address += pageSize;
        if (address > size_) break;  // nothing further can lie in the file
    }
    if (pages_.empty()) return fail("the section page map is empty");
    return true;
}

bool Container2004::parseSectionMap(const std::vector<std::uint8_t>& map) {
    if (map.size() < 0x14) return fail("the section map is truncated");
    const std::uint32_t count = le32(map.data());
    std::size_t pos = 0x14;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (pos + kSectionEntrySize > map.size()) {
            warn("the section map ends after " + std::to_string(i) + " of " +
                 std::to_string(count) + " sections");
            break;
        }
        const std::uint8_t* e = map.data() + pos;
        PagedSectionInfo s;
        s.size = le64(e);
        const std::uint32_t pageCount = le32(e + 0x08);
        s.maxPageSize = le32(e + 0x0C);
        s.compressed = le32(e + 0x14);
        s.id = le32(e + 0x18);
        s.encrypted = le32(e + 0x1C);
        const char* name = reinterpret_cast<const char*>(e + 0x20);
        s.name.assign(name, strnlen(name, 64));
        pos += kSectionEntrySize;
        if (pageCount > (map.size() - pos) / kPageEntrySize) {
            warn("the page list of section \"" + s.name + "\" is truncated");
        }
        for (std::uint32_t k = 0; k < pageCount && pos + kPageEntrySize <= map.size(); ++k) {
            const std::uint8_t* p = map.data() + pos;
            s.pages.push_back({static_cast<std::int32_t>(le32(p)), le32(p + 4), le64(p + 8)});
            pos += kPageEntrySize;
        }
        sections_.push_back(std::move(s));
    }
    return true;
}

const PagedSectionInfo* Container2004::findSection(std::string_view name) const {
    for (const auto& s : sections_)
        if (s.name == name) return &s;
    return nullptr;
}

std::uint64_t Container2004::pageAddress(std::int32_t number) const {
    const auto it = pages_.find(number);
    return it == pages_.end() ? 0 : it->second.address;
}

bool Container2004::readSection(std::string_view name, std::vector<std::uint8_t>& out,
                                bool* complete) {
    out.clear();
    if (complete) *complete = false;
    const PagedSectionInfo* s = findSection(name);
    if (std::string why = sectionRefusal(s, name, size_); !why.empty()) return fail(why);
    const bool whole = readAllPages(*s, out, [&](const auto& page) {
        if (readDataPage(*s, page, out)) return true;
        warn(error_);
        return false;
    });
    error_.clear();
    if (complete) *complete = whole;
    return true;
}

bool Container2004::readDataPage(const PagedSectionInfo& section,
                                 const PagedSectionInfo::Page& page,
                                 std::vector<std::uint8_t>& out) {
    const std::string where =
        "page " + std::to_string(page.number) + " of \"" + section.name + "\"";
    const auto it = pages_.find(page.number);
    if (it == pages_.end()) return fail(where + " is missing from the page map");
    const std::uint64_t address = it->second.address;
    const container::ByteView file{data_, size_};
    if (!file.has(address, kDataHeaderSize)) return fail(where + " lies outside the file");

    std::array<std::uint8_t, kDataHeaderSize> h{};
    std::memcpy(h.data(), data_ + address, h.size());
    const std::uint32_t mask = 0x4164536Bu ^ static_cast<std::uint32_t>(address);
    for (std::size_t i = 0; i < h.size(); i += 4)
        container::putLe32(h.data() + i, le32(h.data() + i) ^ mask);
    if (le32(h.data()) != kDataPageType) return fail(where + " has a damaged header");
    if (le32(h.data() + 4) != section.id) warn(where + " names another section");
    std::uint32_t compSize = le32(h.data() + 8);
    if (compSize != page.dataSize) {
        warn(where + " disagrees with the section map about its size");
        compSize = std::min(compSize, page.dataSize);
    }
    if (!file.has(address + kDataHeaderSize, compSize))
        return fail(where + " runs past the end of the file");
    const std::uint8_t* body = data_ + address + kDataHeaderSize;

    // The stored sum covers the header (this field zeroed) seeded with the data's sum;
    // the field before it is left zero by the writers seen so far.
    const std::uint32_t storedSum = le32(h.data() + 0x18);
    container::putLe32(h.data() + 0x18, 0);
    const std::uint32_t sum =
        checksum::page2004(checksum::page2004(0, body, compSize), h.data(), h.size());
    if (sum != storedSum) warn(where + " fails its checksum");

    if (page.startOffset >= out.size()) return fail(where + " starts past the end of the section");
    const auto start = static_cast<std::size_t>(page.startOffset);
    const std::size_t room = out.size() - start;
    if (section.compressed != 2) {
        std::memcpy(out.data() + start, body, std::min<std::size_t>(room, compSize));
        return true;
    }
    // Every compressed page expands to a whole page; the last one is cut to the section.
    if (section.maxPageSize == 0 || section.maxPageSize > kMaxPageSize)
        return fail(where + " has an impossible page size");
    scratch_.resize(section.maxPageSize);
    const lz77::Result r = lz77::decompress(body, compSize, scratch_.data(), scratch_.size());
    std::memcpy(out.data() + start, scratch_.data(), std::min(room, r.written));
    if (!r.ok) return fail(where + ": " + r.error);
    if (r.written < std::min<std::size_t>(room, scratch_.size()))
        warn(where + " decodes short (" + std::to_string(r.written) + " bytes)");
    return true;
}

RawSections readSections2004(const std::uint8_t* data, std::size_t size, std::string* error) {
    RawSections result;
    Container2004 c;
    std::string message;
    if (c.open(data, size)) {
        const bool ok = c.readSection("AcDb:Header", result.header) &&
                        c.readSection("AcDb:Classes", result.classes) &&
                        c.readSection("AcDb:Handles", result.handles) &&
                        c.readSection("AcDb:AcDbObjects", result.objects);
        if (ok) {
            result.version = c.version();
            result.magic = c.magic();
            result.maintenanceVersion = c.maintenanceVersion();
            result.codePage = c.codePage();
            result.warnings = c.warnings();
        } else {
            message = c.error();
        }
    } else {
        message = c.error();
    }
    if (!message.empty()) result = RawSections();
    if (error) *error = message;
    return result;
}

}  // namespace dwg
