#pragma once
// Turns the decoded objects into the drawing: tables, blocks with their entities in
// file order, polylines with their vertices and inserts followed by their attributes.
#include <vector>

#include "dwgviewx/dwg/DecodedObject.h"
#include "dwgviewx/model/Drawing.h"

namespace dwg {

// `objects` are in handle order; their payloads are moved into `drawing`.
void assembleDrawing(std::vector<DecodedObject>& objects, Drawing& drawing);

}  // namespace dwg
