#pragma once
// Capturing the screen area where the viewer lies into a bitmap for a new task.
// UI thread; never reports a failure (the caller gets what was filled).
#include <QImage>
#include <QPoint>
#include <QSize>

#include "platform/ScreenGrab.h"

namespace viewer {

// The bitmap's size for a viewer of `viewerSize` pixels: 1.5 times, truncated.
QSize captureSize(QSize viewerSize);

// Fills `bitmap` (owned by the caller): sized 1.5 × the viewer, it receives the
// screen area from `viewerTopLeft` (screen pixels) of that same size stretched onto
// the rectangle (0, 0)-(screen width, screen height), clipped to the bitmap. Pixels
// the stretch does not reach keep the new bitmap's white fill.
void CaptureView(QImage& bitmap, QSize viewerSize, QPoint viewerTopLeft,
                 platform::ScreenGrab& screen);

}  // namespace viewer
