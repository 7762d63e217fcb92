// The login answer reader on arbitrary service answers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QString>

#include "account/Login.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString answer =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const account::LoginAnswer a = account::interpretLoginAnswer(answer);
    // A success always carries "Y" first and never more than the answer held.
    if (a.kind == account::LoginAnswer::Kind::Succeeded &&
        (answer.isEmpty() || a.userId.size() > answer.size()))
        std::abort();
    account::trimBlanksAndControls(answer);
    return 0;
}
