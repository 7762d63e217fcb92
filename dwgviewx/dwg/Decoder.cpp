#include "dwgviewx/dwg/Decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>

#include "dwgviewx/dwg/Assembler.h"
#include "dwgviewx/dwg/Classes.h"
#include "dwgviewx/dwg/CodePage.h"
#include "dwgviewx/dwg/Crc.h"
#include "dwgviewx/dwg/DecodedObject.h"
#include "dwgviewx/dwg/FlatContainer.h"
#include "dwgviewx/dwg/HeaderVariables.h"
#include "dwgviewx/dwg/ObjectMap.h"

#if __has_include("dwgviewx/dwg/Container2004.h")
#include "dwgviewx/dwg/Container2004.h"
#define ORVANE_HAVE_CONTAINER2004 1
#endif
#if __has_include("dwgviewx/dwg/Container2007.h")
#include "dwgviewx/dwg/Container2007.h"
#define ORVANE_HAVE_CONTAINER2007 1
#endif

namespace dwg {

namespace {

Result<RawSections> readPaged(std::span<const std::uint8_t> file, Version v,
                              const std::string& magic) {
    std::string error;
    RawSections s;
    bool available = false;
#ifdef ORVANE_HAVE_CONTAINER2004
    if (v != Version::R2007) {
        s = readSections2004(file.data(), file.size(), &error);
        available = true;
    }
#endif
#ifdef ORVANE_HAVE_CONTAINER2007
    if (v == Version::R2007) {
        s = readSections2007(file.data(), file.size(), &error);
        available = true;
    }
#endif
    if (!available) return Result<RawSections>::failure("unsupported version " + magic);
    if (s.version == Version::Unknown)
        return Result<RawSections>::failure(error.empty() ? "file is damaged" : error);
    return s;
}

void note(DecodeReport& r, std::string message) {
    if (r.messages.size() < Limits::kMaxReportMessages) r.messages.push_back(std::move(message));
}

std::string hex(Handle h) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(h));
    return buf;
}

// Decodes one object at `offset` of `buf`; problems are recorded in `out` and `report`.
void decodeObject(std::span<const std::uint8_t> buf, std::uint64_t offset, Handle expected,
                  Version v, const ClassTable& classes, CodePageConverter& cp, DecodeReport& report,
                  DecodedObject& out) {
    out.head.handle = expected;
    if (offset >= buf.size()) {
        out.broken = true;
        note(report, "object " + hex(expected) + " lies outside the file");
        return;
    }
    const std::uint8_t* p = buf.data() + offset;
    const std::size_t avail = buf.size() - offset;
    // Size (MS), then for R2010+ the handle stream size (MC), then the data, then a CRC
    // over all of it.
    BitReader sizeReader(p, std::min<std::size_t>(avail, 16), v);
    const std::uint32_t size = sizeReader.MS();
    const std::uint64_t handleBits = v >= Version::R2010 ? sizeReader.MC() : 0;
    const std::size_t prefix = sizeReader.position() / 8;
    if (sizeReader.failed() || size == 0 || size > Limits::kMaxObjectBytes ||
        size > avail - prefix) {
        out.broken = true;
        note(report, "object " + hex(expected) + " has a bad size");
        return;
    }
    if (prefix + size + 2 <= avail) {
        const std::uint16_t stored = p[prefix + size] | (p[prefix + size + 1] << 8);
        if (crc16(0xC0C1, p, prefix + size) != stored) ++report.checksumMismatches;
    }
    ObjectReader r(p + prefix, size, v, classes, cp);
    const bool headOk = r.begin(handleBits);
    out.head = r.head();
    if (!headOk) {
        out.broken = true;
        note(report, "object " + hex(expected) + " (" + out.head.typeName + "): " + r.error());
        return;
    }
    if (out.head.handle != expected) {
        // The map and the object disagree; trust the map, which the owners refer to.
        out.head.handle = expected;
    }
    const bool ok = out.head.isEntity ? decodeEntity(r, out) : decodeTableObject(r, out);
    if (!ok) {
        out.broken = true;
        out.payload = std::monostate{};
        note(report, "object " + hex(expected) + " (" + out.head.typeName + ") is damaged");
    }
}

}  // namespace

