#pragma once
// Turns a decoded Drawing into a Scene: walks model space, expands inserts (with
// arrays and nesting, bounded and cycle-safe) and dimension blocks, resolves
// BYLAYER/BYBLOCK colours, line types and weights, applies object coordinate systems,
// and lays out text. Needs a QGuiApplication (text is measured with Qt's fonts).
// Not thread-safe against itself only through the font substitutions it registers.
#include "../model/Drawing.h"
#include "Scene.h"

namespace dwgviewx::render {

Scene buildScene(const dwg::Drawing& drawing);

}  // namespace dwgviewx::render
