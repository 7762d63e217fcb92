#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <atomic>

namespace platform {

namespace {

class SystemClipboard final : public Clipboard {
public:
    bool hasImage() override {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        return data != nullptr && data->hasImage();
    }
    QImage image() override { return QGuiApplication::clipboard()->image(); }
};

std::atomic<Clipboard*> g_installed{nullptr};

}  // namespace

Clipboard& clipboard() {
    if (Clipboard* installed = g_installed.load()) return *installed;
    static SystemClipboard real;
    return real;
}

void setClipboard(Clipboard* instance) {
    g_installed.store(instance);
}

}  // namespace platform
