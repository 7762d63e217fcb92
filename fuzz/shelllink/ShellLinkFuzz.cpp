// libFuzzer target: the shortcut reader must return a path or nothing for any bytes.
#include <cstddef>
#include <cstdint>

#include "platform/ShellLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(platform::kMaxShellLinkSize)) return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = platform::shellLinkTargetFromBytes(bytes);
    // A path, when there is one, was read from within the bytes.
    if (path.size() > static_cast<qsizetype>(size)) __builtin_trap();
    return 0;
}
