#pragma once
// Counting what a picture shows, to tell a drawn view from a blank one. Pure
// functions on images the caller owns; any thread.
#include <QImage>
#include <QRgb>

namespace e2e {

// Pixels that differ from `background` by more than `tolerance` in some channel.
int pixelsUnlike(const QImage& image, QRgb background, int tolerance = 24);

// Pixels of a clear colour (neither black, white nor grey): what coloured layers
// draw. Tolerant of JPEG noise, which stays close to grey.
int colouredPixels(const QImage& image);

}  // namespace e2e
