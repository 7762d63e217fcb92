#pragma once
// A uniform grid over world extents answering "which items may touch this rectangle",
// so a frame only visits what it can see. Items whose extents span many cells are kept
// in one list that every query checks. Built once, then read-only and thread-safe for
// queries (each query uses its own scratch marks).
#include <QRectF>
#include <cstdint>
#include <vector>

namespace dwgviewx::render {

class SpatialGrid {
public:
    // Indexes `bounds` (item i has bounds[i]); the grid covers `area`. Pass the bounds
    // by move when they are not needed afterwards: large scenes hold millions.
    void build(std::vector<QRectF> bounds, const QRectF& area);
    // Indices of items whose bounds intersect `rect`, ascending (draw order). Linear in
    // the items found plus items/64 for the marks, with no sorting.
    std::vector<std::uint32_t> query(const QRectF& rect) const;
    std::size_t itemCount() const { return bounds_.size(); }

private:
    int cellX(double x) const;
    int cellY(double y) const;

    QRectF area_;
    int nx_ = 0, ny_ = 0;
    double cw_ = 1, ch_ = 1;
    std::vector<std::uint32_t> cellStart_;  // CSR layout: nx*ny+1 offsets
    std::vector<std::uint32_t> cellItems_;
    std::vector<std::uint32_t> large_;  // items checked on every query
    std::vector<QRectF> bounds_;
};

}  // namespace dwgviewx::render
