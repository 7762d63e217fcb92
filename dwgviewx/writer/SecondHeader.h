#pragma once
// The second file header of an R13-R2000 file: a copy of the first header's version
// bytes, code page and section locators, and the handles of the table controls and
// the main dictionaries, for readers that recover a file whose start is damaged.
#include <array>
#include <cstdint>
#include <vector>

#include "dwgviewx/model/Drawing.h"

namespace dwg::writer {

struct SectionSpan {
    std::uint32_t offset = 0, size = 0;
};

struct SecondHeaderInput {
    const std::uint8_t* fileHeader = nullptr;  // the file's first 0x15 bytes
    std::vector<SectionSpan> sections;         // as the file header locates them
    std::uint32_t location = 0;                // where the second header will start
    // Handle seed, the ten table controls, named objects, multiline style and group
    // dictionaries, in the order the format lists them.
    std::array<Handle, 14> handles{};
};

std::vector<std::uint8_t> secondHeader(const SecondHeaderInput& in);

// The sentinels around it.
extern const std::uint8_t kSecondHeaderStart[16];
extern const std::uint8_t kSecondHeaderEnd[16];

}  // namespace dwg::writer
