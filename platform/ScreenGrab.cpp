#include "platform/ScreenGrab.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <atomic>

namespace platform {

namespace {

class DesktopScreenGrab final : public ScreenGrab {
public:
    QImage grab(const QRect& rect) override {
        if (rect.isEmpty()) return {};
        QImage out(rect.size(), QImage::Format_RGB32);
        out.fill(Qt::black);
        QPainter painter(&out);
        // Each screen gives the part of the rectangle it shows; the rest stays black.
        for (QScreen* screen : QGuiApplication::screens()) {
            const QRect part = rect.intersected(screen->geometry());
            if (part.isEmpty()) continue;
            const QPoint local = part.topLeft() - screen->geometry().topLeft();
            const QPixmap pixels =
                screen->grabWindow(0, local.x(), local.y(), part.width(), part.height());
            if (pixels.isNull()) continue;
            painter.drawPixmap(QRect(part.topLeft() - rect.topLeft(), part.size()), pixels);
        }
        return out;
    }

    QRect desktopRect() override {
        QRect all;
        for (QScreen* screen : QGuiApplication::screens()) all |= screen->geometry();
        return all;
    }
};

std::atomic<ScreenGrab*> g_installed{nullptr};

}  // namespace

ScreenGrab& screenGrab() {
    if (ScreenGrab* installed = g_installed.load()) return *installed;
    static DesktopScreenGrab real;
    return real;
}

void setScreenGrab(ScreenGrab* instance) {
    g_installed.store(instance);
}

}  // namespace platform
