// The real shell, screen and clipboard seams, as far as an offscreen test can see them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "platform/Clipboard.h"
#include "platform/ScreenGrab.h"
#include "platform/Shell.h"
#include "tests/platform/GuiApp.h"

namespace {

TEST(DesktopShell, StartsAProgramWithItsQuotedParameterText) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("a b.txt");
    ASSERT_TRUE(platform::shell().run("/bin/sh", "-c \"touch '" + marker + "'\""));
    for (int i = 0; i < 200 && !QFile::exists(marker); ++i) QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(marker));
}

TEST(DesktopShell, ReportsWhatItCannotOpenOrStart) {
    EXPECT_FALSE(platform::shell().open("/no/such/file.dwg"));
    EXPECT_FALSE(platform::shell().open(""));
    EXPECT_FALSE(platform::shell().run("", "x"));
    EXPECT_FALSE(platform::shell().run("/no/such/program", ""));
}

TEST(DesktopScreen, GrabsARectangleOfTheRequestedSize) {
    platformtest::guiApp();
    const QRect desktop = platform::screenGrab().desktopRect();
    EXPECT_FALSE(desktop.isEmpty());
    const QImage image = platform::screenGrab().grab(QRect(desktop.right() - 5, 0, 20, 10));
    EXPECT_EQ(image.size(), QSize(20, 10));
    EXPECT_EQ(image.pixel(19, 9), qRgb(0, 0, 0)) << "off every screen is black";
    EXPECT_TRUE(platform::screenGrab().grab(QRect()).isNull());
}

TEST(DesktopClipboard, SeesAPictureCopiedToTheClipboard) {
    platformtest::guiApp();
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QGuiApplication::clipboard()->setImage(picture);
    ASSERT_TRUE(platform::clipboard().hasImage());
    EXPECT_EQ(platform::clipboard().image().size(), QSize(8, 6));
    QGuiApplication::clipboard()->setText("text only");
    EXPECT_FALSE(platform::clipboard().hasImage());
}

}  // namespace
