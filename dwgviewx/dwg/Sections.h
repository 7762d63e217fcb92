#pragma once
// The raw sections of a DWG file, as the container readers hand them to the object
// decoder. R13-R2000 files are flat: their sections are slices of the file and the
// object map's offsets are file offsets. R2004 and later files are paged and
// compressed: each section is reassembled here and the object map's offsets are
// offsets into `objects`. Plain C++, no Qt.
#include <cstdint>
#include <string>
#include <vector>

namespace dwg {

enum class Version {
    Unknown,
    R13,    // AC1012
    R14,    // AC1014
    R2000,  // AC1015
    R2004,  // AC1018
    R2007,  // AC1021
    R2010,  // AC1024
    R2013,  // AC1027
    R2018,  // AC1032
};

struct RawSections {
    Version version = Version::Unknown;
    std::string magic;                 // "AC1015", ...
    int maintenanceVersion = 0;
    int codePage = 0;                  // from the file header (R2004+: also the header variable)
    std::vector<std::uint8_t> header;  // header variables section, starting at its sentinel
                                       // (flat files) or its first byte (paged files)
    std::vector<std::uint8_t> classes; // classes section, likewise
    std::vector<std::uint8_t> handles; // the object map ("AcDb:Handles")
    std::vector<std::uint8_t> objects; // "AcDb:AcDbObjects" (paged files); empty for flat files,
                                       // whose object map points into the whole file
    std::vector<std::string> warnings; // recoverable problems (a bad checksum, a damaged page)
};

}  // namespace dwg
