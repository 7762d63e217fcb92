#include "library/StateImages.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace library {
namespace {

void drawFolder(QPainter& p) {
    p.setPen(QColor(0x9c, 0x74, 0x10));
    p.setBrush(QColor(0xf2, 0xc1, 0x3b));
    p.drawRect(1, 3, 6, 2);
    p.setBrush(QColor(0xff, 0xd8, 0x5a));
    p.drawRect(1, 5, 14, 9);
}

void drawGlobe(QPainter& p) {
    p.setPen(QColor(0x1d, 0x5f, 0xa8));
    p.setBrush(QColor(0x6c, 0xb4, 0xee));
    p.drawEllipse(1, 1, 13, 13);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(5, 1, 5, 13);
    p.drawLine(1, 7, 14, 7);
    p.drawLine(3, 4, 12, 4);
    p.drawLine(3, 11, 12, 11);
}

void drawMonitor(QPainter& p, const QColor& screen) {
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xc8, 0xc8, 0xc8));
    p.drawRect(1, 1, 14, 10);
    p.setPen(Qt::NoPen);
    p.setBrush(screen);
    p.drawRect(3, 3, 11, 7);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xa0, 0xa0, 0xa0));
    p.drawRect(6, 12, 4, 1);
    p.drawRect(3, 14, 10, 1);
}

// Images the tree does not use still exist so that indexes match the list's layout.
void drawPlain(QPainter& p, int index) {
    p.setPen(QColor(0x70, 0x70, 0x70));
    p.setBrush(QColor::fromHsv((index * 37) % 360, 60, 230));
    p.drawRect(2, 2, 11, 11);
}

QImage render(int index) {
    QImage img(StateImages::Size, StateImages::Size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    switch (index) {
        case StateImages::Folder:
            drawFolder(p);
            break;
        case StateImages::Group:
            drawGlobe(p);
            break;
        case StateImages::DrawingClean:
            drawMonitor(p, QColor(0x1e, 0x64, 0xd2));
            break;
        case StateImages::DrawingImported:
            drawMonitor(p, QColor(0x20, 0x20, 0x28));
            break;
        case StateImages::DrawingChanged:
            drawMonitor(p, QColor(0x22, 0xb0, 0x3c));
            break;
        default:
            drawPlain(p, index);
            break;
    }
    return img;
}

}  // namespace

QImage StateImages::image(int index) {
    if (index <= 0 || index >= Count) return {};
    return render(index);
}

const QIcon& StateImages::icon(int index) {
    static const std::array<QIcon, Count> icons = [] {
        std::array<QIcon, Count> all;
        for (int i = 1; i < Count; ++i)
            all[static_cast<size_t>(i)] = QIcon(QPixmap::fromImage(render(i)));
        return all;
    }();
    static const QIcon none;
    if (index <= 0 || index >= Count) return none;
    return icons[static_cast<size_t>(index)];
}

}  // namespace library
