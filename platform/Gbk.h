#pragma once
// GBK (code page 936) helpers: texts are QString inside the program, but lengths,
// the wire form of some fields and stored files are counted in GBK bytes.
// All functions are pure and thread-safe.
#include <QByteArray>
#include <QString>

namespace platform {

// Characters GBK cannot hold become "?" (one byte).
QByteArray toGbk(const QString& text);
// Invalid byte sequences become U+FFFD.
QString fromGbk(const QByteArray& bytes);
// Length of the text in GBK bytes (characters GBK cannot hold count as one "?").
int gbkLength(const QString& text);
// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF, no truncated sequence).
bool isUtf8WellFormed(const QByteArray& bytes);
// Strict UTF-8 decode: false for ill-formed input (then `out` is left alone).
// `out` may be null to only check.
bool decodeUtf8Strict(const QByteArray& bytes, QString* out);

}  // namespace platform
