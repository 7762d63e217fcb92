#pragma once
// A small JPEG picture for the demo tasks: a grid with a marked-up rectangle.
#include <string>

namespace server {
// Baseline colour JPEG bytes, `variant` shifts the mark so pictures differ.
std::string demoTaskPicture(int variant);
}  // namespace server
