// Decodes the input as Base64 text (errors are fine, crashes are not) and checks that
// encoding then decoding gives the bytes back.
#include <cstdint>
#include <cstdlib>

#include "service/Base64.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const QByteArray decoded = ucm::Base64Decode(bytes);
        if (decoded.size() > bytes.size()) std::abort();
    } catch (const ucm::Base64Error&) {
    }
    try {
        ucm::Base64Decode(QString::fromUtf8(bytes));
    } catch (const ucm::Base64Error&) {
    }
    const QString encoded = ucm::Base64Encode(bytes);
    if (encoded.size() != (bytes.size() + 2) / 3 * 4) std::abort();
    if (ucm::Base64Decode(encoded) != bytes) std::abort();
    return 0;
}
