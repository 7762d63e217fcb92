// Whole files through both paged container readers, and the raw bytes through both
// decompressors. Seeds are the corpus drawings (scripts/fuzz-ci); crashes found here are
// kept in tests/dwgcontainer/crashers/ and replayed by the tests.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dwgviewx/dwg/Container2004.h"
#include "dwgviewx/dwg/Container2007.h"
#include "dwgviewx/dwg/Lz2007.h"
#include "dwgviewx/dwg/Lz77.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    dwg::RawSections a = dwg::readSections2004(data, size, &error);
    dwg::RawSections b = dwg::readSections2007(data, size, &error);
    // A success must come with the sections it promises.
    if (error.empty() && b.version != dwg::Version::R2007) __builtin_trap();
    (void)a;

    static std::vector<std::uint8_t> out(1 << 16);
    const auto r1 = dwg::lz77::decompress(data, size, out.data(), out.size());
    const auto r2 = dwg::lz2007::decompress(data, size, out.data(), out.size());
    if (r1.written > out.size() || r2.written > out.size()) __builtin_trap();
    return 0;
}
