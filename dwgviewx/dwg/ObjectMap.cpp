#include "dwgviewx/dwg/ObjectMap.h"

#include <algorithm>

#include "dwgviewx/dwg/BitReader.h"
#include "dwgviewx/dwg/Crc.h"

namespace dwg {

std::vector<ObjectLocation> readObjectMap(const std::vector<std::uint8_t>& bytes,
                                          std::vector<std::string>& warnings) {
    std::vector<ObjectLocation> out;
    // Every entry takes at least two bytes. Reserving the most the map can hold only
    // claims address space; pages are touched as entries arrive, and none move.
    out.reserve(bytes.size() / 2);
    std::size_t pos = 0;
    Handle lastHandle = 0;
    std::int64_t lastOffset = 0;
    bool crcWarned = false;
    while (true) {
        if (pos + 2 > bytes.size()) {
            warnings.push_back("object map is truncated");
            break;
        }
        const std::size_t pageSize = (bytes[pos] << 8) | bytes[pos + 1];  // big-endian
        if (pageSize <= 2) break;
        const std::size_t dataEnd = pos + pageSize;  // the CRC sits at dataEnd
        if (dataEnd + 2 > bytes.size()) {
            warnings.push_back("object map is truncated");
            break;
        }
        const std::uint16_t stored = (bytes[dataEnd] << 8) | bytes[dataEnd + 1];
        if (!crcWarned && crc16(0xC0C1, bytes.data() + pos, pageSize) != stored) {
            warnings.push_back("object map checksum mismatch");
            crcWarned = true;
        }
        BitReader r(bytes.data() + pos + 2, pageSize - 2);
        // Each page starts again from handle 0 and offset 0.
        lastHandle = 0;
        lastOffset = 0;
        while (r.remaining() > 0 && !r.failed()) {
            const std::uint64_t dh = r.MC();
            const std::int64_t doff = r.MCSigned();
            if (r.failed()) break;
            lastHandle += dh;
            lastOffset += doff;
            if (lastOffset >= 0)
                out.push_back({lastHandle, static_cast<std::uint64_t>(lastOffset)});
        }
        if (r.failed()) {
            warnings.push_back("object map is damaged");
            break;
        }
        pos = dataEnd + 2;
    }
    // Maps are written in handle order; sort only the odd one that is not.
    const auto byHandle = [](const ObjectLocation& a, const ObjectLocation& b) {
        return a.handle < b.handle;
    };
    if (!std::is_sorted(out.begin(), out.end(), byHandle))
        std::stable_sort(out.begin(), out.end(), byHandle);
    // Keep the last of equal handles: a later entry supersedes an earlier one.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (kept > 0 && out[kept - 1].handle == out[i].handle) {
            out[kept - 1] = out[i];
        } else {
            out[kept++] = out[i];
        }
    }
    out.resize(kept);
    return out;
}

}  // namespace dwg
