#pragma once
// The state image list `il1`: 12 images of 16 x 16 pixels drawn in code. The tree
// shows image N for state index N (0 shows none). Needs a QGuiApplication; UI thread.
#include <QIcon>
#include <QImage>

namespace library {

class StateImages {
public:
    static constexpr int Count = 12;
    static constexpr int Size = 16;
    static constexpr int Folder = 2;
    static constexpr int Group = 7;
    static constexpr int DrawingClean = 9;
    static constexpr int DrawingImported = 10;
    static constexpr int DrawingChanged = 11;

    // The picture of state index `index`; a null image for 0 or an index out of range.
    static QImage image(int index);
    // The same as an icon, built once and kept for the process.
    static const QIcon& icon(int index);
};

}  // namespace library
