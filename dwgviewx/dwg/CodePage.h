#pragma once
// Conversion of 8-bit drawing text (R13-R2004 files) from the drawing's code page
// (DWGCODEPAGE) to UTF-8. Uses the C library's iconv, which is part of the OS; no Qt.
// Single-byte pages go through a 256-entry table built once; multi-byte pages (GBK,
// Shift-JIS, Big5, Korean) through iconv itself. A converter is not thread-safe; use one
// per decoding thread.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dwg {

// The iconv name of a DWGCODEPAGE number, or nullptr when the number is unknown.
const char* codePageName(int dwgCodePage);

class CodePageConverter {
public:
    explicit CodePageConverter(int dwgCodePage);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // Converts; bytes the page cannot map become U+FFFD. Never fails.
    std::string toUtf8(std::string_view bytes);
    int codePage() const { return codePage_; }

private:
    int codePage_;
    bool singleByte_ = true;
    std::array<std::uint32_t, 256> table_{};
    void* iconv_ = nullptr;  // iconv_t for multi-byte pages
};

}  // namespace dwg
