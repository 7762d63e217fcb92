#pragma once
// JPEG encoding and decoding of task pictures through libjpeg. Errors are values:
// no function here throws, calls exit() or reads outside its input. Pure functions,
// safe on any thread; each call owns its own libjpeg state.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

namespace jpeg {

// Bounds applied before anything is allocated for a picture.
struct Limits {
    int maxWidth = 16384;               // pixels
    int maxHeight = 16384;              // pixels
    std::int64_t maxPixels = 50000000;  // width × height
    int maxScans = 200;                 // progressive scans before giving up
};

struct DecodeResult {
    QImage image;   // Format_RGB888; null on error
    QString error;  // empty on success
    bool ok() const { return error.isEmpty(); }
};

struct EncodeResult {
    QByteArray bytes;  // the JPEG file; empty on error
    QString error;     // empty on success
    bool ok() const { return error.isEmpty(); }
};

// Baseline sequential JPEG, three components (YCbCr), libjpeg's quality scaling
// with baseline-clamped tables, defaults for everything else.
EncodeResult Encode(const QImage& image, int quality = 90);

// Encodes and writes the file, replacing it only when the whole file was written.
// Returns an error text for the user, empty on success.
QString WriteFile(const QImage& image, const QString& path, int quality = 90);

// Decodes greyscale, YCbCr, RGB and CMYK/YCCK pictures into RGB.
DecodeResult Decode(const QByteArray& bytes, const Limits& limits = {});

// Reads and decodes a file (files larger than 256 MiB are refused unread).
DecodeResult ReadFile(const QString& path, const Limits& limits = {});

}  // namespace jpeg
