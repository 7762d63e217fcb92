#include "Container2007.h"

#include <algorithm>
#include <cstring>

#include "ContainerBytes.h"
#include "Crc64.h"
#include "Lz2007.h"
#include "PageChecksum.h"
#include "PagedSection.h"
#include "ReedSolomon.h"

namespace dwg {
namespace {

using container::le32;
using container::le64;
using container::readAllPages;
using container::sectionRefusal;

constexpr std::size_t kHeaderAt = 0x80;
constexpr std::size_t kHeaderPage = 0x400;
constexpr std::size_t kHeaderBlocks = 3;
constexpr std::size_t kHeaderDataSize = 0x110;
constexpr std::uint64_t kPagesBase = 0x480;
constexpr std::uint64_t kMaxSystemPage = 8ull << 20;  // maps of drawings far beyond any real one
constexpr std::uint64_t kMaxDataPage = 16ull << 20;
constexpr std::size_t kSectionEntrySize = 0x40;
constexpr std::size_t kPageEntrySize = 0x38;

std::uint64_t align8(std::uint64_t v) {
    return (v + 7) & ~std::uint64_t{7};
}

std::string describe(std::string_view what) {
    return "the " + std::string(what);
}

}  // namespace

struct Container2007::Header {
    std::uint64_t pagesMapCorrection = 0;
    std::uint64_t pagesMapOffset = 0;
    std::uint64_t pagesMapCompressed = 0;
    std::uint64_t pagesMapUncompressed = 0;
    std::uint64_t sectionsMapId = 0;
    std::uint64_t sectionsMapCompressed = 0;
    std::uint64_t sectionsMapUncompressed = 0;
    std::uint64_t sectionsMapCorrection = 0;
    std::uint64_t pagesMapCrcCompressed = 0;
    std::uint64_t pagesMapCrcUncompressed = 0;
    std::uint64_t sectionsMapCrcCompressed = 0;
    std::uint64_t sectionsMapCrcUncompressed = 0;
};

bool Container2007::fail(std::string message) {
    error_ = std::move(message);
    return false;
}

void Container2007::warn(std::string message) {
    if (warnings_.size() < 64) warnings_.push_back(std::move(message));
}

bool Container2007::open(const std::uint8_t* data, std::size_t size) {
    *this = Container2007();
    data_ = data;
    size_ = data ? size : 0;
    if (size_ < kHeaderAt + kHeaderPage) return fail("the file is too short to be a drawing");
    magic_.assign(reinterpret_cast<const char*>(data_), 6);
    if (magic_ != "AC1021") return fail("not an R2007 drawing (" + magic_ + ")");
    maintenance_ = data_[0x0B];
    codePage_ = container::le16(data_ + 0x13);

    Header header;
    if (!readFileHeader(header)) return false;
    std::vector<std::uint8_t> map;
    if (!readSystemPage({header.pagesMapOffset, header.pagesMapCompressed,
                         header.pagesMapUncompressed, header.pagesMapCorrection,
                         header.pagesMapCrcCompressed, header.pagesMapCrcUncompressed, "page map"},
                        map))
        return false;
    if (!parsePageMap(map)) return false;
    const auto it = pages_.find(header.sectionsMapId);
    if (it == pages_.end()) return fail("the section map is missing from the page map");
    if (!readSystemPage(
            {it->second.address - kPagesBase, header.sectionsMapCompressed,
             header.sectionsMapUncompressed, header.sectionsMapCorrection,
             header.sectionsMapCrcCompressed, header.sectionsMapCrcUncompressed, "section map"},
            map))
        return false;
    return parseSectionMap(map);
}

// The header page holds three interleaved Reed-Solomon blocks. Their data repeats one
// record (check values, sizes, the compressed header) as often as it fits, so a copy
// whose CRC fails can be replaced by the next one. Returns 0 when no record decodes,
// 1 when one decodes but fails its CRC, 2 when one passes its CRC.
int Container2007::decodeHeaderPage(const std::uint8_t* page, std::uint8_t* fields) {
    const ReedSolomon& code = ReedSolomon::systemPages();
    std::vector<std::uint8_t> decoded(kHeaderBlocks * code.dataSize());
    const auto stats = code.decodeInterleaved(page, kHeaderBlocks, decoded.data());
    corrected_ += stats.corrected;
    headerBlocksFailed_ += stats.failed;

    // Records start at multiples of their own padded length. The first one whose CRC
    // holds wins; failing that, the first that decodes at all.
    int quality = 0;
    for (std::size_t at = 0; quality < 2 && at + 0x20 <= decoded.size(); at += 8) {
        const std::uint8_t* rec = decoded.data() + at;
        const auto stored = static_cast<std::int32_t>(le32(rec + 0x18));
        const std::uint64_t length =
            stored < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(stored))
                       : static_cast<std::uint64_t>(stored);
        if (length == 0 || length > decoded.size() - at - 0x20 || at % align8(0x20 + length) != 0)
            continue;
        const std::uint8_t* body = rec + 0x20;
        const bool crcOk =
            crc64::normal(crc64::updateSeed2(0, length), body, length) == le64(rec + 0x10);
        if (!crcOk && (quality > 0 || at != 0)) continue;
        std::uint8_t candidate[kHeaderDataSize] = {};
        bool ok = true;
        if (stored < 0) {
            std::memcpy(candidate, body, std::min<std::uint64_t>(length, kHeaderDataSize));
        } else {
            const auto r = lz2007::decompress(body, length, candidate, kHeaderDataSize);
            ok = r.ok && r.written == kHeaderDataSize;
        }
        if (!ok) continue;
        std::memcpy(fields, candidate, kHeaderDataSize);
        quality = crcOk ? 2 : 1;
    }
    return quality;
}

