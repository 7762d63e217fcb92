#pragma once
// Red-line mark-up kept in drawing coordinates so it stays on the drawing at every
// zoom, pan and rotation, and the measuring result. Plain data plus drawing helpers.
// UI thread only (paints with QPainter).
#include <QPainter>
#include <QPointF>
#include <QString>
#include <vector>

#include "render/ViewTransform.h"

namespace dwgviewx {

enum class MarkKind { Line, Text, RectBox, RoundBox, EllipseBox, CloudBox };

struct MarkItem {
    MarkKind kind = MarkKind::Line;
    QPointF a, b;           // world: line ends, or opposite box corners; text at `a`
    QString text;           // typed text (text and boxes)
    double textHeight = 1;  // world units, fixed when the item was made
};

// A finished measurement between two picked points, in drawing units.
struct Measurement {
    QPointF from, to;
    double distance() const;
    double dx() const { return to.x() - from.x(); }
    double dy() const { return to.y() - from.y(); }
    double angleDeg() const;  // 0..360, counter-clockwise from +X as drawings count it
    QString summary() const;  // "距离 ... ΔX ... ΔY ... 角度 ...°"
};

namespace markup {

inline const QColor kRed{255, 0, 0};

// Paints every item over the drawing at `view`.
void paintItems(QPainter& p, const std::vector<MarkItem>& items, const render::ViewTransform& view);
void paintItem(QPainter& p, const MarkItem& item, const render::ViewTransform& view);
// The measuring line with its result label.
void paintMeasurement(QPainter& p, const Measurement& m, const render::ViewTransform& view,
                      const QColor& ink);

}  // namespace markup
}  // namespace dwgviewx
