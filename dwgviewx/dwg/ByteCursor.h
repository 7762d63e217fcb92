#pragma once
// A cursor over compressed bytes for the decompressors: a read past the end sets `bad`
// and yields 0, so a damaged stream ends the decoding instead of reading beyond it.
#include <cstddef>
#include <cstdint>

namespace dwg {

struct ByteCursor {
    const std::uint8_t* p;
    std::size_t size;
    std::size_t pos = 0;
    bool bad = false;

    std::uint8_t next() {
        if (pos >= size) {
            bad = true;
            return 0;
        }
        return p[pos++];
    }
    bool atEnd() const { return pos >= size; }
};

}  // namespace dwg
