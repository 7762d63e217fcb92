#pragma once
// Where the drawing sits in a view: scale (device pixels per drawing unit), the world
// point at the view's centre, and a clockwise rotation. World y points up, device y
// down. Value type; thread-safe.
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QTransform>

namespace dwgviewx::render {

class ViewTransform {
public:
    ViewTransform() = default;
    ViewTransform(QSize viewport, QPointF centre, double scale, double rotationDeg = 0);

    // World to device.
    QTransform matrix() const;
    QPointF toDevice(QPointF world) const { return matrix().map(world); }
    QPointF toWorld(QPointF device) const;
    // The world rectangle (axis-aligned) that covers the whole viewport.
    QRectF visibleWorld() const;

    // Fits `extents` into the viewport with a margin, keeping the rotation.
    void fit(const QRectF& extents, double marginShare = 0.05);
    // Zooms by `factor` keeping the world point under `device` in place.
    void zoomAbout(QPointF device, double factor);
    // Moves the drawing by a device-pixel offset.
    void panBy(QPointF deviceDelta);
    // Adds `degreesClockwise` about the view's centre.
    void rotateBy(double degreesClockwise);

    QSize viewport() const { return viewport_; }
    void setViewport(QSize s) { viewport_ = s; }
    QPointF centre() const { return centre_; }
    double scale() const { return scale_; }
    double rotation() const { return rotation_; }

    bool operator==(const ViewTransform& o) const = default;

    static constexpr double kMinScale = 1e-12;
    static constexpr double kMaxScale = 1e12;

private:
    QSize viewport_{1, 1};
    QPointF centre_{0, 0};
    double scale_ = 1;
    double rotation_ = 0;  // degrees clockwise, in [0, 360)
};

}  // namespace dwgviewx::render
