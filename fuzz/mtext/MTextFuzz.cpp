// Drawing text comes straight from the file: decoding its codes must never crash,
// and never produce more characters than it was given plus the expansions.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "dwgviewx/render/TextCodes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString raw =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString single = dwgviewx::render::decodeTextCodes(raw);
    const QStringList paras = dwgviewx::render::mtextParagraphs(raw);
    qsizetype total = 0;
    for (const QString& p : paras) total += p.size();
    // Every code shortens or keeps the text; only "\U+XXXX" may turn into a surrogate pair.
    if (single.size() > raw.size() * 2 + 1 || total > raw.size() * 2 + 1) std::abort();
    return 0;
}
