#pragma once
// Private state of TDwgViewX, shared by its operation and input sources.
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

#include "TDwgViewX.h"

class QTabBar;
class QToolBar;

namespace dwgviewx {

struct TDwgViewX::Impl {
    explicit Impl(TDwgViewX* owner);

    QColor backgroundColour() const;
    QColor inkColour() const;
    // Content changed (scene, layers, background): the cached frame is stale.
    void invalidate();
    // Only the view moved: show the old frame moved until a new one is drawn.
    void viewMoved();
    void renderNow();
    QImage render(QSize size, const render::ViewTransform& v) const;

    void startCommand(Mode m);
    void leaveMode();
    void openEditor(const MarkItem& pending, const QRect& deviceArea);
    void commitEditor();
    void cancelEditor();
    MarkKind kindOf(Mode m) const;
    bool isBoxMode(Mode m) const;
    void zoomToDeviceRect(const QRectF& r);
    void updateCursor();
    void buildToolbar();
    void buildLayoutBar();

    TDwgViewX* q;
    std::shared_ptr<const render::Scene> scene;
    std::vector<render::SceneLayer> layers;
    render::ViewTransform view;
    QImage frame;
    render::ViewTransform frameView;
    bool frameValid = false;
    QTimer refresh;

    Mode mode = Mode::None;
    std::vector<MarkItem> marks;
    std::optional<Measurement> measurement;
    std::optional<QPointF> measureStart;  // world
    std::optional<MarkItem> pending;      // waiting for its text
    QPointer<QLineEdit> editor;

    // Pointer tracking.
    Qt::MouseButton dragButton = Qt::NoButton;
    QPoint pressPos, lastPos, hoverPos;
    bool panning = false;
    std::optional<QRect> rubber;

    QString path;
    QString fontPath;
    bool showToolbar = false, contextMenu = false, layoutBar = false;
    short background = 0;
    QToolBar* toolbar = nullptr;
    QTabBar* layoutTabs = nullptr;
};

}  // namespace dwgviewx
