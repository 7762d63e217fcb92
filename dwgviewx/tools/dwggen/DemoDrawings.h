#pragma once
// The demo drawings the stand-in service's demo library shows, and synthetic drawings
// of any size for benchmarks. Deterministic: the same arguments give the same drawing.
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/model/Drawing.h"

namespace dwggen {

struct Demo {
    std::string fileName;  // e.g. "floor-plan.dwg"
    dwg::Drawing drawing;
};

dwg::Drawing floorPlan();
dwg::Drawing mechanicalPart();
dwg::Drawing sitePlan();
std::vector<Demo> demoDrawings();

// About `entities` entities of a realistic mix (lines, arcs, circles, polylines, text,
// inserts of a few blocks) on several layers, spread over a plan-sized area.
dwg::Drawing synthetic(std::size_t entities, std::uint32_t seed);

}  // namespace dwggen