// The header page at 0x80 is repeated as the last page of the file.
bool Container2007::readFileHeader(Header& header) {
    std::uint8_t fields[kHeaderDataSize] = {};
    int quality = decodeHeaderPage(data_ + kHeaderAt, fields);
    if (headerBlocksFailed_ != 0) warn("the file header has errors its codes cannot mend");
    if (quality < 2 && size_ >= 2 * kHeaderPage + kHeaderAt) {
        std::uint8_t copy[kHeaderDataSize] = {};
        const int copyQuality = decodeHeaderPage(data_ + size_ - kHeaderPage, copy);
        if (copyQuality > quality) {
            std::memcpy(fields, copy, kHeaderDataSize);
            quality = copyQuality;
            warn("the copy of the file header at the end of the file was used");
        }
    }
    if (quality == 0) return fail("the file header is damaged beyond repair");
    if (quality == 1) warn("the file header CRC does not match");

    crcSeed_ = le64(fields + 0xF0);
    header.pagesMapCorrection = le64(fields + 0x18);
    header.pagesMapOffset = le64(fields + 0x38);
    header.pagesMapCompressed = le64(fields + 0x50);
    header.pagesMapUncompressed = le64(fields + 0x58);
    header.sectionsMapCompressed = le64(fields + 0xB0);
    header.sectionsMapId = le64(fields + 0xC0);
    header.sectionsMapUncompressed = le64(fields + 0xC8);
    header.sectionsMapCorrection = le64(fields + 0xD8);
    header.pagesMapCrcCompressed = le64(fields + 0x10);
    header.pagesMapCrcUncompressed = le64(fields + 0x80);
    header.sectionsMapCrcUncompressed = le64(fields + 0xA8);
    header.sectionsMapCrcCompressed = le64(fields + 0xD0);
    return true;
}

