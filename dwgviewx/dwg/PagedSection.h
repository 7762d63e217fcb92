#pragma once
// What the 2004 and 2007 containers share when they read a section: the checks that
// refuse it before anything is allocated, and the page loop that keeps going past a
// damaged page. Plain C++, no Qt.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dwg::container {

// Largest section either container assembles in memory.
inline constexpr std::uint64_t kMaxSectionSize = 256ull << 20;

// Why section `name` cannot be read from a file of `fileSize` bytes (absent, encrypted,
// or claiming more than compression can produce), or an empty string when it can.
template <class Section>
std::string sectionRefusal(const Section* s, std::string_view name, std::uint64_t fileSize) {
    if (!s) return "the drawing has no section \"" + std::string(name) + "\"";
    if (s->encrypted == 1)
        return "the section \"" + s->name + "\" is encrypted (a protected drawing)";
    // Compression bounds what a page can hold, so a claim far beyond the file is a lie.
    const std::uint64_t plausible =
        std::min<std::uint64_t>(kMaxSectionSize, fileSize * 1024 + (1u << 20));
    if (s->size > plausible) return "the section \"" + s->name + "\" claims an impossible size";
    return {};
}

// Sizes `out` for the section and reads every page with `readPage(page)`. A page that
// fails leaves zeros; the pages around it are still read. True when all pages were read.
template <class Section, class ReadPage>
bool readAllPages(const Section& s, std::vector<std::uint8_t>& out, ReadPage readPage) {
    out.assign(static_cast<std::size_t>(s.size), 0);
    bool whole = true;
    for (const auto& page : s.pages) whole = readPage(page) && whole;
    return whole;
}

}  // namespace dwg::container
