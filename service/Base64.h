#pragma once
// Base64 (RFC 4648 alphabet, "=" padding) for the service's tabular answers and for
// free text that goes into request addresses.
// Pure functions, thread-safe.
#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace ucm {

// Raised for a Base64 text that cannot be decoded. The texts are
// "Error while calculating streamlength" (length without blanks not a multiple of
// four) and "Invalid character in Base64 text" (a character outside the alphabet, or
// "=" anywhere but in the last two places).
class Base64Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes `text`; tab, line feed, carriage return and blank are ignored wherever they
// stand. An empty text (or blanks only) gives an empty result. Throws Base64Error.
QByteArray Base64Decode(const QString& text);
// Byte-string form of the same (the answer as received, for example).
QByteArray Base64Decode(const QByteArray& text);

// Encodes the bytes; no line breaks, "=" padding. Empty bytes give an empty text.
QString Base64Encode(const QByteArray& bytes);
// Encodes the GBK bytes of a text: the form free text takes inside a request address.
QString Base64EncodeText(const QString& text);

}  // namespace ucm