// A system page holds its (compressed) data, padded to 8 bytes and repeated `factor`
// times, coded as interleaved Reed-Solomon blocks of 239 data bytes.
bool Container2007::readSystemPage(const SystemPage& page, std::vector<std::uint8_t>& out) {
    out.clear();
    const std::string what = describe(page.what);
    if (page.compressedSize == 0 || page.compressedSize > kMaxSystemPage ||
        page.uncompressedSize > kMaxSystemPage || page.factor == 0 || page.factor > 0x100)
        return fail(what + " has impossible sizes");
    const ReedSolomon& code = ReedSolomon::systemPages();
    const std::uint64_t padded = align8(page.compressedSize);
    const std::uint64_t blocks = (padded * page.factor + code.dataSize() - 1) / code.dataSize();
    const container::ByteView file{data_, size_};
    const std::uint64_t address = kPagesBase + page.offset;
    if (page.offset > size_ || !file.has(address, blocks * ReedSolomon::kBlockSize))
        return fail(what + " lies outside the file");
    std::vector<std::uint8_t> decoded(blocks * code.dataSize());
    const auto stats = code.decodeInterleaved(data_ + address, blocks, decoded.data());
    corrected_ += stats.corrected;
    if (stats.failed != 0) warn(what + " has errors its codes cannot mend");

    // The data is repeated `factor` times: take the first copy whose CRC holds, so a
    // block the codes could not mend costs only the copies inside it.
    const auto length = static_cast<std::size_t>(page.compressedSize);
    const std::uint64_t seed = crc64::updateSeed1(crcSeed_, length);
    const std::uint8_t* body = decoded.data();
    bool crcOk = false;
    for (std::uint64_t k = 0; k < page.factor && (k + 1) * padded <= decoded.size(); ++k) {
        const std::uint8_t* copy = decoded.data() + k * padded;
        if (crc64::mirrored(seed, copy, length) == page.crcCompressed) {
            body = copy;
            crcOk = true;
            break;
        }
    }
    if (!crcOk) warn(what + " fails its CRC");
    if (page.compressedSize >= page.uncompressedSize) {
        out.assign(body, body + std::min<std::uint64_t>(length, page.uncompressedSize));
    } else {
        out.assign(static_cast<std::size_t>(page.uncompressedSize), 0);
        const auto r = lz2007::decompress(body, length, out.data(), out.size());
        if (!r.ok) return fail(what + " is damaged: " + r.error);
        if (r.written != out.size()) {
            warn(what + " decodes short");
            out.resize(r.written);
        }
    }
    if (crcOk && crc64::mirrored(crc64::updateSeed1(crcSeed_, out.size()), out.data(),
                                 out.size()) != page.crcUncompressed)
        warn(what + " fails its CRC after decompression");
    return true;
}

bool Container2007::parsePageMap(const std::vector<std::uint8_t>& map) {
    std::uint64_t offset = 0;
    for (std::size_t pos = 0; pos + 16 <= map.size(); pos += 16) {
        const std::uint64_t size = le64(map.data() + pos);
        const auto id = static_cast<std::int64_t>(le64(map.data() + pos + 8));
        const std::uint64_t index =
            id < 0 ? 0ull - static_cast<std::uint64_t>(id) : static_cast<std::uint64_t>(id);
        pages_[index] = {kPagesBase + offset, size};
        offset += size;
        if (offset > size_) break;  // nothing further can lie in the file
    }
    if (pages_.empty()) return fail("the page map is empty");
    return true;
}

bool Container2007::parseSectionMap(const std::vector<std::uint8_t>& map) {
    std::size_t pos = 0;
    while (pos + kSectionEntrySize <= map.size()) {
        const std::uint8_t* e = map.data() + pos;
        Section2007Info s;
        s.size = le64(e);
        s.maxPageSize = le64(e + 0x08);
        s.encrypted = le64(e + 0x10);
        const std::uint64_t nameLength = le64(e + 0x20);
        s.encoding = le64(e + 0x30);
        const std::uint64_t pageCount = le64(e + 0x38);
        pos += kSectionEntrySize;
        // The name is UTF-16 with its terminating zero; its length counts bytes.
        if (nameLength > 512 || nameLength > map.size() - pos) {
            warn("the section map is truncated");
            break;
        }
        for (std::uint64_t i = 0; i + 1 < nameLength; i += 2) {
            const std::uint16_t c = container::le16(map.data() + pos + i);
            if (c == 0) break;
            s.name.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        }
        const std::uint64_t nameBytes = nameLength;
        pos += static_cast<std::size_t>(nameBytes);
        if (pageCount > (map.size() - pos) / kPageEntrySize) {
            warn("the page list of section \"" + s.name + "\" is truncated");
            break;
        }
        for (std::uint64_t k = 0; k < pageCount; ++k, pos += kPageEntrySize) {
            const std::uint8_t* p = map.data() + pos;
            Section2007Info::Page page;
            page.offset = le64(p);
            page.id = le64(p + 0x10);
            page.uncompressedSize = le64(p + 0x18);
            page.compressedSize = le64(p + 0x20);
            page.checksum = le64(p + 0x28);
            page.crc = le64(p + 0x30);
            s.pages.push_back(page);
        }
        sections_.push_back(std::move(s));
    }
    if (sections_.empty()) return fail("the section map is empty");
    return true;
}

