#include "SpatialGrid.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace dwgviewx::render {
namespace {

// Closed-interval overlap; unlike QRectF::intersects it accepts zero-size boxes
// (points, axis-parallel lines).
bool touches(const QRectF& a, const QRectF& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

constexpr int kMaxCellsPerSide = 512;
constexpr int kLargeItemCells = 64;  // items spanning more cells go to the shared list

}  // namespace

int SpatialGrid::cellX(double x) const {
    const double c = std::floor((x - area_.left()) / cw_);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(nx_ - 1)));
}

int SpatialGrid::cellY(double y) const {
    const double c = std::floor((y - area_.top()) / ch_);
    return static_cast<int>(std::clamp(c, 0.0, static_cast<double>(ny_ - 1)));
}

void SpatialGrid::build(std::vector<QRectF> boundsIn, const QRectF& area) {
    bounds_ = std::move(boundsIn);
    const std::vector<QRectF>& bounds = bounds_;
    large_.clear();
    cellItems_.clear();
    area_ = area.normalized();
    const std::size_t n = bounds.size();
    const int side =
        std::clamp(static_cast<int>(std::sqrt(static_cast<double>(n) / 2.0)), 1, kMaxCellsPerSide);
    nx_ = ny_ = side;
    cw_ = area_.width() > 0 ? area_.width() / nx_ : 1.0;
    ch_ = area_.height() > 0 ? area_.height() / ny_ : 1.0;
    std::vector<std::uint32_t> counts(static_cast<std::size_t>(nx_) * ny_ + 1, 0);

    auto forCells = [&](const QRectF& b, auto&& fn) {
        const int x0 = cellX(b.left()), x1 = cellX(b.right());
        const int y0 = cellY(b.top()), y1 = cellY(b.bottom());
        if ((x1 - x0 + 1) * (y1 - y0 + 1) > kLargeItemCells) return false;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) fn(static_cast<std::size_t>(y) * nx_ + x);
        return true;
    };
    std::vector<std::uint8_t> isLarge(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (!forCells(bounds[i], [&](std::size_t c) { ++counts[c]; })) isLarge[i] = 1;
    }
    cellStart_.assign(counts.size(), 0);
    std::uint32_t sum = 0;
    for (std::size_t c = 0; c + 1 < counts.size(); ++c) {
        cellStart_[c] = sum;
        sum += counts[c];
    }
    cellStart_.back() = sum;
    cellItems_.resize(sum);
    std::vector<std::uint32_t> fillPos(cellStart_.begin(), cellStart_.end());
    for (std::size_t i = 0; i < n; ++i) {
        if (isLarge[i]) {
            large_.push_back(static_cast<std::uint32_t>(i));
            continue;
        }
        forCells(bounds[i],
                 [&](std::size_t c) { cellItems_[fillPos[c]++] = static_cast<std::uint32_t>(i); });
    }
}

std::vector<std::uint32_t> SpatialGrid::query(const QRectF& rectIn) const {
    std::vector<std::uint32_t> out;
    if (bounds_.empty()) return out;
    const QRectF rect = rectIn.normalized();
    // One bit per item: items in several cells are tested once, and reading the bits in
    // order gives the draw order without sorting what may be millions of hits.
    std::vector<std::uint64_t> marks((bounds_.size() + 63) / 64, 0);
    auto consider = [&](std::uint32_t i) {
        std::uint64_t& word = marks[i >> 6];
        const std::uint64_t bit = std::uint64_t{1} << (i & 63);
        if (!(word & bit) && touches(bounds_[i], rect)) word |= bit;
    };
    for (std::uint32_t i : large_) consider(i);
    if (touches(rect, area_)) {
        const int x0 = cellX(rect.left()), x1 = cellX(rect.right());
        const int y0 = cellY(rect.top()), y1 = cellY(rect.bottom());
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const std::size_t c = static_cast<std::size_t>(y) * nx_ + x;
                for (std::uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k)
                    consider(cellItems_[k]);
            }
        }
    }
    for (std::size_t w = 0; w < marks.size(); ++w) {
        for (std::uint64_t word = marks[w]; word; word &= word - 1)
            out.push_back(static_cast<std::uint32_t>(w * 64 + std::countr_zero(word)));
    }
    return out;
}

}  // namespace dwgviewx::render
