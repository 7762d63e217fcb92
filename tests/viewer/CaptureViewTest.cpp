// The capture of the viewer's screen area on a synthetic screen.
#include <gtest/gtest.h>

#include "platform/testing/FakeScreenGrab.h"
#include "viewer/CaptureView.h"

using platform::testing::FakeScreenGrab;

namespace {

QRgb screenPixel(int x, int y) {
    return FakeScreenGrab::pixelAt(x, y) | 0xff000000u;
}

}  // namespace

TEST(CaptureView, Viewer800x500On1920x1080GivesA1200x750BitmapOfTheEnlargedArea) {
    FakeScreenGrab screen(QRect(0, 0, 1920, 1080));
    QImage bitmap;
    const QPoint origin(300, 120);
    viewer::CaptureView(bitmap, QSize(800, 500), origin, screen);
    ASSERT_EQ(bitmap.size(), QSize(1200, 750));
    // Pixel (u, v) shows screen pixel (x0 + u*1200/1920, y0 + v*750/1080).
    for (const QPoint uv :
         {QPoint(0, 0), QPoint(1, 1), QPoint(100, 200), QPoint(1199, 749), QPoint(777, 333)}) {
        const int sx = origin.x() + uv.x() * 1200 / 1920;
        const int sy = origin.y() + uv.y() * 750 / 1080;
        EXPECT_EQ(bitmap.pixel(uv) | 0xff000000u, screenPixel(sx, sy)) << uv.x() << "," << uv.y();
    }
    // The last column shows screen column x0 + 749: 750 columns enlarged 1.6 times.
    EXPECT_EQ(bitmap.pixel(1199, 0) | 0xff000000u, screenPixel(origin.x() + 749, origin.y()));
}

TEST(CaptureView, OddWidthsAreTruncated) {
    FakeScreenGrab screen;
    QImage bitmap;
    viewer::CaptureView(bitmap, QSize(333, 201), QPoint(0, 0), screen);
    EXPECT_EQ(bitmap.size(), QSize(499, 301));
}

TEST(CaptureView, ColumnsBeyondTheScreenWidthKeepTheInitialFill) {
    FakeScreenGrab screen(QRect(0, 0, 1920, 1080));
    QImage bitmap;
    viewer::CaptureView(bitmap, QSize(1500, 400), QPoint(10, 10), screen);
    ASSERT_EQ(bitmap.width(), 2250);
    // Columns below 1920 shrink 2250 screen columns into 1920.
    EXPECT_EQ(bitmap.pixel(1000, 5) | 0xff000000u,
              screenPixel(10 + 1000 * 2250 / 1920, 10 + 5 * 600 / 1080));
    // Column 1919 shows screen column 2258, beyond the desktop: black.
    EXPECT_EQ(bitmap.pixel(1919, 5) | 0xff000000u, 0xff000000u);
    EXPECT_EQ(bitmap.pixel(1920, 5), QColor(Qt::white).rgb());
    EXPECT_EQ(bitmap.pixel(2249, 599), QColor(Qt::white).rgb());
}

TEST(CaptureView, AnEmptyViewerGivesAnEmptyBitmapWithoutGrabbing) {
    FakeScreenGrab screen;
    QImage bitmap(10, 10, QImage::Format_RGB32);
    viewer::CaptureView(bitmap, QSize(0, 0), QPoint(0, 0), screen);
    EXPECT_TRUE(bitmap.isNull() || bitmap.size().isEmpty());
    EXPECT_TRUE(screen.grabs().empty());
}
