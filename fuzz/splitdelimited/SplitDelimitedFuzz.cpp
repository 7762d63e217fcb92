// The first byte picks the delimiter; the rest is an answer in GBK.
#include <cstdint>
#include <cstdlib>

#include "platform/Gbk.h"
#include "service/ucm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const QChar delimiter(static_cast<char16_t>(data[0]));
    const QString text = platform::fromGbk(
        QByteArray(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1)));
    const QStringList fields = ucm::SplitDelimited(text, delimiter);
    // Every field but an empty one comes from the text, so there can be no more
    // characters in the fields than in the text.
    qsizetype total = 0;
    for (const QString& field : fields) total += field.size();
    if (total > text.size()) std::abort();
    return 0;
}
