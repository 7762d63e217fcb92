#pragma once
// The classes section: the object types numbered 500 and up in this drawing.
#include <string>
#include <unordered_map>
#include <vector>

#include "dwgviewx/dwg/CodePage.h"
#include "dwgviewx/dwg/Sections.h"

namespace dwg {

struct ClassInfo {
    int number = 0;
    std::string dxfName;  // "LWPOLYLINE", "HATCH", "LAYOUT", ...
    std::string cppName;
    bool isEntity = false;
};

using ClassTable = std::unordered_map<int, ClassInfo>;

// Reads every class it can; a damaged tail is reported in `warnings` and the classes
// before it are kept.
ClassTable readClasses(const RawSections& sections, CodePageConverter& cp,
                       std::vector<std::string>& warnings);

}  // namespace dwg
