#include "platform/Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace platform {

namespace {

// Length of the well-formed UTF-8 sequence starting at `p`, or 0 when it is ill-formed
// (stray continuation bytes, overlong forms, surrogates, values past U+10FFFF, truncation).
int utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char b0 = p[0];
    if (b0 < 0x80) return 1;
    int len = 0;
    unsigned char lo = 0x80;
    unsigned char hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        if (b0 == 0xE0) lo = 0xA0;
        if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        if (b0 == 0xF0) lo = 0x90;
        if (b0 == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (end - p < len) return 0;
    if (p[1] < lo || p[1] > hi) return 0;
    for (int i = 2; i < len; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    }
    return len;
}

}  // namespace

// Opening a converter is costly, so each thread keeps one of each; stateless converters
// carry nothing from one call to the next.
QByteArray toGbk(const QString& text) {
    thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (!encoder.isValid()) return text.toLatin1();
    return encoder.encode(text);
}

QString fromGbk(const QByteArray& bytes) {
    thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (!decoder.isValid()) return QString::fromLatin1(bytes);
    return decoder.decode(bytes);
}

int gbkLength(const QString& text) {
    return static_cast<int>(toGbk(text).size());
}

bool isUtf8WellFormed(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        const int len = utf8SequenceLength(p, end);
        if (len == 0) return false;
        p += len;
    }
    return true;
}

bool decodeUtf8Strict(const QByteArray& bytes, QString* out) {
    if (!isUtf8WellFormed(bytes)) return false;
    if (out != nullptr) {
        // A leading byte order mark is kept as a character, like every other one.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        *out = decoder.decode(bytes);
    }
    return true;
}

}  // namespace platform
