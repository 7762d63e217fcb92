#pragma once
// The container of R2007 (AC1021) files: the Reed-Solomon coded file header, the page
// map and section map (system pages), and the reassembly of data pages (Reed-Solomon
// coded, optionally compressed) into whole sections. Plain C++, no Qt.
//
// Damage the codes can mend is mended silently; damage they cannot mend, checksum and
// CRC mismatches, and a page that decodes short become warnings. Only what makes a
// requested section unreadable is an error.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "Sections.h"

namespace dwg {

/// One entry of the R2007 section map.
struct Section2007Info {
    std::string name;               // "AcDb:Header", ...
    std::uint64_t size = 0;         // bytes of the reassembled section
    std::uint64_t maxPageSize = 0;  // decompressed bytes per page
    std::uint64_t encrypted = 0;
    std::uint64_t encoding = 0;  // 4 = interleaved Reed-Solomon blocks, 1 = stored as is
    struct Page {
        std::uint64_t offset = 0;  // where the page's bytes go in the section
        std::uint64_t id = 0;      // index into the page map
        std::uint64_t uncompressedSize = 0;
        std::uint64_t compressedSize = 0;
        std::uint64_t checksum = 0;
        std::uint64_t crc = 0;
    };
    std::vector<Page> pages;
};

/// Reader over a whole R2007 file image. The image is borrowed: it must outlive the
/// reader and stay unchanged. Not thread-safe; use one reader per thread.
class Container2007 {
public:
    /// Largest section the reader will reassemble (bytes); larger claims are refused.

    /// Reads the file header, the page map and the section map. On false, error() says
    /// why and no section can be read.
    bool open(const std::uint8_t* data, std::size_t size);

    /// Reassembles the named section into `out` (`size` bytes; pages the file leaves out
    /// are zeros). A page that cannot be decoded stays zero and adds a warning;
    /// `*complete` (when given) tells whether every page decoded. Returns false, with
    /// error() saying why, when the section is missing, encrypted or impossibly large.
    bool readSection(std::string_view name, std::vector<std::uint8_t>& out,
                     bool* complete = nullptr);

    const Section2007Info* findSection(std::string_view name) const;
    const std::vector<Section2007Info>& sections() const { return sections_; }
    /// File offset and stored size of a page of the page map; {0, 0} when unknown.
    std::pair<std::uint64_t, std::uint64_t> pageLocation(std::uint64_t id) const;
    const std::string& error() const { return error_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    /// Reed-Solomon blocks mended so far (in the file header, maps and read pages).
    std::size_t correctedBlocks() const { return corrected_; }

    const std::string& magic() const { return magic_; }
    int maintenanceVersion() const { return maintenance_; }
    int codePage() const { return codePage_; }

private:
    struct Header;
    struct SystemPage {
        std::uint64_t offset = 0;  // relative to the first page (file offset 0x480)
        std::uint64_t compressedSize = 0;
        std::uint64_t uncompressedSize = 0;
        std::uint64_t factor = 0;  // how often the data is repeated before coding
        std::uint64_t crcCompressed = 0;
        std::uint64_t crcUncompressed = 0;
        const char* what = "";
    };
    struct PageLocation {
        std::uint64_t address = 0;
        std::uint64_t size = 0;
    };

    bool readFileHeader(Header& header);
    int decodeHeaderPage(const std::uint8_t* page, std::uint8_t* fields);
    bool readSystemPage(const SystemPage& page, std::vector<std::uint8_t>& out);
    bool parsePageMap(const std::vector<std::uint8_t>& map);
    bool parseSectionMap(const std::vector<std::uint8_t>& map);
    bool readDataPage(const Section2007Info& section, const Section2007Info::Page& page,
                      std::vector<std::uint8_t>& out);
    bool fail(std::string message);
    void warn(std::string message);

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::string magic_;
    int maintenance_ = 0;
    int codePage_ = 0;
    std::map<std::uint64_t, PageLocation> pages_;
    std::vector<Section2007Info> sections_;
    std::vector<std::uint8_t> scratch_;
    std::size_t corrected_ = 0;
    std::uint64_t crcSeed_ = 0;  // the file's seed for page CRCs
    std::size_t headerBlocksFailed_ = 0;
    std::string error_;
    std::vector<std::string> warnings_;
};

/// Reads the four sections the object decoder needs ("AcDb:Header", "AcDb:Classes",
/// "AcDb:Handles", "AcDb:AcDbObjects") from an R2007 file image.
/// On success returns them with `version` (Version::R2007), `magic`,
/// `maintenanceVersion` and `codePage` set and `warnings` listing recoverable damage;
/// `*error` is cleared. On failure returns a value whose `version` is Version::Unknown
/// and sets `*error` to a message for the user. `error` may be null. Thread-safe.
RawSections readSections2007(const std::uint8_t* data, std::size_t size, std::string* error);

}  // namespace dwg
