#pragma once
// GBK (code page 936) helpers: texts are QString inside the program, but lengths,
// the wire form of some fields and stored files are counted in GBK bytes.
#include <QByteArray>
#include <QString>

namespace platform {

QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
// Length of the text in GBK bytes (characters GBK cannot hold count as one "?").
int gbkLength(const QString& text);
// Strict UTF-8 decode: false for ill-formed input.
bool decodeUtf8Strict(const QByteArray& bytes, QString* out);

}  // namespace platform
