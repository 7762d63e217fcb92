#include "tasks/JpegCodec.h"

#include <QFile>
#include <QSaveFile>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace jpeg {
namespace {

// libjpeg reports fatal errors through error_exit, which must never return; we jump
// back to the frame that set up the job. The jobs hold every libjpeg struct, so no
// automatic variable of the jumping frame changes between setjmp and longjmp.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpWithMessage(j_common_ptr cinfo, const char* text) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", text);
    std::longjmp(err->jump, 1);
}

extern "C" [[noreturn]] void onErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings about damaged data are not printed; the picture shows what could be read.
extern "C" void onOutputMessage(j_common_ptr) {}

void installErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = onErrorExit;
    err.pub.output_message = onOutputMessage;
    err.message[0] = '\0';
}

struct ProgressMonitor {
    jpeg_progress_mgr pub;
    int maxScans;
};

// A crafted progressive file can hold thousands of tiny scans; each costs a pass
// over the whole coefficient buffer, so their number is bounded.
extern "C" void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    auto* monitor = reinterpret_cast<ProgressMonitor*>(cinfo->progress);
    if (d->input_scan_number > monitor->maxScans) {
        jumpWithMessage(cinfo, "JPEG file has too many scans");
    }
}

struct DecodeJob {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    ProgressMonitor progress;
    const QByteArray* bytes = nullptr;
    Limits limits;
    QImage image;
    std::unique_ptr<unsigned char[]> cmykRow;
    QString error;
};

void convertCmykRow(const unsigned char* cmyk, unsigned char* rgb, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        int c = cmyk[4 * x], m = cmyk[4 * x + 1], y = cmyk[4 * x + 2], k = cmyk[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[3 * x] = static_cast<unsigned char>(c * k / 255);
        rgb[3 * x + 1] = static_cast<unsigned char>(m * k / 255);
        rgb[3 * x + 2] = static_cast<unsigned char>(y * k / 255);
    }
}

bool withinLimits(const jpeg_decompress_struct& cinfo, const Limits& limits) {
    const std::int64_t w = cinfo.image_width, h = cinfo.image_height;
    return w > 0 && h > 0 && w <= limits.maxWidth && h <= limits.maxHeight &&
           w * h <= limits.maxPixels;
}

void decodeInto(DecodeJob& job) {
    jpeg_decompress_struct& cinfo = job.cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    installErrorManager(job.err);
    cinfo.err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        job.error = QString::fromLatin1(job.err.message);
        job.image = QImage();
        jpeg_destroy_decompress(&cinfo);
        return;
    }
    jpeg_create_decompress(&cinfo);
    job.progress.pub.progress_monitor = onProgress;
    job.progress.maxScans = job.limits.maxScans;
    cinfo.progress = &job.progress.pub;
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(job.bytes->constData()),
                 static_cast<unsigned long>(job.bytes->size()));
    jpeg_read_header(&cinfo, TRUE);
    if (!withinLimits(cinfo, job.limits))
        jumpWithMessage(j_common_ptr(&cinfo), "JPEG picture too large");

    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    if (cinfo.output_components != (cmyk ? 4 : 3)) {
        jumpWithMessage(j_common_ptr(&cinfo), "Unsupported JPEG colour layout");
    }
    job.image = QImage(width, height, QImage::Format_RGB888);
    if (job.image.isNull())
        jumpWithMessage(j_common_ptr(&cinfo), "Not enough memory for the picture");
    if (cmyk) job.cmykRow.reset(new unsigned char[static_cast<size_t>(width) * 4]);

    while (cinfo.output_scanline < cinfo.output_height) {
        unsigned char* target = job.image.scanLine(static_cast<int>(cinfo.output_scanline));
        JSAMPROW row = cmyk ? job.cmykRow.get() : target;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            jumpWithMessage(j_common_ptr(&cinfo), "JPEG data ended early");
        }
        if (cmyk) convertCmykRow(job.cmykRow.get(), target, width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

struct EncodeJob {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    QImage rgb;
    int quality = 90;
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    QString error;
};

void encodeInto(EncodeJob& job) {
    jpeg_compress_struct& cinfo = job.cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    installErrorManager(job.err);
    cinfo.err = &job.err.pub;
    if (setjmp(job.err.jump)) {
        job.error = QString::fromLatin1(job.err.message);
        jpeg_destroy_compress(&cinfo);
        return;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &job.out, &job.outSize);
    cinfo.image_width = static_cast<JDIMENSION>(job.rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(job.rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, job.quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg does not write through the row pointer.
        JSAMPROW row =
            const_cast<JSAMPROW>(job.rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

}  // namespace

EncodeResult Encode(const QImage& image, int quality) {
    EncodeResult result;
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        result.error = QStringLiteral("没有可保存的图片");
        return result;
    }
    if (image.width() > JPEG_MAX_DIMENSION || image.height() > JPEG_MAX_DIMENSION) {
        result.error = QStringLiteral("图片太大，无法保存为 JPEG");
        return result;
    }
    auto job = std::make_unique<EncodeJob>();
    job->rgb = image.convertToFormat(QImage::Format_RGB888);
    job->quality = quality;
    encodeInto(*job);
    if (job->error.isEmpty() && job->out) {
        result.bytes = QByteArray(reinterpret_cast<const char*>(job->out),
                                  static_cast<qsizetype>(job->outSize));
    } else {
        result.error = job->error.isEmpty() ? QStringLiteral("JPEG encoding failed") : job->error;
    }
    std::free(job->out);
    return result;
}

QString WriteFile(const QImage& image, const QString& path, int quality) {
    const EncodeResult encoded = Encode(image, quality);
    if (!encoded.ok()) return encoded.error;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
    }
    if (file.write(encoded.bytes) != encoded.bytes.size() || !file.commit()) {
        return QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString());
    }
    return {};
}

DecodeResult Decode(const QByteArray& bytes, const Limits& limits) {
    DecodeResult result;
    if (bytes.size() < 4) {
        result.error = QStringLiteral("Not a JPEG file");
        return result;
    }
    auto job = std::make_unique<DecodeJob>();
    job->bytes = &bytes;
    job->limits = limits;
    decodeInto(*job);
    result.error = job->error;
    if (result.ok()) result.image = std::move(job->image);
    return result;
}

DecodeResult ReadFile(const QString& path, const Limits& limits) {
    constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;
    DecodeResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (file.size() > kMaxFileBytes) {
        result.error = QStringLiteral("JPEG file too large");
        return result;
    }
    return Decode(file.readAll(), limits);
}

}  // namespace jpeg
