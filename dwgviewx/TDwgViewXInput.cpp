// Mouse, keyboard and in-place text input of the viewer control.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolBar>
#include <QWheelEvent>
#include <cmath>

#include "TDwgViewXImpl.h"

namespace dwgviewx {

namespace {
constexpr double kWheelStep = 1.25;   // zoom factor per wheel notch
constexpr double kMarkTextPx = 18.0;  // mark-up text height when it is made, pixels
constexpr int kClickSlop = 3;         // pixels a click may move and stay a click
}  // namespace

MarkKind TDwgViewX::Impl::kindOf(Mode m) const {
    switch (m) {
        case Mode::MarkRedText:
            return MarkKind::Text;
        case Mode::MarkRectTextBox:
            return MarkKind::RectBox;
        case Mode::MarkRoundTextBox:
            return MarkKind::RoundBox;
        case Mode::MarkEllipseTextBox:
            return MarkKind::EllipseBox;
        case Mode::MarkCloudTextBox:
            return MarkKind::CloudBox;
        default:
            return MarkKind::Line;
    }
}

bool TDwgViewX::Impl::isBoxMode(Mode m) const {
    return m == Mode::MarkRectTextBox || m == Mode::MarkRoundTextBox ||
           m == Mode::MarkEllipseTextBox || m == Mode::MarkCloudTextBox;
}

void TDwgViewX::Impl::openEditor(const MarkItem& item, const QRect& area) {
    cancelEditor();
    pending = item;
    auto* e = new QLineEdit(q);
    e->setObjectName(QStringLiteral("markupEditor"));
    e->setFrame(false);
    e->setStyleSheet(QStringLiteral("QLineEdit { color: red; background: rgba(255,255,255,40); }"));
    QFont f = e->font();
    f.setPixelSize(static_cast<int>(kMarkTextPx));
    e->setFont(f);
    e->setGeometry(area);
    editor = e;
    QObject::connect(e, &QLineEdit::returnPressed, q, [this] { commitEditor(); });
    e->show();
    e->setFocus();
    q->update();
}

void TDwgViewX::Impl::commitEditor() {
    if (!pending) return;
    MarkItem item = *pending;
    item.text = editor ? editor->text() : QString();
    pending.reset();
    if (editor) editor->deleteLater();
    editor = nullptr;
    // An empty text adds nothing; a box keeps its outline even without text.
    if (item.kind != MarkKind::Text || !item.text.trimmed().isEmpty()) marks.push_back(item);
    q->setFocus();
    q->update();
}

void TDwgViewX::Impl::cancelEditor() {
    pending.reset();
    if (editor) editor->deleteLater();
    editor = nullptr;
}

void TDwgViewX::Impl::buildToolbar() {
    toolbar = new QToolBar(q);
    toolbar->setObjectName(QStringLiteral("viewerToolbar"));
    toolbar->addAction(QStringLiteral("适应"), q, &TDwgViewX::ZoomFit);
    toolbar->addAction(QStringLiteral("放大"), q, &TDwgViewX::ZoomIn);
    toolbar->addAction(QStringLiteral("缩小"), q, &TDwgViewX::ZoomOut);
    toolbar->addAction(QStringLiteral("局部放大"), q, &TDwgViewX::ZoomWindow);
    toolbar->addAction(QStringLiteral("移动"), q, &TDwgViewX::Pan);
    toolbar->addAction(QStringLiteral("测量"), q, &TDwgViewX::Measure);
    toolbar->addAction(QStringLiteral("图层"), q, &TDwgViewX::ShowLayers);
    toolbar->adjustSize();
    toolbar->move(0, 0);
}

void TDwgViewX::Impl::buildLayoutBar() {
    layoutTabs = new QTabBar(q);
    layoutTabs->setObjectName(QStringLiteral("layoutBar"));
    layoutTabs->addTab(QStringLiteral("模型"));
    layoutTabs->setGeometry(0, q->height() - 24, std::min(q->width(), 240), 24);
}

void TDwgViewX::mousePressEvent(QMouseEvent* e) {
    setFocus();
    const QPoint pos = e->position().toPoint();
    d->pressPos = d->lastPos = pos;
    d->dragButton = e->button();
    if (d->editor && d->pending) d->commitEditor();  // a click elsewhere finishes typing
    if (e->button() == Qt::MiddleButton ||
        (e->button() == Qt::LeftButton && (d->mode == Mode::Pan || d->mode == Mode::None))) {
        d->panning = true;
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (e->button() != Qt::LeftButton) return;
    switch (d->mode) {
        case Mode::ZoomWindow:
        case Mode::MarkLine:
        case Mode::MarkRectTextBox:
        case Mode::MarkRoundTextBox:
        case Mode::MarkEllipseTextBox:
        case Mode::MarkCloudTextBox:
            d->rubber = QRect(pos, pos);
            break;
        case Mode::Measure:
            if (!d->measureStart) {
                d->measurement.reset();
                d->measureStart = d->view.toWorld(pos);
            } else {
                d->measurement = Measurement{*d->measureStart, d->view.toWorld(pos)};
                d->measureStart.reset();
            }
            break;
        case Mode::MarkRedText: {
            MarkItem item;
            item.kind = MarkKind::Text;
            item.a = item.b = d->view.toWorld(QPointF(pos) + QPointF(0, kMarkTextPx * 0.8));
            item.textHeight = kMarkTextPx * 0.75 / d->view.scale();
            d->openEditor(item,
                          QRect(pos.x(), pos.y() - 2, 240, static_cast<int>(kMarkTextPx) + 8));
            break;
        }
        default:
            break;
    }
    update();
}

void TDwgViewX::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    d->hoverPos = pos;
    if (d->panning) {
        d->view.panBy(QPointF(pos - d->lastPos));
        d->lastPos = pos;
        d->viewMoved();
        return;
    }
    if (d->rubber) d->rubber->setBottomRight(pos);
    if (d->rubber || d->measureStart) update();
}

void TDwgViewX::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (d->panning && e->button() == d->dragButton) {
        d->panning = false;
        d->dragButton = Qt::NoButton;
        d->updateCursor();
        return;
    }
    if (e->button() != Qt::LeftButton || !d->rubber) return;
    QRect r = QRect(d->pressPos, pos);
    d->rubber.reset();
    const bool click = (pos - d->pressPos).manhattanLength() <= kClickSlop;
    if (d->mode == Mode::ZoomWindow) {
        d->zoomToDeviceRect(QRectF(QPointF(d->pressPos), QPointF(pos)).normalized());
        d->mode = Mode::None;  // one window per command
        d->updateCursor();
    } else if (d->mode == Mode::MarkLine) {
        if (!click) {
            MarkItem item;
            item.kind = MarkKind::Line;
            item.a = d->view.toWorld(d->pressPos);
            item.b = d->view.toWorld(pos);
            d->marks.push_back(item);
        }
    } else if (d->isBoxMode(d->mode)) {
        if (click) r = QRect(d->pressPos, QSize(160, 60));  // a click gives a box of usual size
        r = r.normalized();
        MarkItem item;
        item.kind = d->kindOf(d->mode);
        item.a = d->view.toWorld(r.topLeft());
        item.b = d->view.toWorld(r.bottomRight() + QPoint(1, 1));
        item.textHeight = kMarkTextPx * 0.75 / d->view.scale();
        const int h = static_cast<int>(kMarkTextPx) + 8;
        d->openEditor(item,
                      QRect(r.left() + 6, r.center().y() - h / 2, std::max(40, r.width() - 12), h));
    }
    update();
}

void TDwgViewX::wheelEvent(QWheelEvent* e) {
    const double notches = e->angleDelta().y() / 120.0;
    if (notches == 0 || !d->scene) return;
    d->view.zoomAbout(e->position(), std::pow(kWheelStep, notches));
    d->viewMoved();
    e->accept();
}

void TDwgViewX::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        d->panning = false;
        d->leaveMode();
        return;
    }
    QWidget::keyPressEvent(e);
}

void TDwgViewX::contextMenuEvent(QContextMenuEvent* e) {
    if (!d->contextMenu) return;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("适应"), this, &TDwgViewX::ZoomFit);
    menu->addAction(QStringLiteral("放大"), this, &TDwgViewX::ZoomIn);
    menu->addAction(QStringLiteral("缩小"), this, &TDwgViewX::ZoomOut);
    menu->addAction(QStringLiteral("局部放大"), this, &TDwgViewX::ZoomWindow);
    menu->addAction(QStringLiteral("移动"), this, &TDwgViewX::Pan);
    menu->addAction(QStringLiteral("图层"), this, &TDwgViewX::ShowLayers);
    menu->popup(e->globalPos());
}

}  // namespace dwgviewx
