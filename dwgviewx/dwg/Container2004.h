#pragma once
// The paged container of R2004-family files (AC1018 R2004, AC1024 R2010, AC1027 R2013,
// AC1032 R2018): the encrypted file header, the section page map, the section map and
// the reassembly of LZ77-compressed pages into whole sections. Plain C++, no Qt.
//
// Damage that still leaves the data readable (a checksum or CRC mismatch, a page header
// that disagrees with the map, a page that decodes short) becomes a warning; only what
// makes a requested section unreadable is an error.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Sections.h"

namespace dwg {

/// One entry of the section map.
struct PagedSectionInfo {
    std::string name;               // "AcDb:Header", ... (empty for the unnamed first section)
    std::uint64_t size = 0;         // bytes of the reassembled section
    std::uint32_t maxPageSize = 0;  // decompressed bytes per page (normally 0x7400)
    std::uint32_t compressed = 0;   // 1 = stored, 2 = LZ77-compressed
    std::uint32_t id = 0;
    std::uint32_t encrypted = 0;  // 0 = no, 1 = yes, 2 = unknown
    struct Page {
        std::int32_t number = 0;  // index into the section page map
        std::uint32_t dataSize = 0;
        std::uint64_t startOffset = 0;
    };
    std::vector<Page> pages;
};

/// Reader over a whole R2004-family file image. The image is borrowed: it must outlive
/// the reader and stay unchanged. Not thread-safe; use one reader per thread.
class Container2004 {
public:
    /// Largest section the reader will reassemble (bytes); larger claims are refused.

    /// Reads and checks the file header, the page map and the section map. On false,
    /// error() says why and no section can be read.
    bool open(const std::uint8_t* data, std::size_t size);

    /// Reassembles the named section into `out` (its decompressed bytes, `size` of them;
    /// pages the file leaves out are zeros). A page that cannot be decoded stays zero and
    /// adds a warning; `*complete` (when given) tells whether every page decoded.
    /// Returns false, with error() saying why, when the section is missing, encrypted or
    /// claims an impossible size.
    bool readSection(std::string_view name, std::vector<std::uint8_t>& out,
                     bool* complete = nullptr);

    const PagedSectionInfo* findSection(std::string_view name) const;
    const std::vector<PagedSectionInfo>& sections() const { return sections_; }
    /// File offset of a page of the section page map, 0 when the map has no such page.
    std::uint64_t pageAddress(std::int32_t number) const;
    const std::string& error() const { return error_; }
    const std::vector<std::string>& warnings() const { return warnings_; }

    Version version() const { return version_; }
    const std::string& magic() const { return magic_; }
    int maintenanceVersion() const { return maintenance_; }
    int codePage() const { return codePage_; }
    std::uint32_t securityFlags() const { return securityFlags_; }

private:
    struct PageLocation {
        std::uint64_t address = 0;
        std::uint64_t size = 0;
    };
    struct HeaderData {
        std::uint64_t pageMapAddress = 0;
        std::uint32_t sectionMapId = 0;
    };

    bool readFileHeader(HeaderData& out);
    bool decodeHeaderBlock(const std::uint8_t* raw, HeaderData& out, std::string& why) const;
    static void takeFields(const std::uint8_t* block, HeaderData& out);
    bool readSystemPage(std::uint64_t address, std::uint32_t type, const char* what,
                        std::vector<std::uint8_t>& out);
    bool parsePageMap(const std::vector<std::uint8_t>& map);
    bool parseSectionMap(const std::vector<std::uint8_t>& map);
    bool readDataPage(const PagedSectionInfo& section, const PagedSectionInfo::Page& page,
                      std::vector<std::uint8_t>& out);
    bool fail(std::string message);
    void warn(std::string message);

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    Version version_ = Version::Unknown;
    std::string magic_;
    int maintenance_ = 0;
    int codePage_ = 0;
    std::uint32_t securityFlags_ = 0;
    std::map<std::int32_t, PageLocation> pages_;
    std::vector<PagedSectionInfo> sections_;
    std::vector<std::uint8_t> scratch_;  // one decompressed page
    std::string error_;
    std::vector<std::string> warnings_;
};

/// Reads the four sections the object decoder needs ("AcDb:Header", "AcDb:Classes",
/// "AcDb:Handles", "AcDb:AcDbObjects") from an R2004-family file image.
/// On success returns them with `version`, `magic`, `maintenanceVersion` and `codePage`
/// set and `warnings` listing recoverable damage; `*error` is cleared.
/// On failure returns a value whose `version` is Version::Unknown and sets `*error` to a
/// message for the user. `error` may be null. Thread-safe (no shared state).
RawSections readSections2004(const std::uint8_t* data, std::size_t size, std::string* error);

}  // namespace dwg
