#include "service/Base64.h"

#include <array>

#include "platform/Gbk.h"

namespace ucm {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<signed char, 256> makeDecodeTable() {
    std::array<signed char, 256> table{};
    for (auto& v : table) v = -1;
    for (int i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    return table;
}
constexpr auto kDecode = makeDecodeTable();

bool ignored(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

}  // namespace

QByteArray Base64Decode(const QByteArray& text) {
    QByteArray packed(text.size(), Qt::Uninitialized);
    char* end = packed.data();
    for (const char c : text) {
        if (!ignored(c)) *end++ = c;
    }
    const qsizetype length = end - packed.constData();
    if (length % 4 != 0) throw Base64Error("Error while calculating streamlength");
    if (length == 0) return {};
    const auto* in = reinterpret_cast<const unsigned char*>(packed.constData());
    qsizetype padding = 0;
    if (in[length - 1] == '=') padding = in[length - 2] == '=' ? 2 : 1;
    const qsizetype outLength = length / 4 * 3 - padding;
    QByteArray out(outLength, Qt::Uninitialized);
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    const unsigned char* const outEnd = o + outLength;
    for (qsizetype i = 0; i < length; i += 4) {
        quint32 group = 0;
        for (qsizetype k = 0; k < 4; ++k) {
            int value = kDecode[in[i + k]];
            // Padding stands only in the last places and counts as zero bits.
            if (in[i + k] == '=' && i + k >= length - padding) value = 0;
            if (value < 0) throw Base64Error("Invalid character in Base64 text");
            group = (group << 6) | static_cast<quint32>(value);
        }
        for (int shift = 16; shift >= 0 && o < outEnd; shift -= 8) {
            *o++ = static_cast<unsigned char>((group >> shift) & 0xFF);
        }
    }
    return out;
}

QByteArray Base64Decode(const QString& text) {
    // Characters outside Latin-1 can never be Base64; they must not pass as "?".
    for (const QChar c : text) {
        if (c.unicode() > 0x7F) throw Base64Error("Invalid character in Base64 text");
    }
    return Base64Decode(text.toLatin1());
}

QString Base64Encode(const QByteArray& bytes) {
    QString out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; i += 3) {
        const qsizetype rest = n - i;
        quint32 group = static_cast<quint32>(p[i]) << 16;
        if (rest > 1) group |= static_cast<quint32>(p[i + 1]) << 8;
        if (rest > 2) group |= p[i + 2];
        out += QLatin1Char(kAlphabet[(group >> 18) & 63]);
        out += QLatin1Char(kAlphabet[(group >> 12) & 63]);
        out += rest > 1 ? QLatin1Char(kAlphabet[(group >> 6) & 63]) : QLatin1Char('=');
        out += rest > 2 ? QLatin1Char(kAlphabet[group & 63]) : QLatin1Char('=');
    }
    return out;
}

QString Base64EncodeText(const QString& text) {
    return Base64Encode(platform::toGbk(text));
}

}  // namespace ucm
