#pragma once
// Writes a Drawing as an R2000 (AC1015) DWG file. Plain C++, no Qt; thread-safe (no
// shared state). The input's handles are only identifiers that tie entities to their
// layer, line type, text style and block: the writer numbers every object afresh.
//
// What it writes: the file header with five section locators, the header variables,
// the classes (LWPOLYLINE, HATCH, LAYOUT, ACDBPLACEHOLDER), the table control objects,
// the layers, the line types (BYBLOCK, BYLAYER, CONTINUOUS and the drawing's own), the
// text styles (STANDARD and the drawing's own), the APPID "ACAD", the active viewport,
// the dimension style and multiline style "Standard", the plot style "Normal", the block
// records and blocks of model space, paper space and every other block, the model and
// paper space layouts, the named object dictionaries, the object map, the second file
// header, and the entities LINE, CIRCLE, ARC, ELLIPSE, POINT, LWPOLYLINE, TEXT, MTEXT,
// INSERT, SOLID and HATCH. Other entity kinds are left out and counted.
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/dwg/Result.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg::writer {

struct WriteStats {
    int objects = 0;
    int entities = 0;
    int skippedEntities = 0;  // kinds the writer does not write
};

Result<std::vector<std::uint8_t>> writeR2000(const Drawing& drawing, WriteStats* stats = nullptr);

// Writes to a file through a temporary file beside it, so a failure never leaves a
// half-written drawing behind. Returns an empty string or the error.
std::string writeR2000File(const Drawing& drawing, const std::string& path,
                           WriteStats* stats = nullptr);

}  // namespace dwg::writer
