#include "viewer/ViewerRules.h"

#include <limits>

namespace viewer {

std::optional<int> parseRotationInput(const QString& text) {
    // Decimal digits with an optional sign; anything else (blanks, a point, letters)
    // is not a whole number.
    QString t = text;
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t.remove(0, 1);
    }
    if (t.isEmpty()) return std::nullopt;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    bool ok = false;
    const qlonglong magnitude = t.toLongLong(&ok);
    if (!ok) return std::nullopt;
    const qlonglong value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

float rotationAngle(int degrees) {
    if (degrees > 360) degrees %= 360;
    return static_cast<float>(degrees);
}

short nextBackground(short current) {
    return current == 0 ? 255 : 0;
}

DropAreas classifyDrop(QPoint pointer, QPoint windowTopLeft, QRect viewerPanel, QRect tree) {
    const int x = pointer.x();
    const int y = pointer.y();
    const int l = windowTopLeft.x();
    const int t = windowTopLeft.y();
    DropAreas a;
    a.viewer = l + viewerPanel.left() < x && x < l + viewerPanel.left() + viewerPanel.width() &&
               t + viewerPanel.top() < y && y < t + viewerPanel.top() + viewerPanel.height();
    a.tree = l + tree.left() < x && x < l + tree.left() + tree.width() && t + tree.top() + 30 < y &&
             y < t + tree.top() + tree.height() + 30;
    return a;
}

}  // namespace viewer
