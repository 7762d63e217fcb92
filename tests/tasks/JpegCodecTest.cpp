// The JPEG writer's output is checked by decoding it with libjpeg itself; the reader
// is checked on good, broken and hostile input.
#include <gtest/gtest.h>

#include <jpeglib.h>
#include <QImage>
#include <QTemporaryDir>
#include <csetjmp>
#include <cstdio>

#include "tasks/JpegCodec.h"

namespace {

// The example tables of the JPEG standard (Annex K), in natural order.
const unsigned kLuminance[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                 58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                 22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                 77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                 103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
const unsigned kChrominance[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                   24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                   99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                   99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

unsigned scaledForQuality90(unsigned base) {
    // libjpeg's scaling: quality 90 gives a factor of 20 %, clamped to 1..255 for baseline.
    unsigned value = (base * 20 + 50) / 100;
    if (value < 1) value = 1;
    if (value > 255) value = 255;
    return value;
}

struct Inspected {
    int components = 0;
    bool progressive = false;
    bool baselineMarker = false;
    J_COLOR_SPACE colourSpace = JCS_UNKNOWN;
    unsigned lum[64] = {};
    unsigned chrom[64] = {};
    int width = 0;
    int height = 0;
};

struct PlainError {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void plainExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<PlainError*>(cinfo->err)->jump, 1);
}

bool inspect(const QByteArray& bytes, Inspected* out) {
    jpeg_decompress_struct cinfo;
    PlainError err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = plainExit;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    out->components = cinfo.num_components;
    out->progressive = cinfo.progressive_mode;
    out->colourSpace = cinfo.jpeg_color_space;
    out->width = static_cast<int>(cinfo.image_width);
    out->height = static_cast<int>(cinfo.image_height);
    for (int i = 0; i < 64; ++i) {
        // libjpeg keeps quantval[] in natural (row-major) order.
        out->lum[i] = cinfo.quant_tbl_ptrs[0]->quantval[i];
        out->chrom[i] = cinfo.quant_tbl_ptrs[1]->quantval[i];
    }
    jpeg_destroy_decompress(&cinfo);
    // The start-of-frame marker of a baseline file is FF C0.
    out->baselineMarker = bytes.contains(QByteArray("\xFF\xC0", 2));
    return true;
}

QImage gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / width, y * 255 / height, 128));
    }
    return image;
}

// A minimal JPEG header (SOI, SOF0) that claims the given size.
QByteArray headerClaiming(int width, int height) {
    QByteArray bytes("\xFF\xD8", 2);
    bytes += QByteArray("\xFF\xC0\x00\x11\x08", 5);
    bytes += char(height >> 8);
    bytes += char(height & 0xFF);
    bytes += char(width >> 8);
    bytes += char(width & 0xFF);
    bytes += QByteArray("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
    bytes += QByteArray("\xFF\xD9", 2);
    return bytes;
}

}  // namespace

TEST(JpegWriter, WritesBaselineSequentialThreeComponentFilesWithQuality90Tables) {
    const jpeg::EncodeResult result = jpeg::Encode(gradient(64, 48));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    Inspected info;
    ASSERT_TRUE(inspect(result.bytes, &info));
    EXPECT_EQ(info.components, 3);
    EXPECT_EQ(info.colourSpace, JCS_YCbCr);
    EXPECT_FALSE(info.progressive);
    EXPECT_TRUE(info.baselineMarker);
    EXPECT_EQ(info.width, 64);
    EXPECT_EQ(info.height, 48);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(info.lum[i], scaledForQuality90(kLuminance[i])) << "luminance entry " << i;
        EXPECT_EQ(info.chrom[i], scaledForQuality90(kChrominance[i])) << "chrominance entry " << i;
    }
}

TEST(JpegWriter, KeepsThePictureRecognisableAfterARoundTrip) {
    QImage original(40, 30, QImage::Format_RGB32);
    original.fill(qRgb(200, 30, 40));
    const jpeg::DecodeResult decoded = jpeg::Decode(jpeg::Encode(original).bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    ASSERT_EQ(decoded.image.size(), original.size());
    const QRgb centre = decoded.image.pixel(20, 15);
    EXPECT_NEAR(qRed(centre), 200, 4);
    EXPECT_NEAR(qGreen(centre), 30, 4);
    EXPECT_NEAR(qBlue(centre), 40, 4);
}

TEST(JpegWriter, RefusesAnEmptyPictureWithAMessageInsteadOfWritingAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("empty"));
    EXPECT_FALSE(jpeg::WriteFile(QImage(), path).isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(JpegWriter, ReportsAFolderThatCannotBeWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/sub/picture"));
    const QString error = jpeg::WriteFile(gradient(8, 8), path);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(JpegReader, DecodesGreyscaleFilesIntoRgb) {
    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(100);
    // Build a one-component file with libjpeg directly.
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = 16;
    cinfo.image_height = 16;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < 16) {
        JSAMPROW row =
            const_cast<JSAMPROW>(grey.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray bytes(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
    std::free(out);

    const jpeg::DecodeResult decoded = jpeg::Decode(bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.error.toStdString();
    EXPECT_NEAR(qRed(decoded.image.pixel(8, 8)), 100, 2);
    EXPECT_EQ(qRed(decoded.image.pixel(8, 8)), qBlue(decoded.image.pixel(8, 8)));
}

TEST(JpegReader, RefusesAbsurdDimensionsBeforeAllocating) {
    const jpeg::DecodeResult decoded = jpeg::Decode(headerClaiming(60000, 60000));
    EXPECT_FALSE(decoded.ok());
    EXPECT_TRUE(decoded.image.isNull());
    jpeg::Limits small;
    small.maxPixels = 100;
    EXPECT_FALSE(jpeg::Decode(jpeg::Encode(gradient(20, 20)).bytes, small).ok());
}

TEST(JpegReader, ReturnsAnErrorForBytesThatAreNotAJpegAndNeverEndsTheProcess) {
    EXPECT_FALSE(jpeg::Decode(QByteArray()).ok());
    EXPECT_FALSE(jpeg::Decode(QByteArray("GIF89a not a jpeg at all")).ok());
    EXPECT_FALSE(jpeg::Decode(QByteArray("\xFF\xD8\xFF\xFF\xFF\xFF", 6)).ok());
    EXPECT_FALSE(jpeg::Decode(headerClaiming(0, 10)).ok());
}

TEST(JpegReader, ShowsWhatCouldBeReadOfATruncatedFile) {
    const QByteArray whole = jpeg::Encode(gradient(64, 64)).bytes;
    for (qsizetype cut : {whole.size() / 2, whole.size() - 2, qsizetype(300)}) {
        const jpeg::DecodeResult decoded = jpeg::Decode(whole.left(cut));
        if (decoded.ok()) {
            EXPECT_EQ(decoded.image.size(), QSize(64, 64)) << "cut at " << cut;
        }
    }
    // Cut inside the header: nothing to show.
    EXPECT_FALSE(jpeg::Decode(whole.left(20)).ok());
}

TEST(JpegReader, ReadsAFileAndRefusesAMissingOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.jpg"));
    ASSERT_TRUE(jpeg::WriteFile(gradient(10, 12), path).isEmpty());
    const jpeg::DecodeResult decoded = jpeg::ReadFile(path);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.image.size(), QSize(10, 12));
    EXPECT_FALSE(jpeg::ReadFile(dir.filePath(QStringLiteral("none.jpg"))).ok());
}
