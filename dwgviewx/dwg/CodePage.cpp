#include "dwgviewx/dwg/CodePage.h"

#include <iconv.h>

#include "dwgviewx/dwg/BitReader.h"

namespace dwg {

namespace {

// DWGCODEPAGE numbers as stored in the file header and the header variables.
constexpr const char* kNames[] = {
    "ASCII",       // 0  undefined: treated as the default Western page below
    "ASCII",       // 1  US_ASCII
    "ISO-8859-1",  // 2
    "ISO-8859-2",  // 3
    "ISO-8859-3",  // 4
    "ISO-8859-4",  // 5
    "ISO-8859-5",  // 6
    "ISO-8859-6",  // 7
    "ISO-8859-7",  // 8
    "ISO-8859-8",  // 9
    "ISO-8859-9",  // 10
    "CP437",       // 11 DOS437
    "CP850",       // 12
    "CP852",       // 13
    "CP855",       // 14
    "CP857",       // 15
    "CP860",       // 16
    "CP861",       // 17
    "CP863",       // 18
    "CP864",       // 19
    "CP865",       // 20
    "CP869",       // 21
    "CP932",       // 22 DOS932
    "MACINTOSH",   // 23 MACINTOSH
    "BIG5",        // 24
    "CP949",       // 25 KSC5601
    "JOHAB",       // 26
    "CP866",       // 27
    "CP1250",      // 28 ANSI_1250
    "CP1251",      // 29 ANSI_1251
    "CP1252",      // 30 ANSI_1252
    "GBK",         // 31 GB2312
    "CP1253",      // 32 ANSI_1253
    "CP1254",      // 33 ANSI_1254
    "CP1255",      // 34 ANSI_1255
    "CP1256",      // 35 ANSI_1256
    "CP1257",      // 36 ANSI_1257
    "CP874",       // 37 ANSI_874
    "CP932",       // 38 ANSI_932
    "GBK",         // 39 ANSI_936
    "CP949",       // 40 ANSI_949
    "BIG5",        // 41 ANSI_950
    "JOHAB",       // 42 ANSI_1361
    "UTF-16LE",    // 43 ANSI_1200 (not used by 8-bit text; falls back below)
    "CP1258",      // 44 ANSI_1258
};

bool isMultiByte(const char* name) {
    const std::string_view n(name);
    return n == "GBK" || n == "CP932" || n == "BIG5" || n == "CP949" || n == "JOHAB";
}

}  // namespace

const char* codePageName(int dwgCodePage) {
    if (dwgCodePage < 0 || dwgCodePage >= static_cast<int>(std::size(kNames))) return nullptr;
    return kNames[dwgCodePage];
}

CodePageConverter::CodePageConverter(int dwgCodePage) : codePage_(dwgCodePage) {
    const char* name = codePageName(dwgCodePage);
    // Unknown, undefined and UTF-16 pages: the Western default matches what the
    // drawings' producers write in practice.
    if (!name || dwgCodePage == 0 || dwgCodePage == 43) name = "CP1252";
    singleByte_ = !isMultiByte(name);
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        singleByte_ = true;
        for (std::uint32_t i = 0; i < 256; ++i) table_[i] = i < 0x80 ? i : 0xFFFD;
        return;
    }
    if (!singleByte_) {
        iconv_ = cd;
        return;
    }
    for (std::uint32_t i = 0; i < 256; ++i) {
        char in = static_cast<char>(i);
        std::uint8_t outBuf[8] = {};
        char* inPtr = &in;
        size_t inLeft = 1;
        char* outPtr = reinterpret_cast<char*>(outBuf);
        size_t outLeft = sizeof outBuf;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<size_t>(-1) || outLeft != 4) {
            table_[i] = i < 0x80 ? i : 0xFFFD;
        } else {
            table_[i] = outBuf[0] | (outBuf[1] << 8) | (outBuf[2] << 16) |
                        (static_cast<std::uint32_t>(outBuf[3]) << 24);
        }
    }
    iconv_close(cd);
}

CodePageConverter::~CodePageConverter() {
    if (iconv_) iconv_close(static_cast<iconv_t>(iconv_));
}

std::string CodePageConverter::toUtf8(std::string_view bytes) {
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 2);
    if (singleByte_ || !iconv_) {
        for (char c : bytes) appendUtf8(out, table_[static_cast<unsigned char>(c)]);
        return out;
    }
    auto cd = static_cast<iconv_t>(iconv_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        // One character at a time: a lead byte and at most one trail byte in these pages.
        const std::size_t take = i + 1 < bytes.size() ? 2 : 1;
        char in[2] = {bytes[i], take == 2 ? bytes[i + 1] : '\0'};
        std::uint8_t outBuf[8] = {};
        char* inPtr = in;
        size_t inLeft = take;
        char* outPtr = reinterpret_cast<char*>(outBuf);
        size_t outLeft = 4;  // room for exactly one character
        iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const std::size_t used = take - inLeft;
        if (outLeft == 0 && used > 0) {
            appendUtf8(out, outBuf[0] | (outBuf[1] << 8) | (outBuf[2] << 16) |
                                (static_cast<std::uint32_t>(outBuf[3]) << 24));
            i += used;
        } else {
            appendUtf8(out, 0xFFFD);
            ++i;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace dwg
