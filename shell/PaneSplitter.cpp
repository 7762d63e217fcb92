#include "shell/PaneSplitter.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace shell {

namespace {
constexpr int kMinPaneWidth = 200;
constexpr int kMaxPaneWidth = 800;
}  // namespace

PaneSplitter::PaneSplitter(QWidget& pane, QWidget* parent) : QWidget(parent), pane_(pane) {
    setFixedWidth(4);
    setCursor(Qt::SplitHCursor);
}

void PaneSplitter::mousePressEvent(QMouseEvent* event) {
    pressX_ = event->globalPosition().toPoint().x();
    pressWidth_ = pane_.width();
}

void PaneSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int dx = event->globalPosition().toPoint().x() - pressX_;
    pane_.setFixedWidth(std::clamp(pressWidth_ + dx, kMinPaneWidth, kMaxPaneWidth));
}

void PaneSplitter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Mid));
}

}  // namespace shell
