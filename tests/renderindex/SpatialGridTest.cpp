// The spatial index must return exactly the items a brute-force search finds, each
// once and in ascending order (the order primitives are drawn in).
#include "dwgviewx/render/SpatialGrid.h"

#include <gtest/gtest.h>

#include <random>

using dwgviewx::render::SpatialGrid;

namespace {

bool touches(const QRectF& a, const QRectF& b) {
    return a.left() <= b.right() && b.left() <= a.right() && a.top() <= b.bottom() &&
           b.top() <= a.bottom();
}

std::vector<std::uint32_t> bruteForce(const std::vector<QRectF>& items, const QRectF& q) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < items.size(); ++i)
        if (touches(items[i], q.normalized())) out.push_back(i);
    return out;
}

// Small boxes, points, long thin lines that cross many cells, and a few huge items.
std::vector<QRectF> mixedItems(std::size_t n, std::mt19937& rng) {
    std::uniform_real_distribution<double> pos(0, 1000), size(0, 5), kind(0, 1);
    std::vector<QRectF> items;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = pos(rng), y = pos(rng), k = kind(rng);
        if (k < 0.1) {
            items.emplace_back(QPointF(x, y), QPointF(x, y));  // a point
        } else if (k < 0.2) {
            items.emplace_back(QPointF(x, y), QSizeF(400, 0));  // horizontal line
        } else if (k < 0.22) {
            items.emplace_back(QPointF(-1e6, -1e6), QPointF(1e6, 1e6));  // infinite line
        } else {
            items.emplace_back(QPointF(x, y), QSizeF(size(rng), size(rng)));
        }
    }
    return items;
}

}  // namespace

TEST(SpatialGrid, FindsExactlyWhatABruteForceSearchFindsInDrawOrder) {
    std::mt19937 rng(42);
    const auto items = mixedItems(20'000, rng);
    SpatialGrid grid;
    grid.build(items, QRectF(0, 0, 1400, 1005));
    std::uniform_real_distribution<double> pos(-100, 1100), size(0, 300);
    for (int round = 0; round < 200; ++round) {
        const QRectF q(QPointF(pos(rng), pos(rng)), QSizeF(size(rng), size(rng)));
        ASSERT_EQ(grid.query(q), bruteForce(items, q)) << "query " << round;
    }
}

TEST(SpatialGrid, TheWholeAreaReturnsEveryItemOnceAndAreasOutsideOnlyTheHugeOnes) {
    std::mt19937 rng(7);
    const auto items = mixedItems(5'000, rng);
    SpatialGrid grid;
    grid.build(items, QRectF(0, 0, 1400, 1005));
    const auto all = grid.query(QRectF(-10, -10, 1500, 1100));
    EXPECT_EQ(all, bruteForce(items, QRectF(-10, -10, 1500, 1100)));
    EXPECT_EQ(all.size(), items.size());
    const QRectF outside(5000, 5000, 10, 10);
    const auto far = grid.query(outside);
    EXPECT_FALSE(far.empty());
    EXPECT_EQ(far, bruteForce(items, outside));
}

TEST(SpatialGrid, ReversedRectanglesAndEmptyGridsAreHandled) {
    SpatialGrid empty;
    empty.build({}, QRectF(0, 0, 1, 1));
    EXPECT_TRUE(empty.query(QRectF(0, 0, 10, 10)).empty());

    SpatialGrid grid;
    // 64 * 64 + 1 items so a word boundary of the marks is crossed.
    std::vector<QRectF> items;
    for (int i = 0; i < 64 * 64 + 1; ++i) items.emplace_back(i % 64, i / 64, 0.5, 0.5);
    grid.build(items, QRectF(0, 0, 64, 65));
    const QRectF reversed(QPointF(10.2, 20.2), QPointF(3.9, 1.9));  // width and height < 0
    EXPECT_EQ(grid.query(reversed), bruteForce(items, reversed));
    EXPECT_EQ(grid.query(QRectF(0, 64, 0.1, 0.1)), std::vector<std::uint32_t>{64 * 64});
}
