// Decodes arbitrary bytes as a whole DWG file. Seeded at run time from the shared
// corpus by scripts/fuzz-ci; crashes found are kept in tests/dwg/crashers/.
#include <cstddef>
#include <cstdint>

#include "dwgviewx/dwg/Decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto result = dwg::readBytes({data, size});
    if (result) {
        // Touch what the viewer touches first.
        const dwg::Block* ms = result->modelSpace();
        volatile std::size_t n = ms ? ms->entities.size() : 0;
        (void)n;
    }
    return 0;
}
