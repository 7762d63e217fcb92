#pragma once
// A picture area: shows one image either stretched to the whole area or at its
// natural size from the top-left corner (clipped), and reports clicks. UI thread;
// holds its own copy of the image.
#include <QImage>
#include <QWidget>

namespace tasks {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    bool hasImage() const { return !image_.isNull(); }
    void clear();

    // Stretched: fills the area, proportions not kept. Otherwise natural size.
    void setStretch(bool on);
    bool stretch() const { return stretch_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage image_;
    bool stretch_ = true;
    bool pressed_ = false;
};

}  // namespace tasks
