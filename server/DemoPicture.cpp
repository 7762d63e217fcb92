#include "server/DemoPicture.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace server {

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

void put(std::vector<unsigned char>& px, int x, int y, unsigned char r, unsigned char g,
         unsigned char b) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) return;
    const size_t i = (static_cast<size_t>(y) * kWidth + static_cast<size_t>(x)) * 3;
    px[i] = r;
    px[i + 1] = g;
    px[i + 2] = b;
}

std::vector<unsigned char> paint(int variant) {
    std::vector<unsigned char> px(static_cast<size_t>(kWidth) * kHeight * 3, 255);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (x % 20 == 0 || y % 20 == 0) put(px, x, y, 225, 225, 225);
        }
    }
    // A "wall" outline in dark blue.
    for (int x = 40; x <= 280; ++x) {
        put(px, x, 40, 20, 40, 120);
        put(px, x, 200, 20, 40, 120);
    }
    for (int y = 40; y <= 200; ++y) {
        put(px, 40, y, 20, 40, 120);
        put(px, 280, y, 20, 40, 120);
    }
    // The red-line mark: a thick circle.
    const int cx = 120 + 60 * (variant % 3);
    const int cy = 110 + 10 * (variant % 2);
    for (int y = cy - 40; y <= cy + 40; ++y) {
        for (int x = cx - 40; x <= cx + 40; ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 >= 30 * 30 && d2 <= 34 * 34) put(px, x, y, 220, 20, 20);
        }
    }
    return px;
}

}  // namespace

std::string demoTaskPicture(int variant) {
    std::vector<unsigned char> px = paint(variant);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &px[static_cast<size_t>(cinfo.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

}  // namespace server
