#include "Markup.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainterPath>
#include <cmath>

namespace dwgviewx {

double Measurement::distance() const {
    return std::hypot(dx(), dy());
}

double Measurement::angleDeg() const {
    double a = std::atan2(dy(), dx()) * 180.0 / M_PI;
    if (a < 0) a += 360.0;
    return a;
}

QString Measurement::summary() const {
    auto n = [](double v) { return QString::number(v, 'f', 4); };
    return QStringLiteral("距离 %1  ΔX %2  ΔY %3  角度 %4°")
        .arg(n(distance()), n(dx()), n(dy()), QString::number(angleDeg(), 'f', 2));
}

namespace markup {
namespace {

// Scalloped outline along the rectangle's edges, arcs bulging outwards.
QPainterPath cloudPath(const QRectF& r, double arcLen) {
    QPainterPath path;
    const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    path.moveTo(corners[0]);
    for (int e = 0; e < 4; ++e) {
        const QPointF a = corners[e], b = corners[(e + 1) % 4];
        const double len = std::hypot(b.x() - a.x(), b.y() - a.y());
        const int n = std::clamp(static_cast<int>(len / arcLen), 1, 400);
        const QPointF step = (b - a) / n;
        const QPointF outward = QPointF(step.y(), -step.x()) * 0.5;  // left of travel is outside
        for (int i = 0; i < n; ++i) {
            const QPointF p0 = a + step * i, p1 = p0 + step;
            path.quadTo((p0 + p1) / 2 + outward, p1);
        }
    }
    return path;
}

}  // namespace

void paintItem(QPainter& p, const MarkItem& it, const render::ViewTransform& view) {
    const QPointF a = view.toDevice(it.a), b = view.toDevice(it.b);
    QPen pen(kRed, 2);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double px = std::max(4.0, it.textHeight * view.scale());
    QFont f;
    f.setPixelSize(static_cast<int>(std::min(px, 2000.0)));
    p.setFont(f);
    if (it.kind == MarkKind::Line) {
        p.drawLine(a, b);
        return;
    }
    if (it.kind == MarkKind::Text) {
        p.save();
        p.translate(a);
        p.rotate(view.rotation());
        p.drawText(QPointF(0, 0), it.text);
        p.restore();
        return;
    }
    // Boxes are drawn in the view's rotated frame so they stay rectangles on screen.
    p.save();
    const QPointF c = (a + b) / 2;
    p.translate(c);
    p.rotate(view.rotation());
    const QPointF la = QTransform().rotate(-view.rotation()).map(a - c);
    const QPointF lb = QTransform().rotate(-view.rotation()).map(b - c);
    const QRectF r = QRectF(la, lb).normalized();
    switch (it.kind) {
        case MarkKind::RectBox:
            p.drawRect(r);
            break;
        case MarkKind::RoundBox: {
            const double rad = std::min(r.width(), r.height()) * 0.2;
            p.drawRoundedRect(r, rad, rad);
            break;
        }
        case MarkKind::EllipseBox:
            p.drawEllipse(r);
            break;
        case MarkKind::CloudBox:
            p.drawPath(cloudPath(r, std::max(8.0, std::min(r.width(), r.height()) / 4)));
            break;
        default:
            break;
    }
    // Ellipses leave less room inside; inset the text to stay within the outline.
    const QRectF textArea =
        it.kind == MarkKind::EllipseBox
            ? r.adjusted(r.width() * 0.15, r.height() * 0.15, -r.width() * 0.15, -r.height() * 0.15)
            : r.adjusted(4, 2, -4, -2);
    p.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, it.text);
    p.restore();
}

void paintItems(QPainter& p, const std::vector<MarkItem>& items,
                const render::ViewTransform& view) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    for (const MarkItem& it : items) paintItem(p, it, view);
    p.restore();
}

void paintMeasurement(QPainter& p, const Measurement& m, const render::ViewTransform& view,
                      const QColor& ink) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPointF a = view.toDevice(m.from), b = view.toDevice(m.to);
    QPen pen(QColor(0, 200, 255), 1.5);
    pen.setCosmetic(true);
    p.setPen(pen);
    p.drawLine(a, b);
    for (QPointF c : {a, b}) p.drawRect(QRectF(c - QPointF(3, 3), QSizeF(6, 6)));
    QFont f;
    f.setPixelSize(14);
    p.setFont(f);
    const QString text = m.summary();
    const QRectF box = QFontMetricsF(f).boundingRect(text).adjusted(-4, -2, 4, 2);
    const QPointF at = (a + b) / 2 + QPointF(8, -8);
    p.setPen(Qt::NoPen);
    QColor back = ink.lightness() > 128 ? QColor(0, 0, 0, 170) : QColor(255, 255, 255, 200);
    p.setBrush(back);
    p.drawRect(box.translated(at));
    p.setPen(ink);
    p.drawText(at, text);
    p.restore();
}

}  // namespace markup
}  // namespace dwgviewx
