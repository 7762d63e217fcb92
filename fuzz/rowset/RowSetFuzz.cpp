// Loads the input as a data packet and reads every field of every row, as the callers do.
#include <cstdint>
#include <cstdlib>

#include "service/RowSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray packet(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        ucm::RowSet set = ucm::RowSet::load(packet);
        qsizetype rows = 0;
        for (; !set.atEnd(); set.next(), ++rows) {
            for (const QString& name : set.fieldNames()) set.value(name.toUpper());
        }
        if (rows != set.rowCount()) std::abort();
        set.first();
        try {
            set.value(QStringLiteral("\x01no such field"));
            std::abort();
        } catch (const ucm::RowSetError&) {
        }
    } catch (const ucm::RowSetError&) {
    }
    return 0;
}
