#pragma once
// The clipboard's picture.
#include <QImage>

namespace platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool hasImage() = 0;
    virtual QImage image() = 0;  // null image when there is none
};

Clipboard& clipboard();
void setClipboard(Clipboard* instance);  // nullptr restores the real one

}  // namespace platform