const Section2007Info* Container2007::findSection(std::string_view name) const {
    for (const auto& s : sections_)
        if (s.name == name) return &s;
    return nullptr;
}

std::pair<std::uint64_t, std::uint64_t> Container2007::pageLocation(std::uint64_t id) const {
    const auto it = pages_.find(id);
    if (it == pages_.end()) return {0, 0};
    return {it->second.address, it->second.size};
}

bool Container2007::readSection(std::string_view name, std::vector<std::uint8_t>& out,
                                bool* complete) {
    out.clear();
    if (complete) *complete = false;
    const Section2007Info* s = findSection(name);
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

bool Container2007::readDataPage(const Section2007Info& section, const Section2007Info::Page& page,
                                 std::vector<std::uint8_t>& out) {
    const std::string where = "page " + std::to_string(page.id) + " of \"" + section.name + "\"";
    const auto it = pages_.find(page.id);
    if (it == pages_.end()) return fail(where + " is missing from the page map");
    if (page.compressedSize == 0 || page.compressedSize > kMaxDataPage ||
        page.uncompressedSize > kMaxDataPage)
        return fail(where + " has impossible sizes");
    const container::ByteView file{data_, size_};
    const std::uint64_t address = it->second.address;
    const auto length = static_cast<std::size_t>(page.compressedSize);
    const std::uint8_t* stored = nullptr;
    if (section.encoding == 4) {
        // Interleaved Reed-Solomon blocks of 251 data bytes.
        const ReedSolomon& code = ReedSolomon::dataPages();
        const std::uint64_t blocks =
            (align8(page.compressedSize) + code.dataSize() - 1) / code.dataSize();
        if (!file.has(address, blocks * ReedSolomon::kBlockSize))
            return fail(where + " lies outside the file");
        scratch_.assign(static_cast<std::size_t>(blocks * code.dataSize()), 0);
        const auto stats = code.decodeInterleaved(data_ + address, blocks, scratch_.data());
        corrected_ += stats.corrected;
        if (stats.failed != 0) warn(where + " has errors its codes cannot mend");
        stored = scratch_.data();
    } else {
        // The small sections written with encoding 1 are stored as they are.
        if (!file.has(address, length)) return fail(where + " lies outside the file");
        stored = data_ + address;
    }
    if (crc64::mirrored(crc64::updateSeed1(crcSeed_, length), stored, length) != page.crc)
        warn(where + " fails its CRC");

    if (page.offset >= out.size()) return fail(where + " starts past the end of the section");
    const auto start = static_cast<std::size_t>(page.offset);
    const std::size_t capacity =
        std::min<std::size_t>(out.size() - start, static_cast<std::size_t>(page.uncompressedSize));
    std::size_t written = 0;
    if (page.compressedSize >= page.uncompressedSize) {
        written = std::min(capacity, length);
        std::memcpy(out.data() + start, stored, written);
    } else {
        const auto r = lz2007::decompress(stored, length, out.data() + start, capacity);
        if (!r.ok) return fail(where + ": " + r.error);
        written = r.written;
        if (written != capacity)
            warn(where + " decodes short (" + std::to_string(written) + " bytes)");
    }
    if (written == page.uncompressedSize &&
        checksum::page2007(0, out.data() + start, written) != page.checksum)
        warn(where + " fails its checksum");
    return true;
}

RawSections readSections2007(const std::uint8_t* data, std::size_t size, std::string* error) {
    RawSections result;
    Container2007 c;
    std::string message;
    if (c.open(data, size)) {
        const bool ok = c.readSection("AcDb:Header", result.header) &&
                        c.readSection("AcDb:Classes", result.classes) &&
                        c.readSection("AcDb:Handles", result.handles) &&
                        c.readSection("AcDb:AcDbObjects", result.objects);
        if (ok) {
            result.version = Version::R2007;
            result.magic = c.magic();
            result.maintenanceVersion = c.maintenanceVersion();
            result.codePage = c.codePage();
            result.warnings = c.warnings();
        }
        message = c.error();
    } else {
        message = c.error();
    }
    if (!message.empty()) result = RawSections();
    if (error) *error = message;
    return result;
}

}  // namespace dwg
