// The task picture reader on arbitrary bytes: it must return a picture or an error,
// never crash, exit or allocate beyond its limits. Pictures that decode are encoded
// again, which exercises the writer on every shape the reader can produce.
#include <cstddef>
#include <cstdint>

#include "tasks/JpegCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    jpeg::Limits limits;
    limits.maxWidth = 4096;
    limits.maxHeight = 4096;
    limits.maxPixels = 2'000'000;
    limits.maxScans = 50;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const jpeg::DecodeResult decoded = jpeg::Decode(bytes, limits);
    if (decoded.ok()) {
        if (decoded.image.isNull()) __builtin_trap();
        if (static_cast<std::int64_t>(decoded.image.width()) * decoded.image.height() <= 65536) {
            const jpeg::EncodeResult encoded = jpeg::Encode(decoded.image);
            if (!encoded.ok()) __builtin_trap();
        }
    }
    return 0;
}
