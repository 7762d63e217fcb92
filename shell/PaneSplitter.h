#pragma once
// A thin vertical bar that changes the width of the pane on its left when dragged.
// Owned by its parent widget; the pane must outlive it. UI thread.
#include <QWidget>

namespace shell {

class PaneSplitter : public QWidget {
    Q_OBJECT
public:
    PaneSplitter(QWidget& pane, QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget& pane_;
    int pressX_ = 0;      // global x at the press, in pixels
    int pressWidth_ = 0;  // the pane's width at the press
};

}  // namespace shell
