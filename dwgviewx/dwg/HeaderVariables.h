#pragma once
// The header variables section: drawing extents, limits, units, current layer and
// style, and the handles of the table control objects and of model and paper space.
#include <string>
#include <vector>

#include "dwgviewx/dwg/CodePage.h"
#include "dwgviewx/dwg/Sections.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

// Fills `header` from `sections.header`. Returns false (and says why in `warnings`) when
// the section cannot be read; the header then keeps its defaults and the caller finds
// model space and the tables by name instead.
bool readHeaderVariables(const RawSections& sections, Header& header,
                         std::vector<std::string>& warnings);

}  // namespace dwg
