#include "ViewTransform.h"

#include <algorithm>
#include <cmath>

namespace dwgviewx::render {

ViewTransform::ViewTransform(QSize viewport, QPointF centre, double scale, double rotationDeg)
    : viewport_(viewport), centre_(centre), scale_(scale) {
    rotateBy(rotationDeg);
}

QTransform ViewTransform::matrix() const {
    // Device y runs down, so a positive angle of QTransform::rotate turns clockwise on screen.
    QTransform t;
    t.translate(viewport_.width() / 2.0, viewport_.height() / 2.0);
    t.rotate(rotation_);
    t.scale(scale_, -scale_);
    t.translate(-centre_.x(), -centre_.y());
    return t;
}

QPointF ViewTransform::toWorld(QPointF device) const {
    return matrix().inverted().map(device);
}

QRectF ViewTransform::visibleWorld() const {
    const QRectF dev(0, 0, viewport_.width(), viewport_.height());
    return matrix().inverted().mapRect(dev);
}

void ViewTransform::fit(const QRectF& extents, double marginShare) {
    if (!extents.isValid() && extents.width() == 0 && extents.height() == 0) {
        centre_ = extents.center();
        return;
    }
    centre_ = extents.center();
    // The extents' size once rotated into the view.
    const double a = rotation_ * M_PI / 180.0;
    const double w =
        std::fabs(extents.width() * std::cos(a)) + std::fabs(extents.height() * std::sin(a));
    const double h =
        std::fabs(extents.width() * std::sin(a)) + std::fabs(extents.height() * std::cos(a));
    const double usableW = std::max(1.0, viewport_.width() * (1 - 2 * marginShare));
    const double usableH = std::max(1.0, viewport_.height() * (1 - 2 * marginShare));
    double s = std::min(w > 0 ? usableW / w : 1e300, h > 0 ? usableH / h : 1e300);
    if (!std::isfinite(s) || s >= 1e300) s = 1;  // a single point: any scale will do
    scale_ = std::clamp(s, kMinScale, kMaxScale);
}

void ViewTransform::zoomAbout(QPointF device, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const QPointF anchor = toWorld(device);
    const double s = std::clamp(scale_ * factor, kMinScale, kMaxScale);
    if (s == scale_) return;
    scale_ = s;
    // Move the centre so that `anchor` is again under `device`.
    const QPointF moved = toDevice(anchor);
    panBy(device - moved);
}

void ViewTransform::panBy(QPointF d) {
    const QPointF c(viewport_.width() / 2.0, viewport_.height() / 2.0);
    centre_ = toWorld(c - d);
}

void ViewTransform::rotateBy(double degreesClockwise) {
    if (!std::isfinite(degreesClockwise)) return;
    rotation_ = std::fmod(rotation_ + degreesClockwise, 360.0);
    if (rotation_ < 0) rotation_ += 360.0;
}

}  // namespace dwgviewx::render
