#pragma once
// Clipboard double: holds a picture set by the test (none at first).
// Thread: use from one thread.
#include <QImage>

#include "platform/Clipboard.h"
#include "platform/testing/ScopedInstall.h"

namespace platform::testing {

class FakeClipboard final : public Clipboard {
public:
    bool hasImage() override { return !image_.isNull(); }
    QImage image() override { return image_; }

    void setImage(const QImage& image) { image_ = image; }
    void clear() { image_ = QImage(); }

private:
    QImage image_;
};

using InstallClipboard = ScopedInstall<Clipboard, &clipboard, &setClipboard>;

}  // namespace platform::testing
