#pragma once
// The DWG viewer control: opens a drawing, shows it with zoom, pan and rotation,
// and offers measuring, layers, printing and red-line mark-up. Operations that
// fail raise std::runtime_error with a clear message. Runs on the UI thread.
#include <QString>
#include <QWidget>
#include <memory>

namespace dwgviewx {

class TDwgViewX : public QWidget {
    Q_OBJECT
public:
    explicit TDwgViewX(QWidget* parent = nullptr);
    ~TDwgViewX() override;

    // Shows the DWG file at `path`; an empty path closes the drawing and frees its file.
    // Throws std::runtime_error when the file cannot be read.
    void OpenDrawing(const QString& path);
    void ZoomFit();
    void ZoomIn();   // factor 2 about the view's centre
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

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace dwgviewx
