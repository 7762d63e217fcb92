#include "dwgviewx/writer/DwgWriter.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "dwgviewx/dwg/Crc.h"
#include "dwgviewx/writer/SecondHeader.h"
#include "dwgviewx/writer/WriterContext.h"

namespace dwg::writer {

namespace {

constexpr std::uint8_t kFileHeaderEnd[16] = {0x95, 0xA0, 0x4E, 0x28, 0x99, 0x82, 0x1A, 0xE5,
                                             0x5E, 0x41, 0xE0, 0x5F, 0x9D, 0x3A, 0x4D, 0x00};
constexpr std::size_t kLocatorCount = 5;
constexpr std::size_t kFileHeaderSize = 0x19 + kLocatorCount * 9 + 2 + 16;
constexpr std::size_t kMapPageLimit = 2032;

void putLE32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

using Span = SectionSpan;

// What the second header repeats of the file header and the tables.
std::vector<std::uint8_t> secondHeaderFor(const WriterContext& ctx,
                                          const std::vector<std::uint8_t>& file,
                                          const Span (&spans)[kLocatorCount]) {
    SecondHeaderInput in;
    in.fileHeader = file.data();
    // Files of this version repeat the first four locators and leave the last empty.
    in.sections.assign(spans, spans + kLocatorCount - 1);
    in.sections.push_back({});
    in.location = static_cast<std::uint32_t>(file.size());
    in.handles = {ctx.handleSeed(),       fixed::BlockControl, fixed::LayerControl,
                  fixed::StyleControl,    fixed::LTypeControl, fixed::ViewControl,
                  fixed::UcsControl,      fixed::VportControl, fixed::AppIdControl,
                  fixed::DimStyleControl, fixed::VxControl,    fixed::NamedObjects,
                  fixed::MLineStyleDict,  fixed::GroupDict};
    return secondHeader(in);
}

// Pages of (handle delta, offset delta) pairs, each restarting from zero, ending with
// an empty page.
std::vector<std::uint8_t> objectMap(const std::vector<std::pair<Handle, std::uint64_t>>& where) {
    std::vector<std::uint8_t> out;
    auto closePage = [&](const std::vector<std::uint8_t>& data) {
        const std::size_t start = out.size();
        const std::size_t size = data.size() + 2;
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.push_back(static_cast<std::uint8_t>(size & 0xFF));
        out.insert(out.end(), data.begin(), data.end());
        const std::uint16_t crc = crc16(0xC0C1, out.data() + start, size);
        out.push_back(static_cast<std::uint8_t>(crc >> 8));
        out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    };
    BitWriter page;
    Handle lastHandle = 0;
    std::int64_t lastOffset = 0;
    for (const auto& [h, offset] : where) {
        BitWriter entry;
        entry.MC(h - lastHandle);
        entry.MCSigned(static_cast<std::int64_t>(offset) - lastOffset);
        if (page.bytes().size() + entry.bytes().size() + 2 > kMapPageLimit) {
            closePage(page.bytes());
            page = BitWriter();
            lastHandle = 0;
            lastOffset = 0;
            entry = BitWriter();
            entry.MC(h);
            entry.MCSigned(static_cast<std::int64_t>(offset));
        }
        page.rawBytes(entry.bytes().data(), entry.bytes().size());
        lastHandle = h;
        lastOffset = static_cast<std::int64_t>(offset);
    }
    if (!page.bytes().empty()) closePage(page.bytes());
    closePage({});
    return out;
}

// The 53-byte section that follows the object map in files of this layout.
std::vector<std::uint8_t> unknownSection(std::uint32_t mapEntries, std::uint32_t objectsStart) {
    static constexpr std::uint8_t kKnown[45] = {
        0xA7, 0x62, 0x25, 0x00, 0xF6, 0xAF, 0x25, 0x02, 0x3B, 0x04, 0x00, 0x00, 0x04, 0x32, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    std::vector<std::uint8_t> out(8, 0);
    putLE32(out, 4, mapEntries + 3);
    out.insert(out.end(), kKnown, kKnown + 45);
    putLE32(out, 16, objectsStart);
    return out;
}

}  // namespace

Result<std::vector<std::uint8_t>> writeR2000(const Drawing& drawing, WriteStats* stats) {
    WriterContext ctx(drawing);
    writeBlocks(ctx);
    writeTables(ctx);
    writeViewports(ctx);
    writeDimStyle(ctx);
    writeLayouts(ctx);
    writeStandardObjects(ctx);
    const std::vector<std::uint8_t> header = headerSection(ctx);
    const std::vector<std::uint8_t> classes = classesSection();

    std::vector<std::uint8_t> file(kFileHeaderSize, 0);
    const char magic[] = "AC1015";
    for (int i = 0; i < 6; ++i) file[i] = static_cast<std::uint8_t>(magic[i]);
    file[0x0C] = 1;
    file[0x13] = static_cast<std::uint8_t>(ctx.codePage() & 0xFF);
    file[0x14] = static_cast<std::uint8_t>(ctx.codePage() >> 8);
    putLE32(file, 0x15, kLocatorCount);

    Span spans[kLocatorCount];
    auto append = [&](const std::vector<std::uint8_t>& part, Span& span) {
        span.offset = static_cast<std::uint32_t>(file.size());
        span.size = static_cast<std::uint32_t>(part.size());
        file.insert(file.end(), part.begin(), part.end());
    };
    append(header, spans[0]);
    append(classes, spans[1]);
    file.insert(file.end(), 0x200, 0);  // padding older readers expect

    const auto objectsStart = static_cast<std::uint32_t>(file.size());
    const std::vector<WriterContext::StoredObject> objects = ctx.objectsByHandle();
    const std::vector<std::uint8_t>& pool = ctx.objectBytes();
    file.reserve(file.size() + pool.size() + objects.size() * 4 + 4096);
    std::vector<std::pair<Handle, std::uint64_t>> where;
    where.reserve(objects.size());
    for (const auto& o : objects) {
        where.emplace_back(o.handle, file.size());
        const auto from = pool.begin() + static_cast<std::ptrdiff_t>(o.offset);
        file.insert(file.end(), from, from + static_cast<std::ptrdiff_t>(o.size));
    }
    if (file.size() > 0x7FFFFFFF)
        return Result<std::vector<std::uint8_t>>::failure("drawing too large for this format");
    append(objectMap(where), spans[2]);
    append(unknownSection(static_cast<std::uint32_t>(where.size()), objectsStart), spans[3]);
    const std::vector<std::uint8_t> second = secondHeaderFor(ctx, file, spans);
    file.insert(file.end(), second.begin(), second.end());
    append({0, 0, 1, 0}, spans[4]);  // template: no description, metric measurement

    for (std::size_t i = 0; i < kLocatorCount; ++i) {
        const std::size_t at = 0x19 + i * 9;
        file[at] = static_cast<std::uint8_t>(i);
        putLE32(file, at + 1, spans[i].offset);
        putLE32(file, at + 5, spans[i].size);
    }
    const std::size_t crcAt = 0x19 + kLocatorCount * 9;
    const std::uint16_t crc = crc16(0, file.data(), crcAt) ^ 0x3CC4;  // five locators
    file[crcAt] = static_cast<std::uint8_t>(crc & 0xFF);
    file[crcAt + 1] = static_cast<std::uint8_t>(crc >> 8);
    for (int i = 0; i < 16; ++i) file[crcAt + 2 + i] = kFileHeaderEnd[i];

    if (stats) {
        stats->objects = static_cast<int>(where.size());
        stats->entities = ctx.entities;
        stats->skippedEntities = ctx.skippedEntities;
    }
    return file;
}

std::string writeR2000File(const Drawing& drawing, const std::string& path, WriteStats* stats) {
    auto bytes = writeR2000(drawing, stats);
    if (!bytes) return bytes.error();
    const std::string temp = path + ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return "cannot write " + path;
        out.write(reinterpret_cast<const char*>(bytes->data()),
                  static_cast<std::streamsize>(bytes->size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temp.c_str());
            return "cannot write " + path + " (disk full?)";
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::remove(temp.c_str());
        return "cannot replace " + path + ": " + ec.message();
    }
    return {};
}

}  // namespace dwg::writer
