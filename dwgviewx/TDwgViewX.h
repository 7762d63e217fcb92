#pragma once
// The DWG viewer control: opens a drawing, shows it with zoom, pan and rotation,
// and offers measuring, layers, printing and red-line mark-up. Operations that
// fail raise std::runtime_error with a clear message. Runs on the UI thread.
//
// Interaction: the mouse wheel zooms about the cursor, the middle button pans in
// every mode, Esc leaves any mode. Commands that start a mode (ZoomWindow, Pan,
// Measure, Mark...) act on the next clicks or drags; a measurement stays shown until
// the next command. Mark-up lives in drawing coordinates and belongs to the open
// drawing. Modal dialogs go through dwgviewx::runDialog (DialogRunner.h).
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "Markup.h"
#include "dwgviewx/model/Drawing.h"
#include "render/Scene.h"
#include "render/ViewTransform.h"

namespace dwgviewx {

class TDwgViewX : public QWidget {
    Q_OBJECT
public:
    explicit TDwgViewX(QWidget* parent = nullptr);
    ~TDwgViewX() override;

    // Shows the DWG file at `path`; an empty path closes the drawing and frees its file.
    // Throws std::runtime_error when the file cannot be read; the drawing shown before
    // stays shown.
    void OpenDrawing(const QString& path);
    void ZoomFit();
    void ZoomIn();  // factor 2 about the view's centre
    void ZoomOut();
    void ZoomWindow();  // mode: drag a rectangle
    void Pan();         // mode: drag the view
    void PrintDrawing();
    void RotateView(float degreesClockwise);
    void ShowLayers();
    void Measure();
    void MarkLine();
    void MarkRedText();
    void MarkRectTextBox();
    void MarkRoundTextBox();
    void MarkEllipseTextBox();
    void MarkCloudTextBox();

    // Properties.
    QString FontPath() const;
    void setFontPath(const QString& path);
    bool ShowToobar() const;
    void setShowToobar(bool on);
    bool EnableContextMenu() const;
    void setEnableContextMenu(bool on);
    bool ShowLayoutBar() const;
    void setShowLayoutBar(bool on);
    short Background() const;  // 0 black, 255 white; starts at 0
    void setBackground(short value);

    // The path of the open drawing, empty when none.
    QString currentPath() const;

    // ---- state for the hosting window and for tests ----------------------------
    // Shows an already decoded drawing as if it had been opened from `path`.
    void showDrawing(const dwg::Drawing& drawing, const QString& path = QString());
    enum class Mode {
        None,
        ZoomWindow,
        Pan,
        Measure,
        MarkLine,
        MarkRedText,
        MarkRectTextBox,
        MarkRoundTextBox,
        MarkEllipseTextBox,
        MarkCloudTextBox
    };
    Mode mode() const;
    // The current view (device pixels per drawing unit, centre, rotation).
    const render::ViewTransform& view() const;
    void setView(const render::ViewTransform& view);
    // The open drawing as drawn; nullptr when none is open.
    const render::Scene* scene() const;
    const std::vector<MarkItem>& marks() const;
    std::optional<Measurement> measurement() const;
    // Layer states as the viewer shows them (the layer dialog edits these).
    std::vector<render::SceneLayer> layers() const;
    void setLayers(const std::vector<render::SceneLayer>& layers);
    // The drawing as the view shows it now, without mark-up or overlays.
    QImage renderFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    friend struct Impl;
};

}  // namespace dwgviewx