Version versionFromMagic(std::string_view magic) {
    if (magic == "AC1012") return Version::R13;
    if (magic == "AC1014") return Version::R14;
    if (magic == "AC1015") return Version::R2000;
    if (magic == "AC1018") return Version::R2004;
    if (magic == "AC1021") return Version::R2007;
    if (magic == "AC1024") return Version::R2010;
    if (magic == "AC1027") return Version::R2013;
    if (magic == "AC1032") return Version::R2018;
    return Version::Unknown;
}

Result<RawSections> readSections(std::span<const std::uint8_t> file) {
    if (file.size() < 6 || std::memcmp(file.data(), "AC", 2) != 0)
        return Result<RawSections>::failure("not a DWG file");
    const std::string magic(reinterpret_cast<const char*>(file.data()), 6);
    for (char c : magic.substr(2)) {
        if (c < '0' || c > '9') return Result<RawSections>::failure("not a DWG file");
    }
    const Version v = versionFromMagic(magic);
    if (v == Version::Unknown) return Result<RawSections>::failure("unsupported version " + magic);
    if (file.size() > Limits::kMaxFileBytes)
        return Result<RawSections>::failure("file is too large");
    if (v <= Version::R2000) return readFlatSections(file, v);
    return readPaged(file, v, magic);
}

namespace {

Result<Drawing> decodeBytes(std::span<const std::uint8_t> file) {
    auto sections = readSections(file);
    if (!sections) return Result<Drawing>::failure(sections.error());
    RawSections& s = sections.value();
    Drawing d;
    d.report.warnings = s.warnings;
    readHeaderVariables(s, d.header, d.report.warnings);
    if (d.header.codePage == 0) d.header.codePage = s.codePage;
    CodePageConverter cp(d.header.codePage ? d.header.codePage : s.codePage);
    const ClassTable classes = readClasses(s, cp, d.report.warnings);
    const auto map = readObjectMap(s.handles, d.report.warnings);
    if (map.empty()) return Result<Drawing>::failure("file is damaged: the object map is empty");

    const std::span<const std::uint8_t> objects =
        s.version <= Version::R2000 ? file : std::span<const std::uint8_t>(s.objects);
    // Each object is handed to the assembler as soon as it is decoded: holding all of
    // them first would double the memory a large drawing needs. No object is smaller
    // than about 8 bytes; a map naming more objects than that points several at the
    // same bytes, and is not worth reserving for.
    Assembler assembler(d, std::min<std::size_t>(map.size(), objects.size() / 8 + 1));
    for (const ObjectLocation& at : map) {
        DecodedObject o;
        decodeObject(objects, at.offset, at.handle, s.version, classes, cp, d.report, o);
        assembler.add(std::move(o));
    }
    assembler.finish();
    return d;
}

Result<Drawing> outOfMemory() {
    return Result<Drawing>::failure("not enough memory to open the drawing");
}

}  // namespace

Result<Drawing> readBytes(std::span<const std::uint8_t> file) {
    // A drawing larger than the memory left is an error like any other, not the end of
    // the program: what was allocated for it is released on the way out.
    try {
        return decodeBytes(file);
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
}

Result<Drawing> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return Result<Drawing>::failure("cannot open " + path);
    const std::streamoff size = in.tellg();
    if (size < 0) return Result<Drawing>::failure("cannot read " + path);
    if (static_cast<std::uint64_t>(size) > Limits::kMaxFileBytes)
        return Result<Drawing>::failure("file is too large");
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return Result<Drawing>::failure("cannot read " + path);
    return readBytes(bytes);
}

}  // namespace dwg
