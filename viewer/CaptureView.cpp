#include "viewer/CaptureView.h"

#include <QRect>
#include <algorithm>
#include <exception>

namespace viewer {

QSize captureSize(QSize viewerSize) {
    // Integer arithmetic gives the truncation toward zero for the non-negative sizes.
    return {std::max(0, viewerSize.width()) * 3 / 2, std::max(0, viewerSize.height()) * 3 / 2};
}

namespace {

// Bitmap pixel (u, v) takes source pixel (u * bw / sw, v * bh / sh); u < sw, v < sh.
void stretchInto(QImage& bitmap, const QImage& source, int sw, int sh) {
    const int bw = bitmap.width();
    const int bh = bitmap.height();
    const int cols = std::min(bw, sw);
    const int rows = std::min(bh, sh);
    for (int v = 0; v < rows; ++v) {
        const int sy = static_cast<int>(static_cast<qint64>(v) * bh / sh);
        if (sy >= source.height()) break;
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy));
        auto* out = reinterpret_cast<QRgb*>(bitmap.scanLine(v));
        for (int u = 0; u < cols; ++u) {
            const int sx = static_cast<int>(static_cast<qint64>(u) * bw / sw);
            if (sx >= source.width()) break;
            out[u] = in[sx];
        }
    }
}

}  // namespace

void CaptureView(QImage& bitmap, QSize viewerSize, QPoint viewerTopLeft,
                 platform::ScreenGrab& screen) {
    try {
        const QSize size = captureSize(viewerSize);
        bitmap = QImage(size, QImage::Format_RGB32);
        if (bitmap.isNull()) return;
        bitmap.fill(Qt::white);
        const QRect desktop = screen.desktopRect();
        const int sw = desktop.width();
        const int sh = desktop.height();
        if (sw <= 0 || sh <= 0 || size.isEmpty()) return;
        QImage source = screen.grab(QRect(viewerTopLeft, size));
        if (source.isNull()) return;
        if (source.format() != QImage::Format_RGB32)
            source = source.convertToFormat(QImage::Format_RGB32);
        stretchInto(bitmap, source, sw, sh);
    } catch (const std::exception&) {
        // A failed capture must not stop the new task: the caller keeps what was filled.
    }
}

}  // namespace viewer
