#pragma once
// The state passed down while the scene builder walks blocks: where the block lands
// in the world and what BYBLOCK and layer "0" mean inside it. Internal to the builder.
#include <vector>

#include "Affine3.h"
#include "SceneEmitter.h"

namespace dwgviewx::render {

struct BuildContext {
    Affine3 xf;                     // block coordinates to world
    std::uint32_t layer = 0;        // what layer "0" means here (the insert's layer)
    std::uint32_t gateLayer = 0;    // the outermost insert's layer
    bool nested = false;            // inside an insert or dimension block
    PrimStyle byBlock;              // what BYBLOCK colour, line type and weight mean here
    std::vector<dwg::Handle> path;  // blocks being expanded, for cycle detection
};

// 2D part of `xf` after lifting plane points to height `z`, as a Qt transform.
QTransform planeToWorld(const Affine3& xf, double z);

}  // namespace dwgviewx::render
